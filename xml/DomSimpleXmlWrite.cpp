// The writer: one fixed layout (CR LF line ends, one IndentString per level, values escaped by the
// document), collected in a buffer and handed to the stream in large blocks.
#include <typeinfo>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Stream.h"
#include "xml/DomSimpleXml.h"
#include "xml/DomSimpleXmlPool.h"
#include "xml/DomSimpleXmlText.h"

namespace xml {

class TDomWriter {
public:
    // Document gives options, indentation and progress (null: the defaults, no progress).
    TDomWriter(TStream& stream, TDomSimpleXML* document)
        : FStream(stream), FDocument(document), FUtf8(document && document->FileIsUtf8()) {
        FIndentUnit = document ? document->IndentString() : std::string("  ");
        FAutoIndent = document ? (document->Options() & sxoAutoIndent) != 0 : true;
        FBuffer.reserve(kBlock + 4096);
    }

    void WriteNode(TDomSimpleXMLElem* node, const std::string& indent);
    void Flush() {
        if (!FBuffer.empty()) {
            FStream.WriteBuffer(FBuffer.data(), static_cast<int64_t>(FBuffer.size()));
            FBuffer.clear();
        }
    }

private:
    static constexpr size_t kBlock = 65536;

    void Raw(std::string_view s) { FBuffer.append(s); }
    void Text(std::string_view s) { AppendToFile(FBuffer, s, FUtf8); }
    // A value on its way into the file: through the encoder's EncodeValue, or escaped directly when
    // the encoder is one of ours and no event wants to see the value.
    void Value(std::string_view s) {
        if (!FEncoder) {
            Text(s);
        } else if (FPlainEncode) {
            AppendEscaped(FBuffer, s, FEscape, FUtf8);
        } else {
            FScratch.assign(s);
            FEncoder->EncodeValue(FScratch);
            Text(FScratch);
        }
    }
    // A value written without escaping may hold a double quote; it is then put in single quotes, so
    // the file still reads back.
    void Quoted(std::string_view s) {
        char quote = '"';
        if (s.find('"') != std::string_view::npos && s.find('\'') == std::string_view::npos)
            quote = '\'';
        FBuffer += quote;
        Text(s);
        FBuffer += quote;
    }
    void Attributes(const TDomSimpleXMLProps& props) {
        props.ForEach([this](const TDomSimpleXMLProp& prop) {
            // An attribute with neither name nor namespace cannot be written.
            if (prop.Name().empty() && prop.NameSpace().empty())
                return;
            FBuffer += ' ';
            if (!prop.NameSpace().empty()) {
                Text(prop.NameSpace());
                FBuffer += ':';
            }
            Text(prop.Name());
            FBuffer += '=';
            if (FEncoder && FPlainEncode && FEscape != 0) {
                FBuffer += '"';
                AppendEscaped(FBuffer, prop.Value(), FEscape, FUtf8);
                FBuffer += '"';
            } else if (FEncoder && !FPlainEncode) {
                FScratch.assign(prop.Value());
                FEncoder->EncodeValue(FScratch);
                Quoted(FScratch);
            } else {
                Quoted(prop.Value());
            }
        });
    }
    const std::string& IndentAt(size_t depth) {
        while (FIndents.size() <= depth)
            FIndents.push_back(FAutoIndent ? FIndents.back() + FIndentUnit : FIndents.back());
        return FIndents[depth];
    }
    void Progress() {
        if (FDocument)
            FDocument->DoSaveProgress();
    }
    void MaybeFlush() {
        if (FBuffer.size() >= kBlock)
            Flush();
    }

    bool OpenElement(TDomSimpleXMLElem* e, size_t depth);
    void CloseElement(TDomSimpleXMLElem* e, size_t depth);
    void WriteLeaf(TDomSimpleXMLElem* e, const std::string& indent);

    TStream& FStream;
    TDomSimpleXML* FDocument;
    TDomSimpleXML* FEncoder = nullptr;
    bool FPlainEncode = false;
    int FEscape = 0;
    bool FUtf8;
    bool FAutoIndent;
    std::string FIndentUnit;
    std::vector<std::string> FIndents;
    TDomOutput FBuffer;
    std::string FScratch;
    std::string FTag;
};

// The start tag, or the whole element when it has no children. True when children follow.
bool TDomWriter::OpenElement(TDomSimpleXMLElem* e, size_t depth) {
    // Tag names are written as they are: an escaped name would be no name at all.
    const std::string_view tag = e->FNameSpace.Empty() ? e->Name() : std::string_view(FTag = e->FullName());
    const bool named = !tag.empty();
    if (named) {
        Raw(IndentAt(depth));
        FBuffer += '<';
        Text(tag);
        Attributes(e->FProps);
    }
    if (e->HasItems()) {
        if (named)
            Raw(">\r\n");
        return true;
    }
    if (named) {
        if (!e->FValue.Empty()) {
            FBuffer += '>';
            Value(e->Value());
            Raw("</");
            Text(tag);
            Raw(">\r\n");
        } else {
            Raw("/>\r\n");
        }
    }
    Progress();
    return false;
}

void TDomWriter::CloseElement(TDomSimpleXMLElem* e, size_t depth) {
    if (!e->FName.Empty() || !e->FNameSpace.Empty()) {
        Raw(IndentAt(depth));
        Raw("</");
        Text(e->FNameSpace.Empty() ? e->Name() : std::string_view(FTag = e->FullName()));
        Raw(">\r\n");
    }
    Progress();
}

void TDomWriter::WriteLeaf(TDomSimpleXMLElem* e, const std::string& indent) {
    using K = TDomSimpleXMLElem::TKind;
    switch (e->FKind) {
    case K::Classic:
        break;
    case K::Text:
        if (!e->FValue.Empty()) {
            Raw(indent);
            Value(e->Value());
            Raw("\r\n");
        }
        break;
    case K::Comment:
        Raw(indent);
        Raw("<!--");
        Text(e->Value());
        Raw("-->\r\n");
        break;
    case K::CData:
        Raw(indent);
        Raw("<![CDATA[");
        Text(e->Value());
        Raw("]]>\r\n");
        break;
    case K::DocType:
        Raw("<!DOCTYPE ");
        Text(e->Value());
        Raw(">\r\n");
        break;
    case K::Sheet:
        Raw(indent);
        Raw("<?xml-stylesheet");
        Attributes(e->FProps);
        Raw("?>\r\n");
        break;
    case K::Header: {
        auto* header = static_cast<TDomSimpleXMLElemHeader*>(e);
        Raw(indent);
        Raw("<?xml version=");
        Quoted(header->Version());
        if (!header->Encoding().empty()) {
            Raw(" encoding=");
            Quoted(header->Encoding());
        }
        if (header->Standalone())
            Raw(" standalone=\"yes\"");
        Raw("?>\r\n");
        break;
    }
    }
    Progress();
}

// Elements are written without recursion, so any depth is safe.
void TDomWriter::WriteNode(TDomSimpleXMLElem* node, const std::string& indent) {
    FEncoder = node->GetSimpleXML();
    if (FEncoder) {
        FPlainEncode = !FEncoder->OnEncodeValue && (typeid(*FEncoder) == typeid(TDomSimpleXML) ||
                                                    typeid(*FEncoder) == typeid(TDomHackSimpleXML));
        const TDomSimpleXMLOptions options = FEncoder->Options();
        FEscape = (options & sxoAutoEncodeValue) ? 2 : (options & sxoAutoEncodeEntity) ? 1 : 0;
    }
    FIndents.assign(1, indent);
    if (node->FKind != TDomSimpleXMLElem::TKind::Classic) {
        WriteLeaf(node, indent);
        MaybeFlush();
        return;
    }
    struct TFrame {
        TDomSimpleXMLElem* Element;
        size_t Next;
        size_t Depth;
    };
    std::vector<TFrame> stack;
    if (OpenElement(node, 0))
        stack.push_back({node, 0, 0});
    while (!stack.empty()) {
        TFrame& top = stack.back();
        const auto& children = top.Element->FItems->FList;
        if (top.Next < children.size()) {
            TDomSimpleXMLElem* child = children[top.Next++];
            const size_t depth = top.Depth + 1;
            if (child->FKind == TDomSimpleXMLElem::TKind::Classic) {
                if (OpenElement(child, depth))
                    stack.push_back({child, 0, depth});
            } else {
                WriteLeaf(child, IndentAt(depth));
            }
        } else {
            CloseElement(top.Element, top.Depth);
            stack.pop_back();
        }
        MaybeFlush();
    }
}

// --- Entry points -----------------------------------------------------------------------------------------

namespace {

void SaveNode(TDomSimpleXMLElem* node, TStream& stream, const std::string& level, TDomSimpleXML* parser) {
    TDomWriter writer(stream, parser);
    writer.WriteNode(node, level);
    writer.Flush();
}

} // namespace

void TDomSimpleXMLElemClassic::SaveToStream(TStream& stream, const std::string& level,
                                            TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}
void TDomSimpleXMLElemText::SaveToStream(TStream& stream, const std::string& level, TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}
void TDomSimpleXMLElemComment::SaveToStream(TStream& stream, const std::string& level,
                                            TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}
void TDomSimpleXMLElemCData::SaveToStream(TStream& stream, const std::string& level, TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}
void TDomSimpleXMLElemHeader::SaveToStream(TStream& stream, const std::string& level, TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}
void TDomSimpleXMLElemDocType::SaveToStream(TStream& stream, const std::string& level,
                                            TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}
void TDomSimpleXMLElemSheet::SaveToStream(TStream& stream, const std::string& level, TDomSimpleXML* parser) {
    SaveNode(this, stream, level, parser);
}

void TDomSimpleXMLElemsProlog::SaveToStream(TStream& stream, TDomSimpleXML* parser) {
    TDomWriter writer(stream, parser);
    WriteItems(writer);
    writer.Flush();
}

// The declaration goes first, wherever it stands in the list: other XML readers accept it nowhere else,
// and it names the encoding of everything after it.
void TDomSimpleXMLElemsProlog::WriteItems(TDomWriter& writer) {
    TDomSimpleXMLElemHeader* header = FindHeader();
    writer.WriteNode(header, {});
    for (TDomSimpleXMLElem* item : FList) {
        if (item != header)
            writer.WriteNode(item, {});
    }
}

void TDomSimpleXML::SaveToStream(TStream& stream) {
    TStream* target = &stream;
    std::unique_ptr<plat::TMemoryStream> encoded;
    if (OnEncodeStream) {
        encoded = std::make_unique<plat::TMemoryStream>();
        target = encoded.get();
    }
    const bool prolog = !(FOptions & sxoDoNotSaveProlog);
    // The declaration is added before counting, so progress ends exactly at the total.
    if (prolog)
        FProlog->FindHeader();
    if (OnSaveProgress) {
        FSaveTotal = FRoot->ChildsCount() + (prolog ? FProlog->Count() : 0);
        FSaveCount = 0;
        OnSaveProgress(this, 0, FSaveTotal);
    }
    TDomWriter writer(*target, this);
    if (prolog)
        FProlog->WriteItems(writer);
    writer.WriteNode(FRoot.get(), {});
    writer.Flush();
    if (OnSaveProgress)
        OnSaveProgress(this, FSaveTotal, FSaveTotal);
    if (OnEncodeStream) {
        encoded->SetPosition(0);
        OnEncodeStream(this, *encoded, stream);
    }
}

void TDomSimpleXML::SaveToFile(const std::string& fileName) {
    plat::TMemoryStream stream;
    SaveToStream(stream);
    plat::WriteFileAtomically(fileName, stream.Memory(), static_cast<size_t>(stream.Size()));
}

} // namespace xml
