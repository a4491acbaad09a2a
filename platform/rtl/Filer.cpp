#include "platform/rtl/Filer.h"

#include <algorithm>
#include <limits>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/StringUtils.h"
#include "platform/rtl/Types.h"

namespace plat {

bool IsStreamIdent(std::string_view s) {
    if (s.empty())
        return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(s[0]))
        return false;
    for (char c : s.substr(1)) {
        if (!alpha(c) && !(c >= '0' && c <= '9') && c != '.')
            return false;
    }
    return true;
}

namespace {

TGlobalComponentFinder& GlobalFinder() {
    static TGlobalComponentFinder finder;
    return finder;
}

// "Root.Name": a component of another root, or null.
TComponent* FindGlobalReference(const std::string& Path) {
    const size_t dot = Path.find('.');
    if (dot == std::string::npos)
        return nullptr;
    TComponent* root = FindGlobalComponent(Path.substr(0, dot));
    return root ? root->FindComponent(Path.substr(dot + 1)) : nullptr;
}

std::string LineSuffix(int line) {
    return line > 0 ? " on line " + std::to_string(line) : std::string();
}

const char* KindName(TFilerValue::TKind kind) {
    switch (kind) {
    case TFilerValue::Int:
        return "integer";
    case TFilerValue::Float:
        return "number";
    case TFilerValue::String:
        return "string";
    case TFilerValue::Ident:
        return "identifier";
    case TFilerValue::False:
    case TFilerValue::True:
        return "Boolean";
    case TFilerValue::Nil:
        return "nil";
    case TFilerValue::Binary:
        return "binary value";
    case TFilerValue::Set:
        return "set";
    case TFilerValue::List:
        return "list";
    case TFilerValue::Collection:
        return "collection";
    }
    return "value";
}

// Keeps the line of the innermost failure: the first handler that sees an exception adds it.
template <class F> void AtLine(int line, bool& lined, F&& f) {
    try {
        f();
    } catch (Exception& e) {
        if (!lined && line > 0)
            e.SetMessage(e.Message() + LineSuffix(line));
        lined = true;
        throw;
    }
}

} // namespace

void SetGlobalComponentFinder(TGlobalComponentFinder Finder) {
    GlobalFinder() = std::move(Finder);
}

TComponent* FindGlobalComponent(const std::string& Name) {
    return GlobalFinder() && !Name.empty() ? GlobalFinder()(Name) : nullptr;
}

// ---- TReader

TReader::~TReader() = default;

void TReader::Error(const std::string& Message, int Line) const {
    FLined = true;
    throw EReadError(Message + LineSuffix(Line));
}

TComponent* TReader::ReadRootComponent(const TFilerObject& Tree, TComponent* Root) {
    FLoaded.clear();
    FFixups.clear();
    FDepth = 0;
    FParent = nullptr;
    FLined = false;
    bool created = false;
    // A read that fails leaves no component half loaded and frees the root it made.
    ScopeGuard undoRead([&] {
        for (TComponent* c : FLoaded)
            c->SetComponentStateFlags(csLoading | csReading | csFixups, false);
        FLoaded.clear();
        FFixups.clear();
        if (created)
            Root->Free();
    });
    AtLine(Tree.Line, FLined, [&] {
        if (!Root) {
            Root = CreateComponent(Tree.ClassName, nullptr);
            created = true;
            Root->SetName(Tree.Name);
        } else if (Root->Name().empty() && !Tree.Name.empty()) {
            // Several instances of one form live side by side under the same owner.
            std::string name = Tree.Name;
            TComponent* owner = Root->Owner();
            for (int i = 1; owner && owner->FindComponent(name) && owner->FindComponent(name) != Root; ++i)
                name = Tree.Name + "_" + std::to_string(i);
            Root->SetName(name);
        }
    });
    FRoot = Root;
    Root->SetComponentStateFlags(csLoading | csReading, true);
    FLoaded.push_back(Root);
    FNode = &Tree;
    Root->ReadState(*this);
    Root->SetComponentStateFlags(csReading, false);
    ResolveFixups();
    undoRead.Dismiss();
    size_t i = 0;
    ScopeGuard undoLoaded([&] {
        for (size_t j = i + 1; j < FLoaded.size(); ++j)
            FLoaded[j]->SetComponentStateFlags(csLoading, false);
        FLoaded.clear();
        if (created)
            Root->Free();
    });
    for (; i < FLoaded.size(); ++i)
        FLoaded[i]->Loaded();
    undoLoaded.Dismiss();
    FLoaded.clear();
    return Root;
}

TComponent* TReader::ReadComponent(const TFilerObject& Node) {
    if (FDepth >= kMaxStreamDepth)
        Error("Components nested too deeply", Node.Line);
    TComponent* c = nullptr;
    AtLine(Node.Line, FLined, [&] {
        if (!Node.Name.empty())
            c = FRoot->FindComponent(Node.Name);
        if (c && std::find(FLoaded.begin(), FLoaded.end(), c) != FLoaded.end()) {
            FLined = true;
            throw EComponentError("A component named " + Node.Name + " already exists" +
                                  LineSuffix(Node.Line));
        }
        if (c) {
            // A component the root already has (made in code) is filled, not made again.
            const TClassInfo* cls = GetClass(Node.ClassName);
            if (!SameText(c->ClassName(), Node.ClassName) && !(cls && c->InheritsFrom(*cls)))
                Error("Component " + Node.Name + " is a " + c->ClassName() + ", not a " + Node.ClassName,
                      Node.Line);
        } else {
            c = CreateComponent(Node.ClassName, FRoot);
            ScopeGuard freeUnnamed([c] { c->Free(); });
            c->SetName(Node.Name);
            freeUnnamed.Dismiss();
        }
        if (!Node.Name.empty()) {
            if (const TFieldInfo* f = FindPublishedField(FRoot->ClassType(), Node.Name)) {
                if (!c->InheritsFrom(*f->FieldClass))
                    Error("Field " + std::string(f->Name) + " cannot hold a " + c->ClassName(), Node.Line);
                f->Set(FRoot, c);
            }
        }
    });
    c->SetComponentStateFlags(csLoading | csReading, true);
    FLoaded.push_back(c);
    if (c->HasParent())
        AtLine(Node.Line, FLined, [&] { c->SetParentComponent(FParent); });
    const TFilerObject* saved = FNode;
    FNode = &Node;
    ++FDepth;
    c->ReadState(*this);
    --FDepth;
    FNode = saved;
    c->SetComponentStateFlags(csReading, false);
    return c;
}

void TReader::ReadData(TComponent* Instance) {
    const TFilerObject& node = *FNode;
    for (const TFilerProperty& p : node.Properties) {
        AtLine(p.Line, FLined, [&] {
            FCurrent = Instance;
            ReadProperty(Instance, p.Name, p.Value, p.Line, 0);
        });
    }
    TComponent* oldParent = FParent;
    FParent = Instance;
    for (const TFilerObject& child : node.Children)
        ReadComponent(child);
    FParent = oldParent;
}

void TReader::ReadObjectProperties(TPersistent* Instance, const std::vector<TFilerProperty>& Properties) {
    TemporaryChange keepCurrent(FCurrent, FCurrent);
    FLined = false;
    for (const TFilerProperty& p : Properties) {
        AtLine(p.Line, FLined, [&] {
            FCurrent = nullptr;
            ReadProperty(Instance, p.Name, p.Value, p.Line, 0);
        });
    }
}

void TReader::ReadProperty(TPersistent* Instance, const std::string& Path, const TFilerValue& Value, int Line,
                           int Depth) {
    if (Depth >= kMaxStreamDepth)
        Error("Properties nested too deeply", Line);
    const size_t dot = Path.find('.');
    if (dot != std::string::npos) {
        const std::string head = Path.substr(0, dot);
        const TPropInfo* p = GetPropInfo(Instance, head);
        if (!p || p->Kind != pkObject)
            Error("Property " + Path + " does not exist", Line);
        TPersistent* sub = p->GetObject(Instance);
        if (!sub)
            Error("Property " + head + " has no object", Line);
        ReadProperty(sub, Path.substr(dot + 1), Value, Line, Depth + 1);
        return;
    }
    if (const TPropInfo* p = GetPropInfo(Instance, Path)) {
        SetPropValue(Instance, p, Value, Line, Depth);
        return;
    }
    const std::string* savedName = FPropName;
    const TFilerValue* savedValue = FPropValue;
    const int savedLine = FPropLine;
    const bool savedHandled = FPropHandled;
    FPropName = &Path;
    FPropValue = &Value;
    FPropLine = Line;
    FPropHandled = false;
    Instance->DefineProperties(*this);
    const bool handled = FPropHandled;
    FPropName = savedName;
    FPropValue = savedValue;
    FPropLine = savedLine;
    FPropHandled = savedHandled;
    if (!handled)
        Error("Property " + Path + " does not exist", Line);
}

void TReader::SetPropValue(TPersistent* Instance, const TPropInfo* Prop, const TFilerValue& Value, int Line,
                           int Depth) {
    auto invalid = [&]() {
        Error("Invalid value for property " + std::string(Prop->Name) + ": " + KindName(Value.Kind), Line);
    };
    if (!Prop->IsWritable() && Prop->Kind != pkCollection)
        Error("Property " + std::string(Prop->Name) + " is read-only", Line);
    switch (Prop->Kind) {
    case pkInteger:
        if (Value.Kind != TFilerValue::Int || Value.IntValue < std::numeric_limits<int32_t>::min() ||
            Value.IntValue > std::numeric_limits<uint32_t>::max())
            invalid();
        Prop->SetOrd(Instance, Value.IntValue);
        break;
    case pkInt64:
        if (Value.Kind != TFilerValue::Int)
            invalid();
        Prop->SetOrd(Instance, Value.IntValue);
        break;
    case pkChar:
        if (Value.Kind == TFilerValue::String && Value.Text.size() == 1)
            Prop->SetOrd(Instance, static_cast<unsigned char>(Value.Text[0]));
        else if (Value.Kind == TFilerValue::Int && Value.IntValue >= 0 && Value.IntValue <= 255)
            Prop->SetOrd(Instance, Value.IntValue);
        else
            invalid();
        break;
    case pkBoolean:
        if (Value.Kind != TFilerValue::True && Value.Kind != TFilerValue::False)
            invalid();
        Prop->SetOrd(Instance, Value.Kind == TFilerValue::True ? 1 : 0);
        break;
    case pkEnum: {
        int64_t v = -1;
        if (Value.Kind == TFilerValue::Ident)
            v = GetEnumValue(Prop, Value.Text);
        else if (Value.Kind == TFilerValue::Int && Value.IntValue >= 0 &&
                 Value.IntValue < static_cast<int64_t>(Prop->Names.size()))
            v = Value.IntValue;
        if (v < 0)
            Error("Invalid value for property " + std::string(Prop->Name) + ": " +
                      (Value.Kind == TFilerValue::Ident ? Value.Text : std::string(KindName(Value.Kind))),
                  Line);
        Prop->SetOrd(Instance, v);
        break;
    }
    case pkSet: {
        if (Value.Kind != TFilerValue::Set)
            invalid();
        uint64_t bits = 0;
        for (const std::string& e : Value.Elements) {
            const int64_t v = GetEnumValue(Prop, e);
            if (v < 0 || v >= 64)
                Error("Invalid value for property " + std::string(Prop->Name) + ": " + e, Line);
            bits |= uint64_t(1) << v;
        }
        Prop->SetOrd(Instance, static_cast<int64_t>(bits));
        break;
    }
    case pkColor:
        if (Value.Kind == TFilerValue::Ident) {
            TColor c = 0;
            if (!IdentToColor(Value.Text.c_str(), c))
                Error("Invalid value for property " + std::string(Prop->Name) + ": " + Value.Text, Line);
            Prop->SetOrd(Instance, c);
        } else if (Value.Kind == TFilerValue::Int && Value.IntValue >= std::numeric_limits<int32_t>::min() &&
                   Value.IntValue <= std::numeric_limits<uint32_t>::max()) {
            Prop->SetOrd(Instance, static_cast<int32_t>(static_cast<uint32_t>(Value.IntValue)));
        } else {
            invalid();
        }
        break;
    case pkFloat:
        if (Value.Kind == TFilerValue::Float)
            Prop->SetFloat(Instance, Value.FloatValue);
        else if (Value.Kind == TFilerValue::Int)
            Prop->SetFloat(Instance, static_cast<double>(Value.IntValue));
        else
            invalid();
        break;
    case pkString:
        if (Value.Kind != TFilerValue::String)
            invalid();
        Prop->SetStr(Instance, Value.Text);
        break;
    case pkObject:
        invalid();
        break;
    case pkCollection: {
        auto* coll = dynamic_cast<TCollection*>(Prop->GetObject(Instance));
        if (!coll || Value.Kind != TFilerValue::Collection)
            invalid();
        ReadCollection(coll, Value, Depth + 1);
        break;
    }
    case pkComponent:
        if (Value.Kind == TFilerValue::Nil) {
            Prop->SetObject(Instance, nullptr);
        } else if (!FRoot) {
            Error("Property " + std::string(Prop->Name) + " cannot be read without a root component", Line);
        } else if (Value.Kind == TFilerValue::Ident) {
            FFixups.push_back({Instance, Prop, Value.Text, Line});
            if (FCurrent)
                FCurrent->SetComponentStateFlags(csFixups, true);
        } else {
            invalid();
        }
        break;
    case pkEvent: {
        if (Value.Kind == TFilerValue::Nil) {
            Prop->ClearEvent(Instance);
            break;
        }
        if (Value.Kind != TFilerValue::Ident)
            invalid();
        if (!FRoot)
            Error("Property " + std::string(Prop->Name) + " cannot be read without a root component", Line);
        const TMethodInfo* m = FindPublishedMethod(FRoot->ClassType(), Value.Text);
        if (!m) {
            FLined = true;
            throw EMethodNotFound("Method " + Value.Text + " not found in " + FRoot->ClassName() +
                                  LineSuffix(Line));
        }
        if (!Prop->EventType || *m->Signature != *Prop->EventType) {
            FLined = true;
            throw EPropertyError("Method " + std::string(m->Name) + " does not match event " +
                                 std::string(Prop->Name) + LineSuffix(Line));
        }
        Prop->BindEvent(Instance, *m, FRoot);
        break;
    }
    }
}

void TReader::ReadCollection(TCollection* Collection, const TFilerValue& Value, int Depth) {
    if (Depth >= kMaxStreamDepth)
        Error("Properties nested too deeply", Value.Line);
    Collection->BeginUpdate();
    ScopeGuard endUpdate([Collection] { Collection->EndUpdate(); });
    Collection->Clear();
    for (const TFilerValue& item : Value.Items) {
        TCollectionItem* it = Collection->Add();
        for (const TFilerProperty& p : item.Properties)
            AtLine(p.Line, FLined, [&] { ReadProperty(it, p.Name, p.Value, p.Line, Depth + 1); });
    }
}

void TReader::ResolveFixups() {
    for (const TFixup& f : FFixups) {
        TComponent* target = nullptr;
        if (SameText(f.Name, FRoot->Name()))
            target = FRoot;
        else
            target = FRoot->FindComponent(f.Name);
        if (!target)
            target = FindGlobalReference(f.Name);
        if (!target)
            Error("Component " + f.Name + " not found for property " + std::string(f.Prop->Name), f.Line);
        if (f.Prop->ObjectClass && !target->InheritsFrom(*f.Prop->ObjectClass))
            Error("Component " + f.Name + " is not a " + f.Prop->ObjectClass->Name, f.Line);
        AtLine(f.Line, FLined, [&] { f.Prop->SetObject(f.Instance, target); });
    }
    FFixups.clear();
    for (TComponent* c : FLoaded)
        c->SetComponentStateFlags(csFixups, false);
}

// Defined properties

void TReader::DefineProperty(const std::string& Name, const std::function<void(TReader&)>& ReadData,
                             const std::function<void(TWriter&)>&, bool) {
    if (!FPropName || FPropHandled || !SameText(Name, *FPropName))
        return;
    FPropHandled = true;
    if (!ReadData)
        return;
    TemporaryChange cursors(FCursors, std::vector<TCursor>{{FPropValue, 1, 0}});
    ReadData(*this);
}

void TReader::DefineBinaryProperty(const std::string& Name, const std::function<void(TStream&)>& ReadData,
                                   const std::function<void(TStream&)>&, bool) {
    if (!FPropName || FPropHandled || !SameText(Name, *FPropName))
        return;
    FPropHandled = true;
    if (!ReadData)
        return;
    if (FPropValue->Kind != TFilerValue::Binary)
        Error("Invalid value for property " + Name + ": " + KindName(FPropValue->Kind), FPropLine);
    TMemoryStream data;
    if (!FPropValue->Bytes.empty())
        data.WriteBuffer(FPropValue->Bytes.data(), static_cast<int64_t>(FPropValue->Bytes.size()));
    data.SetPosition(0);
    ReadData(data);
}

const TFilerValue* TReader::Peek() const {
    if (FCursors.empty())
        return nullptr;
    const TCursor& c = FCursors.back();
    return c.Index < c.Count ? &c.Values[c.Index] : nullptr;
}

const TFilerValue& TReader::Take() {
    const TFilerValue* v = Peek();
    if (!v)
        Error("Invalid property value", FPropLine);
    ++FCursors.back().Index;
    return *v;
}

TValueType TReader::NextValue() const {
    const TFilerValue* v = Peek();
    if (!v)
        return vaNull;
    switch (v->Kind) {
    case TFilerValue::Int:
        return v->IntValue >= std::numeric_limits<int32_t>::min() &&
                       v->IntValue <= std::numeric_limits<int32_t>::max()
                   ? vaInt32
                   : vaInt64;
    case TFilerValue::Float:
        return vaDouble;
    case TFilerValue::String:
        return vaUTF8String;
    case TFilerValue::Ident:
        return vaIdent;
    case TFilerValue::False:
        return vaFalse;
    case TFilerValue::True:
        return vaTrue;
    case TFilerValue::Nil:
        return vaNil;
    case TFilerValue::Binary:
        return vaBinary;
    case TFilerValue::Set:
        return vaSet;
    case TFilerValue::List:
        return vaList;
    case TFilerValue::Collection:
        return vaCollection;
    }
    return vaNull;
}

int TReader::ReadInteger() {
    const TFilerValue& v = Take();
    if (v.Kind != TFilerValue::Int || v.IntValue < std::numeric_limits<int32_t>::min() ||
        v.IntValue > std::numeric_limits<int32_t>::max())
        Error("Invalid property value", FPropLine);
    return static_cast<int>(v.IntValue);
}

int64_t TReader::ReadInt64() {
    const TFilerValue& v = Take();
    if (v.Kind != TFilerValue::Int)
        Error("Invalid property value", FPropLine);
    return v.IntValue;
}

double TReader::ReadFloat() {
    const TFilerValue& v = Take();
    if (v.Kind == TFilerValue::Float)
        return v.FloatValue;
    if (v.Kind == TFilerValue::Int)
        return static_cast<double>(v.IntValue);
    Error("Invalid property value", FPropLine);
}

std::string TReader::ReadString() {
    const TFilerValue& v = Take();
    if (v.Kind != TFilerValue::String)
        Error("Invalid property value", FPropLine);
    return v.Text;
}

bool TReader::ReadBoolean() {
    const TFilerValue& v = Take();
    if (v.Kind != TFilerValue::True && v.Kind != TFilerValue::False)
        Error("Invalid property value", FPropLine);
    return v.Kind == TFilerValue::True;
}

char TReader::ReadChar() {
    const TFilerValue& v = Take();
    if (v.Kind != TFilerValue::String || v.Text.size() != 1)
        Error("Invalid property value", FPropLine);
    return v.Text[0];
}

std::string TReader::ReadIdent() {
    const TFilerValue& v = Take();
    switch (v.Kind) {
    case TFilerValue::Ident:
        return v.Text;
    case TFilerValue::True:
        return "True";
    case TFilerValue::False:
        return "False";
    case TFilerValue::Nil:
        return "nil";
    default:
        Error("Invalid property value", FPropLine);
    }
}

void TReader::ReadListBegin() {
    const TFilerValue& v = Take();
    if (v.Kind != TFilerValue::List)
        Error("Invalid property value", FPropLine);
    FCursors.push_back({v.Items.data(), v.Items.size(), 0});
}

bool TReader::EndOfList() const {
    return Peek() == nullptr;
}

void TReader::ReadListEnd() {
    if (FCursors.size() < 2 || Peek())
        Error("Invalid property value", FPropLine);
    FCursors.pop_back();
}

void TReader::SkipValue() {
    Take();
}

// ---- TWriter

TWriter::TWriter(TComponent* Root) {
    FRoot = Root;
}

TFilerObject TWriter::WriteComponent(TComponent* Component) {
    TemporaryChange root(FRoot, FRoot ? FRoot : Component);
    return WriteComponentAt(Component, 0);
}

std::vector<TFilerProperty> TWriter::WriteObjectProperties(TPersistent* Instance) {
    std::vector<TFilerProperty> out;
    WriteProperties(Instance, "", out, 0);
    return out;
}

TFilerObject TWriter::WriteComponentAt(TComponent* Component, int Depth) {
    if (Depth >= kMaxStreamDepth)
        throw EWriteError("Components nested too deeply");
    TFilerObject obj;
    obj.ClassName = Component->ClassName();
    obj.Name = Component->Name();
    const bool wasWriting = Component->ComponentState() & csWriting;
    Component->SetComponentStateFlags(csWriting, true);
    ScopeGuard restoreWriting([=] { Component->SetComponentStateFlags(csWriting, wasWriting); });
    WriteProperties(Component, "", obj.Properties, Depth);
    Component->GetChildren(
        [&](TComponent* child) { obj.Children.push_back(WriteComponentAt(child, Depth + 1)); }, FRoot);
    return obj;
}

void TWriter::WriteProperties(TPersistent* Instance, const std::string& Prefix,
                              std::vector<TFilerProperty>& Out, int Depth) {
    if (Depth >= kMaxStreamDepth)
        throw EWriteError("Properties nested too deeply");
    for (const TPropInfo* p : GetPropList(Instance->ClassType())) {
        if (!p->IsStored(Instance))
            continue;
        if (p->Kind == pkObject) {
            if (TPersistent* sub = p->GetObject(Instance))
                WriteProperties(sub, Prefix + std::string(p->Name) + ".", Out, Depth + 1);
            continue;
        }
        TFilerValue v;
        if (WriteValue(Instance, p, v, Depth))
            Out.push_back({Prefix + std::string(p->Name), std::move(v), 0});
    }
    TemporaryChange prefix(FPrefix, Prefix);
    TemporaryChange out(FOut, &Out);
    Instance->DefineProperties(*this);
}

bool TWriter::WriteValue(TPersistent* Instance, const TPropInfo* Prop, TFilerValue& Value, int Depth) {
    switch (Prop->Kind) {
    case pkCollection: {
        auto* coll = dynamic_cast<TCollection*>(Prop->GetObject(Instance));
        if (!coll || coll->Count() == 0)
            return false;
        Value.Kind = TFilerValue::Collection;
        for (int i = 0; i < coll->Count(); ++i) {
            TFilerValue item;
            item.Kind = TFilerValue::List;
            WriteProperties(coll->Items(i), "", item.Properties, Depth + 1);
            Value.Items.push_back(std::move(item));
        }
        return true;
    }
    case pkComponent: {
        if (!FRoot || !Prop->IsWritable())
            return false;
        auto* ref = dynamic_cast<TComponent*>(Prop->GetObject(Instance));
        if (!ref || ref->Name().empty())
            return false;
        if (ref == FRoot || ref->Owner() == FRoot) {
            Value.Text = ref->Name();
        } else {
            // Written only where the reader will find it again.
            TComponent* root = ref->Owner();
            if (!root || root->Name().empty() || FindGlobalComponent(root->Name()) != root)
                return false;
            Value.Text = root->Name() + "." + ref->Name();
        }
        Value.Kind = TFilerValue::Ident;
        return true;
    }
    case pkEvent: {
        if (!FRoot)
            return false;
        std::string name = Prop->GetMethodName(Instance);
        if (name.empty())
            return false;
        Value.Kind = TFilerValue::Ident;
        Value.Text = std::move(name);
        return true;
    }
    case pkObject:
        return false;
    default:
        break;
    }
    if (!Prop->IsWritable() || IsDefaultPropValue(Instance, Prop))
        return false;
    switch (Prop->Kind) {
    case pkFloat:
        Value.Kind = TFilerValue::Float;
        Value.FloatValue = Prop->GetFloat(Instance);
        return true;
    case pkString:
        Value.Kind = TFilerValue::String;
        Value.Text = Prop->GetStr(Instance);
        return true;
    default:
        break;
    }
    const int64_t ord = Prop->GetOrd(Instance);
    switch (Prop->Kind) {
    case pkBoolean:
        Value.Kind = ord ? TFilerValue::True : TFilerValue::False;
        return true;
    case pkEnum:
        Value.Text = GetEnumName(Prop, ord);
        if (Value.Text.empty()) {
            Value.Kind = TFilerValue::Int;
            Value.IntValue = ord;
        } else {
            Value.Kind = TFilerValue::Ident;
        }
        return true;
    case pkSet:
        Value.Kind = TFilerValue::Set;
        for (size_t i = 0; i < Prop->Names.size() && i < 64; ++i) {
            if (static_cast<uint64_t>(ord) & (uint64_t(1) << i))
                Value.Elements.push_back(Prop->Names[i]);
        }
        return true;
    case pkColor: {
        const char* name = nullptr;
        if (ColorToIdent(static_cast<TColor>(ord), name) && name) {
            Value.Kind = TFilerValue::Ident;
            Value.Text = name;
        } else {
            Value.Kind = TFilerValue::Int;
            Value.IntValue = static_cast<TColor>(ord);
        }
        return true;
    }
    case pkChar:
        if (ord >= 32 && ord < 127) {
            Value.Kind = TFilerValue::String;
            Value.Text = std::string(1, static_cast<char>(ord));
        } else {
            Value.Kind = TFilerValue::Int;
            Value.IntValue = ord;
        }
        return true;
    default:
        Value.Kind = TFilerValue::Int;
        Value.IntValue = ord;
        return true;
    }
}

void TWriter::DefineProperty(const std::string& Name, const std::function<void(TReader&)>&,
                             const std::function<void(TWriter&)>& WriteData, bool HasData) {
    if (!HasData || !WriteData || !FOut)
        return;
    std::vector<TFilerValue> values;
    bool balanced = false;
    {
        TemporaryChange targets(FTargets, std::vector<std::vector<TFilerValue>*>{&values});
        WriteData(*this);
        balanced = FTargets.size() == 1;
    }
    if (!balanced)
        throw EWriteError("Property " + Name + " left a list open");
    if (values.empty())
        return;
    if (values.size() > 1)
        throw EWriteError("Property " + Name + " wrote more than one value");
    FOut->push_back({FPrefix + Name, std::move(values[0]), 0});
}

void TWriter::DefineBinaryProperty(const std::string& Name, const std::function<void(TStream&)>&,
                                   const std::function<void(TStream&)>& WriteData, bool HasData) {
    if (!HasData || !WriteData || !FOut)
        return;
    TMemoryStream data;
    WriteData(data);
    TFilerValue v;
    v.Kind = TFilerValue::Binary;
    v.Bytes = data.Bytes();
    FOut->push_back({FPrefix + Name, std::move(v), 0});
}

void TWriter::Append(TFilerValue Value) {
    if (FTargets.empty())
        throw EWriteError("Values can only be written inside a defined property");
    FTargets.back()->push_back(std::move(Value));
}

void TWriter::WriteInteger(int64_t Value) {
    TFilerValue v;
    v.Kind = TFilerValue::Int;
    v.IntValue = Value;
    Append(std::move(v));
}

void TWriter::WriteFloat(double Value) {
    TFilerValue v;
    v.Kind = TFilerValue::Float;
    v.FloatValue = Value;
    Append(std::move(v));
}

void TWriter::WriteString(const std::string& Value) {
    TFilerValue v;
    v.Kind = TFilerValue::String;
    v.Text = Value;
    Append(std::move(v));
}

void TWriter::WriteBoolean(bool Value) {
    TFilerValue v;
    v.Kind = Value ? TFilerValue::True : TFilerValue::False;
    Append(std::move(v));
}

void TWriter::WriteChar(char Value) {
    WriteString(std::string(1, Value));
}

void TWriter::WriteIdent(const std::string& Value) {
    TFilerValue v;
    if (SameText(Value, "True")) {
        v.Kind = TFilerValue::True;
    } else if (SameText(Value, "False")) {
        v.Kind = TFilerValue::False;
    } else if (SameText(Value, "nil")) {
        v.Kind = TFilerValue::Nil;
    } else {
        if (!IsStreamIdent(Value))
            throw EWriteError("'" + Value + "' is not an identifier");
        v.Kind = TFilerValue::Ident;
        v.Text = Value;
    }
    Append(std::move(v));
}

void TWriter::WriteListBegin() {
    if (FTargets.size() >= static_cast<size_t>(kMaxStreamDepth))
        throw EWriteError("Lists nested too deeply");
    TFilerValue v;
    v.Kind = TFilerValue::List;
    Append(std::move(v));
    FTargets.push_back(&FTargets.back()->back().Items);
}

void TWriter::WriteListEnd() {
    if (FTargets.size() < 2)
        throw EWriteError("No list to end");
    FTargets.pop_back();
}

} // namespace plat
