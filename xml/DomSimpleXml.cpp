// The element tree: attributes, elements, child lists, the prolog and the document object.
#include "xml/DomSimpleXml.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include <sys/mman.h>

#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/StringUtils.h"
#include "xml/DomSimpleXmlPool.h"
#include "xml/DomSimpleXmlText.h"

namespace xml {

PLAT_CLASS_INFO(TDomSimpleXMLProp, TObject)
static_assert(sizeof(TDomSimpleXMLProp) == 24, "a large document holds a great many attributes");
static_assert(sizeof(TDomSimpleXMLElemClassic) == 88, "a large document holds a great many elements");
PLAT_CLASS_INFO(TDomSimpleXMLProps, TObject)
PLAT_CLASS_INFO(TDomSimpleXMLElem, TObject)
PLAT_CLASS_INFO(TDomSimpleXMLElemClassic, TDomSimpleXMLElem)
PLAT_CLASS_INFO(TDomSimpleXMLElemText, TDomSimpleXMLElem)
PLAT_CLASS_INFO(TDomSimpleXMLElemComment, TDomSimpleXMLElem)
PLAT_CLASS_INFO(TDomSimpleXMLElemCData, TDomSimpleXMLElem)
PLAT_CLASS_INFO(TDomSimpleXMLElemHeader, TDomSimpleXMLElem)
PLAT_CLASS_INFO(TDomSimpleXMLElemDocType, TDomSimpleXMLElem)
PLAT_CLASS_INFO(TDomSimpleXMLElemSheet, TDomSimpleXMLElem)
PLAT_CLASS_INFO(TDomSimpleXMLElems, TObject)
PLAT_CLASS_INFO(TDomSimpleXMLElemsProlog, TObject)
PLAT_CLASS_INFO(TDomSimpleXML, TObject)
PLAT_CLASS_INFO(TDomHackSimpleXML, TDomSimpleXML)

namespace {

[[noreturn]] void IndexError(int index) {
    throw plat::EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

int64_t ReadInteger(std::string_view text) {
    int64_t v;
    return TryTextToInt64(text, v) ? v : -1;
}

long double ReadFloat(std::string_view text) {
    long double v;
    return TryTextToExtended(text, v) ? v : 0;
}

} // namespace

// --- TDomPool -------------------------------------------------------------------------------------------

namespace {
constexpr size_t kHugePage = size_t(2) << 20;
} // namespace

TDomPool::~TDomPool() {
    for (void* block : FBlocks)
        std::free(block);
}

void TDomPool::NewBlock(TRegion& region, size_t size) {
    const size_t blockSize = size > FNextBlock ? size : FNextBlock;
    FBlocks.reserve(FBlocks.size() + 1); // so that keeping the block cannot fail
    void* memory = std::malloc(blockSize);
    if (!memory)
        throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    // Large blocks may be backed by large pages: a big document is then first touched in a few
    // hundred steps rather than tens of thousands.
    if (blockSize >= 2 * kHugePage) {
        const auto start = reinterpret_cast<uintptr_t>(memory);
        const uintptr_t from = (start + kHugePage - 1) & ~(kHugePage - 1);
        const uintptr_t to = (start + blockSize) & ~(kHugePage - 1);
        if (to > from)
            ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    }
#endif
    FBlocks.push_back(memory);
    region.Current = static_cast<char*>(memory);
    region.End = region.Current + blockSize;
    if (FNextBlock < kLargestBlock)
        FNextBlock *= 2;
}

// --- TDomString -----------------------------------------------------------------------------------------

void TDomString::Assign(std::string_view value) {
    if (value.size() > UINT32_MAX)
        throw std::length_error("XML text too long");
    if (value.size() <= kInline) {
        char copy[kInline];
        if (!value.empty())
            std::memcpy(copy, value.data(), value.size());
        SetShort(copy, value.size(), false);
        return;
    }
    auto* text = static_cast<TLong*>(::operator new(sizeof(TLong) + value.size()));
    text->Size = static_cast<uint32_t>(value.size());
    std::memcpy(text + 1, value.data(), value.size());
    SetLong(text, true);
}

void TDomString::AssignIn(std::string_view value, TDomPool* pool) {
    if (!pool || value.size() <= kInline) {
        Assign(value);
        return;
    }
    if (value.size() > UINT32_MAX)
        throw std::length_error("XML text too long");
    // Pool texts are eight-byte aligned like heap ones: the tag bits of the address stay clear.
    auto* text = reinterpret_cast<TLong*>(pool->AllocateText(sizeof(TLong) + value.size()));
    text->Size = static_cast<uint32_t>(value.size());
    std::memcpy(text + 1, value.data(), value.size());
    SetLong(text, false);
}

// --- TDomSimpleXMLProp ---------------------------------------------------------------------------------

int64_t TDomSimpleXMLProp::IntValue() const {
    return ReadInteger(FValue.View());
}
bool TDomSimpleXMLProp::BoolValue() const {
    return TextToBoolean(FValue.View(), false);
}
long double TDomSimpleXMLProp::FloatValue() const {
    return ReadFloat(FValue.View());
}

TDomSimpleXMLProps* TDomSimpleXMLProp::Parent() const {
    const auto* chunk = reinterpret_cast<const TDomSimpleXMLProps::TChunk*>(this - Index()) - 1;
    while (const TDomSimpleXMLProps::TChunk* next = chunk->Next())
        chunk = next;
    return reinterpret_cast<TDomSimpleXMLProps*>(chunk->Link & ~uintptr_t(1));
}

void TDomSimpleXMLProp::SetQualifiedName(std::string_view nameSpace, std::string_view name) {
    // A namespace that long is found by its ":" (see NameSpaceSize); one of its own after that point
    // cannot be told from it.
    if (nameSpace.size() >= kLongNameSpace && nameSpace.find(':', kLongNameSpace) != std::string_view::npos)
        throw EDomError("Invalid XML namespace: too long to hold a \":\"");
    Parent()->Changed();
    if (nameSpace.empty()) {
        FName.Assign(name);
    } else {
        FName.Assign(std::string(nameSpace) + ':' + std::string(name));
    }
    SetNameSpaceSize(nameSpace.size());
}

void TDomSimpleXMLProp::SetName(std::string_view value) {
    SetQualifiedName(std::string(NameSpace()), value);
}
void TDomSimpleXMLProp::SetValue(std::string_view value) {
    Parent()->Changed();
    FValue.Assign(value);
}
void TDomSimpleXMLProp::SetNameSpace(std::string_view value) {
    SetQualifiedName(value, std::string(Name()));
}

// --- TDomSimpleXMLProps --------------------------------------------------------------------------------

TDomSimpleXMLProps::~TDomSimpleXMLProps() {
    FreeItems();
}

void TDomSimpleXMLProps::Changed() {
    FOwnsTexts = true;
    if (FParent)
        FParent->MarkChanged();
}

void TDomSimpleXMLProps::Clear() {
    if (FParent)
        FParent->MarkChanged();
    FreeItems();
}

void TDomSimpleXMLProps::FreeItems() {
    for (TChunk* c = FFirst; c;) {
        TChunk* next = c->Next();
        if (FOwnsTexts) {
            TDomSimpleXMLProp* items = c->Items();
            for (int32_t i = 0; i < c->Count; ++i)
                items[i].~TDomSimpleXMLProp();
        }
        if (c->Memory == TChunk::kHeap)
            ::operator delete(c);
        else if (c->Memory == TChunk::kOwnPool)
            c->PoolWord()->Release();
        c = next;
    }
    FFirst = nullptr;
    FCount = 0;
    FOwnsTexts = false;
}

TDomSimpleXMLProp* TDomSimpleXMLProps::AppendEmpty(int reserve, TDomPool* pool) {
    if (FParent)
        FParent->MarkChanged();
    FCreated = true;
    TChunk* last = FFirst;
    while (last && last->Next())
        last = last->Next();
    if (!last || last->Count == last->Capacity) {
        const int capacity =
            std::min(std::max(reserve, last ? last->Capacity * 2 : 2), int(TDomSimpleXMLProp::kMaxIndex + 1));
        const auto kind = pool ? TChunk::kOwnPool : TChunk::kHeap;
        const size_t bytes = TChunk::Bytes(static_cast<size_t>(capacity), kind);
        static_assert(sizeof(TChunk) % alignof(TDomSimpleXMLProp) == 0);
        void* memory = pool ? pool->Allocate(bytes) : ::operator new(bytes);
        auto* chunk = new (memory) TChunk{TChunk::EndOf(this), 0, static_cast<uint32_t>(capacity), kind};
        if (pool) {
            chunk->PoolWord() = pool;
            pool->AddRef();
        }
        if (last)
            last->Link = reinterpret_cast<uintptr_t>(chunk);
        else
            FFirst = chunk;
        last = chunk;
    }
    TDomSimpleXMLProp* prop =
        new (last->Items() + last->Count) TDomSimpleXMLProp(static_cast<uint32_t>(last->Count));
    ++last->Count;
    ++FCount;
    return prop;
}

TDomSimpleXMLProp* TDomSimpleXMLProps::Add(std::string_view name, std::string_view value) {
    // The chunk holds a reference to the pool, so the texts may live there too.
    TDomSimpleXML* doc = FParent ? FParent->GetSimpleXML() : nullptr;
    TDomPool* pool = doc ? doc->BuildPool() : nullptr;
    // A pool never takes back a chunk that grew out of room, so a built element starts with room for
    // the few attributes elements mostly have.
    TDomSimpleXMLProp* prop = AppendEmpty(pool ? 4 : 0, pool);
    FOwnsTexts = true;
    prop->FName.AssignIn(name, pool);
    prop->FValue.AssignIn(value, pool);
    return prop;
}

TDomSimpleXMLProp* TDomSimpleXMLProps::AddInteger(std::string_view name, int64_t value) {
    return Add(name, plat::IntToStr(value));
}

TDomSimpleXMLProp* TDomSimpleXMLProps::AddBoolean(std::string_view name, bool value) {
    return Add(name, BooleanToText(value));
}

TDomSimpleXMLProp* TDomSimpleXMLProps::Item(int index) const {
    if (!FCreated)
        return nullptr;
    if (index < 0 || index >= FCount)
        IndexError(index);
    for (TChunk* c = FFirst; c; c = c->Next()) {
        if (index < c->Count)
            return c->Items() + index;
        index -= c->Count;
    }
    return nullptr;
}

TDomSimpleXMLProp* TDomSimpleXMLProps::Find(std::string_view name) const {
    for (TChunk* c = FFirst; c; c = c->Next()) {
        TDomSimpleXMLProp* items = c->Items();
        for (int32_t i = 0; i < c->Count; ++i) {
            if (SameName(items[i].Name(), name))
                return items + i;
        }
    }
    return nullptr;
}

TDomSimpleXMLProp* TDomSimpleXMLProps::ItemByName(std::string_view name) {
    return ItemByNameOrCreate(name, {});
}

TDomSimpleXMLProp* TDomSimpleXMLProps::ItemByNameOrCreate(std::string_view name, std::string_view value) {
    if (TDomSimpleXMLProp* prop = Find(name))
        return prop;
    TDomSimpleXML* doc = FParent ? FParent->GetSimpleXML() : nullptr;
    if (doc && (doc->Options() & sxoAutoCreate))
        return Add(name, value);
    return nullptr;
}

std::string TDomSimpleXMLProps::ValueOf(std::string_view name, std::string_view def) {
    TDomSimpleXMLProp* prop = ItemByNameOrCreate(name, def);
    return std::string(prop ? prop->Value() : def);
}

// --- TDomSimpleXMLElem ---------------------------------------------------------------------------------

void* TDomSimpleXMLElem::operator new(size_t size) {
    void* raw = ::operator new(size + kElementHeader);
    *static_cast<TDomPool**>(raw) = nullptr;
    return static_cast<char*>(raw) + kElementHeader;
}

void TDomSimpleXMLElem::operator delete(void* memory) {
    if (!memory)
        return;
    char* raw = static_cast<char*>(memory) - kElementHeader;
    if (TDomPool* pool = *reinterpret_cast<TDomPool**>(raw))
        pool->Release();
    else
        ::operator delete(raw);
}

void TDomSimpleXMLElem::operator delete(void* memory, TDomPool*) {
    operator delete(memory);
}

TDomSimpleXMLElem::~TDomSimpleXMLElem() {
    // A freed element must not stay behind in a list as a dangling entry.
    if (FContainer)
        FContainer->Notify(this, dxoRemove);
    FreeChildren();
}

// Frees the subtree below this element without recursion, so any depth is safe.
void TDomSimpleXMLElem::FreeChildren() {
    if (!FItems || FItems->FList.empty())
        return;
    // Whole child lists are taken over and freed front to back, the elements a few steps ahead (and
    // their attributes a little later) fetched early: a large tree does not fit in the caches.
    if (FItems->FLeafPool) {
        FItems->ReleaseLeaves();
        return;
    }
    std::vector<std::vector<TDomSimpleXMLElem*>> pending;
    pending.push_back(std::move(FItems->FList));
    FItems->FList.clear();
    FItems->ForgetKeys();
    constexpr size_t kAhead = 8;
    while (!pending.empty()) {
        std::vector<TDomSimpleXMLElem*> list = std::move(pending.back());
        pending.pop_back();
        const size_t n = list.size();
        for (size_t i = 0; i < n; ++i) {
            if (i + kAhead < n)
                __builtin_prefetch(reinterpret_cast<char*>(list[i + kAhead]) - kElementHeader);
            if (i + kAhead / 2 < n)
                __builtin_prefetch(list[i + kAhead / 2]->FProps.FFirst);
            TDomSimpleXMLElem* e = list[i];
            if (e->FItems && e->FItems->FLeafPool) {
                e->FItems->ReleaseLeaves();
            } else if (e->FItems && !e->FItems->FList.empty()) {
                pending.push_back(std::move(e->FItems->FList));
                e->FItems->FList.clear();
            }
            e->FContainer = nullptr;
            delete e;
        }
    }
}

void TDomSimpleXMLElem::SetQualifiedName(std::string_view nameSpace, std::string_view name) {
    // A namespace that long is found by its ":" (see NameSpaceSize); one of its own after that point
    // cannot be told from it.
    if (nameSpace.size() >= kLongNameSpace && nameSpace.find(':', kLongNameSpace) != std::string_view::npos)
        throw EDomError("Invalid XML namespace: too long to hold a \":\"");
    if (nameSpace.empty())
        FName.Assign(name);
    else
        FName.Assign(std::string(nameSpace) + ':' + std::string(name));
    SetNameSpaceSize(nameSpace.size());
}

void TDomSimpleXMLElem::SetName(std::string_view value) {
    if (value.empty() || value == Name())
        return;
    MarkChanged();
    TDomSimpleXMLElems* list = FContainer;
    if (!list) {
        SetQualifiedName(std::string(NameSpace()), value);
        return;
    }
    // Only a named element in its parent's list is re-keyed; any other keeps the key it had.
    const bool rename = FParent && !Name().empty() && FParent->FItems.get() == list;
    const std::string key(rename ? value : list->KeyOf(this));
    SetQualifiedName(std::string(NameSpace()), value);
    list->SetKey(this, key);
}

void TDomSimpleXMLElem::SetNameSpace(std::string_view value) {
    MarkChanged();
    SetQualifiedName(value, std::string(Name()));
}

void TDomSimpleXMLElem::SetValue(std::string_view value) {
    MarkChanged();
    FValue.Assign(value);
}

std::string TDomSimpleXMLElem::FullName() const {
    return std::string(FName.View());
}

TDomSimpleXMLElems& TDomSimpleXMLElem::Items() {
    if (!FItems) {
        MarkChanged();
        FItems = std::make_unique<TDomSimpleXMLElems>(this);
    }
    return *FItems;
}

bool TDomSimpleXMLElem::HasItems() const {
    return FItems && !FItems->FList.empty();
}

int TDomSimpleXMLElem::ChildsCount() const {
    int count = 0;
    std::vector<const TDomSimpleXMLElem*> pending{this};
    while (!pending.empty()) {
        const TDomSimpleXMLElem* e = pending.back();
        pending.pop_back();
        ++count;
        if (e->FItems)
            pending.insert(pending.end(), e->FItems->FList.begin(), e->FItems->FList.end());
    }
    return count;
}

TDomSimpleXML* TDomSimpleXMLElem::GetSimpleXML() const {
    const TDomSimpleXMLElem* e = this;
    while (e->FParent)
        e = e->FParent;
    return e->FSimpleXML;
}

void TDomSimpleXMLElem::Clear() {
    MarkChanged();
    FreeChildren();
    FProps.Clear();
}

bool TDomSimpleXMLElem::IsInSubtree(const TDomSimpleXMLElem* other) const {
    for (const TDomSimpleXMLElem* e = other; e; e = e->FParent) {
        if (e == this)
            return true;
    }
    return false;
}

int64_t TDomSimpleXMLElem::IntValue() const {
    return ReadInteger(FValue.View());
}
void TDomSimpleXMLElem::SetIntValue(int64_t value) {
    MarkChanged();
    FValue.Assign(plat::IntToStr(value));
}
bool TDomSimpleXMLElem::BoolValue() const {
    return TextToBoolean(FValue.View(), false);
}
void TDomSimpleXMLElem::SetBoolValue(bool value) {
    MarkChanged();
    FValue.Assign(BooleanToText(value));
}
long double TDomSimpleXMLElem::FloatValue() const {
    return ReadFloat(FValue.View());
}
void TDomSimpleXMLElem::SetFloatValue(double value) {
    MarkChanged();
    FValue.Assign(plat::FloatToStr(value));
}

void TDomSimpleXMLElem::AssignData(const TDomSimpleXMLElem& source) {
    MarkChanged();
    SetName(source.Name());
    FValue.Assign(source.Value());
    source.FProps.ForEach([this](const TDomSimpleXMLProp& prop) { FProps.Add(prop.Name(), prop.Value()); });
}

void TDomSimpleXMLElem::Assign(const TDomSimpleXMLElem* source) {
    if (source == this)
        return;
    // Clearing first would free a source that lies inside this subtree: copy it out of the way.
    std::unique_ptr<TDomSimpleXMLElem> detached;
    if (source && IsInSubtree(source)) {
        detached.reset(source->CreateNew(nullptr));
        detached->Assign(source);
        source = detached.get();
    }
    Clear();
    if (!source)
        return;
    AssignData(*source);
    std::vector<std::pair<const TDomSimpleXMLElem*, TDomSimpleXMLElem*>> pending{{source, this}};
    while (!pending.empty()) {
        auto [from, to] = pending.back();
        pending.pop_back();
        if (!from->FItems)
            continue;
        for (const TDomSimpleXMLElem* child : from->FItems->FList) {
            // Named before it is added, so that its name is its key.
            TDomSimpleXMLElem* copy = child->CreateNew(to);
            copy->AssignData(*child);
            to->Items().Append(copy);
            pending.emplace_back(child, copy);
        }
    }
}

TDomSimpleXMLElem* TDomSimpleXMLElemClassic::CreateNew(TDomSimpleXMLElem* parent) const {
    return new TDomSimpleXMLElemClassic(parent);
}
TDomSimpleXMLElem* TDomSimpleXMLElemText::CreateNew(TDomSimpleXMLElem* parent) const {
    return new TDomSimpleXMLElemText(parent);
}
TDomSimpleXMLElem* TDomSimpleXMLElemComment::CreateNew(TDomSimpleXMLElem* parent) const {
    return new TDomSimpleXMLElemComment(parent);
}
TDomSimpleXMLElem* TDomSimpleXMLElemCData::CreateNew(TDomSimpleXMLElem* parent) const {
    return new TDomSimpleXMLElemCData(parent);
}
TDomSimpleXMLElem* TDomSimpleXMLElemHeader::CreateNew(TDomSimpleXMLElem* parent) const {
    return new TDomSimpleXMLElemHeader(parent);
}
TDomSimpleXMLElem* TDomSimpleXMLElemDocType::CreateNew(TDomSimpleXMLElem* parent) const {
    return new TDomSimpleXMLElemDocType(parent);
}
TDomSimpleXMLElem* TDomSimpleXMLElemSheet::CreateNew(TDomSimpleXMLElem* parent) const {
    return new TDomSimpleXMLElemSheet(parent);
}

void TDomSimpleXMLElemHeader::AssignData(const TDomSimpleXMLElem& source) {
    TDomSimpleXMLElem::AssignData(source);
    if (auto* header = dynamic_cast<const TDomSimpleXMLElemHeader*>(&source)) {
        FStandalone = header->FStandalone;
        FEncoding = header->FEncoding;
        FVersion = header->FVersion;
    }
}

// --- TDomSimpleXMLElems --------------------------------------------------------------------------------

TDomSimpleXMLElems::~TDomSimpleXMLElems() {
    Clear();
}

void TDomSimpleXMLElems::ReleaseLeaves() {
    TDomPool* pool = FLeafPool;
    const int64_t refs = FLeafRefs;
    FLeafPool = nullptr;
    FLeafRefs = 0;
    FList.clear();
    ForgetKeys();
    pool->Release(refs);
}

void TDomSimpleXMLElems::ForgetKeys() {
    if (!FKeys)
        return;
    for (auto& [element, key] : *FKeys)
        const_cast<TDomSimpleXMLElem*>(element)->SetKeyed(false);
    FKeys.reset();
}

void TDomSimpleXMLElems::SetKey(TDomSimpleXMLElem* value, std::string_view key) {
    if (key == value->Name()) {
        if (value->Keyed()) {
            FKeys->erase(value);
            value->SetKeyed(false);
        }
        return;
    }
    if (!FKeys)
        FKeys = std::make_unique<std::unordered_map<const TDomSimpleXMLElem*, std::string>>();
    (*FKeys)[value] = key;
    value->SetKeyed(true);
}

void TDomSimpleXMLElems::Rename(TDomSimpleXMLElem* value, std::string_view name) {
    if (value && value->FContainer == this)
        SetKey(value, name);
}

void TDomSimpleXMLElems::Clear() {
    if (FLeafPool) {
        ReleaseLeaves();
        return;
    }
    ForgetKeys();
    std::vector<TDomSimpleXMLElem*> items;
    items.swap(FList);
    for (TDomSimpleXMLElem* e : items) {
        e->FContainer = nullptr;
        delete e;
    }
}

TDomSimpleXMLElemClassic* TDomSimpleXMLElems::Add(std::string_view name, std::string_view value) {
    TDomSimpleXML* doc = FParent ? FParent->GetSimpleXML() : nullptr;
    if (TDomPool* pool = doc ? doc->BuildPool() : nullptr) {
        // The element holds a reference to the pool, so its texts may live there too.
        auto* e = new (pool) TDomSimpleXMLElemClassic(FParent);
        e->FName.AssignIn(name, pool);
        e->FValue.AssignIn(value, pool);
        Append(e);
        return e;
    }
    auto* e = new TDomSimpleXMLElemClassic(FParent);
    e->SetName(name);
    e->FValue.Assign(value);
    Append(e);
    return e;
}

TDomSimpleXMLElem* TDomSimpleXMLElems::AddChild(TDomSimpleXMLElem* value) {
    if (!value)
        return nullptr;
    if (value->OwnedByDocument())
        throw EDomError("Invalid XML Element: the root and the prolog items belong to their document");
    if (value->IsInSubtree(FParent))
        throw EDomError("Invalid XML Element: an element cannot be added below itself");
    if (value->FContainer)
        value->FContainer->Notify(value, dxoRemove);
    value->FParent = FParent;
    Append(value);
    return value;
}

void TDomSimpleXMLElems::Notify(TDomSimpleXMLElem* value, TDomSimpleXMLOperation operation) {
    if (!value)
        return;
    if (operation == dxoInsert) {
        value->FContainer = this;
        return;
    }
    if (value->FContainer != this)
        return;
    FLeafPool = nullptr;
    SetKey(value, value->Name());
    // Removal from the end is the common case (an element just added being moved on).
    auto it = std::find(FList.rbegin(), FList.rend(), value);
    if (it != FList.rend())
        FList.erase(std::next(it).base());
    value->FContainer = nullptr;
}

TDomSimpleXMLElem* TDomSimpleXMLElems::Item(int index) const {
    if (!FCreated || index > Count())
        return nullptr;
    if (index < 0 || index == Count())
        IndexError(index);
    return FList[index];
}

TDomSimpleXMLElem* TDomSimpleXMLElems::ItemByNameOrCreate(std::string_view name, std::string_view value) {
    for (TDomSimpleXMLElem* e : FList) {
        if (SameName(KeyOf(e), name))
            return e;
    }
    TDomSimpleXML* doc = FParent ? FParent->GetSimpleXML() : nullptr;
    if (doc && (doc->Options() & sxoAutoCreate))
        return Add(name, value);
    return nullptr;
}

// --- TDomSimpleXMLElemsProlog --------------------------------------------------------------------------

TDomSimpleXMLElemsProlog::~TDomSimpleXMLElemsProlog() {
    Clear();
}

void TDomSimpleXMLElemsProlog::Clear() {
    std::vector<TDomSimpleXMLElem*> items;
    items.swap(FList);
    for (TDomSimpleXMLElem* e : items)
        delete e;
}

void TDomSimpleXMLElemsProlog::Append(TDomSimpleXMLElem* value) {
    value->SetOwnedByDocument();
    FList.push_back(value);
}

TDomSimpleXMLElem* TDomSimpleXMLElemsProlog::Item(int index) const {
    if (index < 0 || index >= Count())
        IndexError(index);
    return FList[index];
}

TDomSimpleXMLElemHeader* TDomSimpleXMLElemsProlog::Header() const {
    for (TDomSimpleXMLElem* e : FList) {
        if (e->Kind() == TDomSimpleXMLElem::TKind::Header)
            return static_cast<TDomSimpleXMLElemHeader*>(e);
    }
    return nullptr;
}

TDomSimpleXMLElemHeader* TDomSimpleXMLElemsProlog::FindHeader() {
    if (TDomSimpleXMLElemHeader* header = Header())
        return header;
    // At the front: a declaration after other items would make the file no XML for other readers.
    auto* header = new TDomSimpleXMLElemHeader(nullptr);
    header->SetName("xml");
    header->SetOwnedByDocument();
    FList.insert(FList.begin(), header);
    return header;
}

// --- TDomSimpleXML -------------------------------------------------------------------------------------

TDomSimpleXML::TDomSimpleXML()
    : FRoot(std::make_unique<TDomSimpleXMLElemClassic>(nullptr)),
      FProlog(std::make_unique<TDomSimpleXMLElemsProlog>()) {
    FRoot->FSimpleXML = this;
    FRoot->SetOwnedByDocument();
}

TDomSimpleXML::~TDomSimpleXML() {
    // Nodes built in the pool may outlive the document elsewhere; each holds its own reference.
    if (FBuildPool)
        FBuildPool->Release();
}

void TDomSimpleXML::UseBuildPool() {
    if (FBuildPool)
        return;
    FBuildPool = new TDomPool;
    FBuildPool->AddRef();
}

void TDomSimpleXML::SetFileName(const std::string& value) {
    FFileName = value;
    LoadFromFile(value);
}

void TDomSimpleXML::SetIndentString(std::string_view value) {
    if (std::all_of(value.begin(), value.end(), [](char c) { return c == ' ' || c == '\t'; }))
        FIndentString = value;
}

bool TDomSimpleXML::FileIsUtf8() const {
    TDomSimpleXMLElemHeader* header = FProlog->Header();
    return header && IsUtf8EncodingName(header->Encoding());
}

void TDomSimpleXML::EncodeValue(std::string& value) {
    if (OnEncodeValue)
        OnEncodeValue(this, value);
    if (FOptions & sxoAutoEncodeValue) {
        for (unsigned char c : value) {
            if (c >= 0x80 || c == '"' || c == '&' || c == '\'' || c == '<' || c == '>') {
                value = EncodeXmlText(value);
                break;
            }
        }
    } else if (FOptions & sxoAutoEncodeEntity) {
        if (value.find_first_of("\"&'<>") != std::string::npos)
            value = EncodeEntities(value);
    }
}

void TDomSimpleXML::DecodeValue(std::string& value) {
    if (FOptions & sxoAutoEncodeValue)
        DecodeXmlText(value);
    else if (FOptions & sxoAutoEncodeEntity)
        DecodeEntities(value);
    if (OnDecodeValue)
        OnDecodeValue(this, value);
}

void TDomSimpleXML::DoLoadProgress(int64_t position, int64_t total) {
    if (OnLoadProgress)
        OnLoadProgress(this, position, total);
}

void TDomSimpleXML::DoSaveProgress() {
    ++FSaveCount;
    if (OnSaveProgress)
        OnSaveProgress(this, FSaveCount, FSaveTotal);
}

void TDomSimpleXML::DoTagParsed(const std::string& name) {
    if (OnTagParsed)
        OnTagParsed(this, name);
}

void TDomSimpleXML::DoValueParsed(const std::string& name, const std::string& value) {
    if (OnValueParsed)
        OnValueParsed(this, name, value);
}

} // namespace xml
