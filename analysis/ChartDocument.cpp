#include "analysis/ChartDocument.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/Stream.h"
#include "xml/DomSimpleXml.h"

using xml::TDomSimpleXML;
using xml::TDomSimpleXMLElem;
using xml::TDomSimpleXMLProp;

namespace {

// Floats travel as text in the user's locale, as the readers expect them.
void AddFloat(TDomSimpleXMLElem& Elem, std::string_view Name, double Value) {
    Elem.Properties().Add(Name, plat::FloatToStr(Value));
}

void AddIndexList(TDomSimpleXMLElem& Frame, std::string_view ListName, std::string_view ItemName,
                  const std::vector<int>& Indices) {
    TDomSimpleXMLElem* list = Frame.Items().Add(ListName);
    list->Properties().AddInteger("Count", static_cast<int64_t>(Indices.size()));
    for (int index : Indices)
        list->Items().Add(ItemName)->Properties().AddInteger("index", index);
}

} // namespace

namespace {

void WriteChartDocumentTo(const TChartDocument& Document, plat::TStream& Stream) {
    TDomSimpleXML dom;
    // Built once, written and freed: a few hundred thousand nodes, none of them edited afterwards.
    dom.UseBuildPool();
    TDomSimpleXMLElem* root = dom.Root();
    root->SetName("chart");

    TDomSimpleXMLElem* xAxis = root->Items().Add("XAxis");
    xAxis->Properties().Add("Title", Document.XAxis.Title);
    xAxis->Properties().Add("Format", Document.XAxis.Format);
    xAxis->Properties().AddInteger("Xmultipler", Document.XMultiplier);
    xAxis->Properties().AddBoolean("Inverted", Document.XInverted);

    TDomSimpleXMLElem* yAxis = root->Items().Add("YAxis");
    yAxis->Properties().Add("Title", Document.YAxis.Title);
    yAxis->Properties().Add("Format", Document.YAxis.Format);
    AddFloat(*yAxis, "MaxValue", Document.ReferenceMax);
    yAxis->Properties().AddBoolean("Relative", Document.Relative);

    TDomSimpleXMLElem* frames = root->Items().Add("Frames");
    frames->Properties().AddInteger("Count", static_cast<int64_t>(Document.Frames.size()));
    for (const TChartDocumentFrame& source : Document.Frames) {
        TDomSimpleXMLElem* frame = frames->Items().Add("Frame");
        frame->Properties().Add("Title", source.Title);
        frame->Properties().AddInteger("Color", source.Color);
        AddFloat(*frame, "MaxYValue", source.MaxYValue);

        // X and Y of one frame always come as a pair; a shorter Y would otherwise be read past its end.
        const size_t count = std::min(source.X.size(), source.Y.size());
        TDomSimpleXMLElem* points = frame->Items().Add("points");
        points->Properties().AddInteger("Count", static_cast<int64_t>(count));
        for (size_t i = 0; i < count; ++i) {
            TDomSimpleXMLElem* point = points->Items().Add("point");
            point->Properties().AddInteger("index", static_cast<int64_t>(i));
            AddFloat(*point, "X", source.X[i]);
            AddFloat(*point, "Y", source.Y[i]);
        }
        AddIndexList(*frame, "Maxima", "Max", source.Maxima);
        AddIndexList(*frame, "Minima", "Min", source.Minima);
    }

    TDomSimpleXMLElem* boxes = root->Items().Add("TextBoxes");
    boxes->Properties().AddInteger("Count", static_cast<int64_t>(Document.TextBoxes.size()));
    for (const TChartDocumentTextBox& source : Document.TextBoxes) {
        TDomSimpleXMLElem* box = boxes->Items().Add("Box");
        box->Properties().AddInteger("left", source.Left);
        box->Properties().AddInteger("top", source.Top);
        box->Properties().Add("text", source.Text);
    }

    dom.SaveToStream(Stream);
}

} // namespace

namespace {

// The writer's blocks appended to a text, which is handed out without a copy of the whole.
class TTextSink : public plat::TStream {
public:
    explicit TTextSink(std::string& Text) : FText(Text) {}
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void* Buffer, int64_t Count) override {
        FText.append(static_cast<const char*>(Buffer), static_cast<size_t>(Count));
        return Count;
    }
    // Only where the writing stands can be asked: the text is written in one pass.
    int64_t Seek(int64_t Offset, plat::TSeekOrigin Origin) override {
        const auto end = static_cast<int64_t>(FText.size());
        if ((Origin == plat::soBeginning ? 0 : end) + Offset != end)
            throw plat::EStreamError("Invalid stream position");
        return end;
    }

private:
    std::string& FText;
};

} // namespace

std::string ChartDocumentText(const TChartDocument& Document) {
    std::string text;
    TTextSink sink(text);
    WriteChartDocumentTo(Document, sink);
    return text;
}

void WriteChartDocument(const TChartDocument& Document, const std::string& FileName) {
    // The old document stays whole until the new one is on disk: a failed save never costs the user
    // the file they had.
    plat::WriteFileAtomically(FileName,
                              [&](plat::TStream& Stream) { WriteChartDocumentTo(Document, Stream); });
}

// --- Readers -------------------------------------------------------------------------------------------

namespace {

// A parsed file and the root it must have; Root() is null for any other root.
class TChartDocumentFile {
public:
    explicit TChartDocumentFile(const std::string& FileName) { FDom.LoadFromFile(FileName); }
    TDomSimpleXMLElem* Root() const {
        // The root is compared exactly: a "Chart" root is somebody else's document.
        TDomSimpleXMLElem* root = FDom.Root();
        return root->Name() == "chart" && root->NameSpace().empty() ? root : nullptr;
    }

private:
    TDomSimpleXML FDom;
};

TDomSimpleXMLElem* Child(TDomSimpleXMLElem* Parent, std::string_view Name) {
    return Parent && Parent->HasItems() ? Parent->Items().ItemByName(Name) : nullptr;
}

const TDomSimpleXMLProp* Attribute(TDomSimpleXMLElem* Elem, std::string_view Name) {
    return Elem ? Elem->Properties().ItemByName(Name) : nullptr;
}

std::string Text(TDomSimpleXMLElem* Elem, std::string_view Name) {
    const TDomSimpleXMLProp* prop = Attribute(Elem, Name);
    return prop ? std::string(prop->Value()) : std::string();
}

// Text that is no integer reads as -1, as the model reads it; a missing attribute keeps Default.
int64_t Integer(TDomSimpleXMLElem* Elem, std::string_view Name, int64_t Default) {
    const TDomSimpleXMLProp* prop = Attribute(Elem, Name);
    return prop ? prop->IntValue() : Default;
}

int32_t Integer32(TDomSimpleXMLElem* Elem, std::string_view Name, int32_t Default) {
    const int64_t value = Integer(Elem, Name, Default);
    return value < INT32_MIN || value > INT32_MAX ? -1 : static_cast<int32_t>(value);
}

// Text that is no number reads as 0, as the model reads it; so does a number beyond the range of a
// double, which no chart could show. Read straight into a double: the model's extended reading costs
// several times as much, and a document holds a great many values.
double FloatOf(const TDomSimpleXMLProp* Prop, double Default,
               const plat::TFormatSettings& Settings = plat::FormatSettings()) {
    if (!Prop)
        return Default;
    double value;
    return plat::TryStrToFloat(Prop->Value(), value, Settings) && std::isfinite(value) ? value : 0;
}

double Float(TDomSimpleXMLElem* Elem, std::string_view Name, double Default) {
    return FloatOf(Attribute(Elem, Name), Default);
}

// A point's X and Y, found in one pass over its attributes: a document holds a great many points, and
// a lookup by name walks them once for each value. As with such a lookup, names ignore case and the
// first attribute of a name counts.
void ReadPoint(TDomSimpleXMLElem* Point, const plat::TFormatSettings& Settings, double& X, double& Y) {
    const TDomSimpleXMLProp* x = nullptr;
    const TDomSimpleXMLProp* y = nullptr;
    xml::TDomSimpleXMLProps& props = Point->Properties();
    for (int i = 0; i < props.Count() && !(x && y); ++i) {
        const TDomSimpleXMLProp* prop = props.Item(i);
        const std::string_view name = prop->Name();
        if (name.size() != 1)
            continue;
        const char letter = static_cast<char>(name[0] | 0x20);
        if (letter == 'x' && !x)
            x = prop;
        else if (letter == 'y' && !y)
            y = prop;
    }
    X = FloatOf(x, 0, Settings);
    Y = FloatOf(y, 0, Settings);
}

bool Boolean(TDomSimpleXMLElem* Elem, std::string_view Name, bool Default) {
    const TDomSimpleXMLProp* prop = Attribute(Elem, Name);
    return prop ? prop->BoolValue() : Default;
}

// Relative values can be turned back into counts only through a real positive reference maximum; a
// document that claims relative values without one has them read as they stand, never scaled to 0.
bool UsableReference(double ReferenceMax) {
    return ReferenceMax > std::numeric_limits<double>::denorm_min() && std::isfinite(ReferenceMax);
}

// The list's children when its Count agrees with them (a list that is missing has none), else null.
xml::TDomSimpleXMLElems* CheckedList(TDomSimpleXMLElem* List) {
    if (!List)
        return nullptr;
    const int children = List->HasItems() ? List->Items().Count() : 0;
    if (Integer(List, "Count", -1) != children)
        return nullptr;
    return &List->Items();
}

int ChildCount(const xml::TDomSimpleXMLElems* List) {
    return List ? List->Count() : 0;
}

// Peak or valley indices of a frame of PointCount points; indices outside the frame are dropped, as
// a mark on a point that does not exist cannot be drawn or measured.
std::vector<int> ReadIndices(TDomSimpleXMLElem* List, size_t PointCount) {
    std::vector<int> indices;
    xml::TDomSimpleXMLElems* items = CheckedList(List);
    for (int i = 0; i < ChildCount(items); ++i) {
        const int64_t index = Integer(items->Item(i), "index", -1);
        if (index >= 0 && static_cast<uint64_t>(index) < PointCount)
            indices.push_back(static_cast<int>(index));
    }
    return indices;
}

// The frame's points when its list is readable and not empty, with its peaks and valleys; false
// leaves Frame as it was.
bool ReadFrame(TDomSimpleXMLElem* Source, int64_t RequiredPointCount, TChartDocumentFrame& Frame) {
    xml::TDomSimpleXMLElems* points = CheckedList(Child(Source, "Points"));
    const int count = ChildCount(points);
    if (count == 0 || (RequiredPointCount != 0 && count != RequiredPointCount))
        return false;
    TChartDocumentFrame frame;
    frame.Title = Text(Source, "Title");
    frame.Color = Integer32(Source, "Color", 0);
    frame.MaxYValue = Float(Source, "MaxYValue", 0);
    const plat::TFormatSettings& settings = plat::FormatSettings();
    frame.X.resize(count);
    frame.Y.resize(count);
    for (int i = 0; i < count; ++i)
        ReadPoint(points->Item(i), settings, frame.X[i], frame.Y[i]);
    frame.Maxima = ReadIndices(Child(Source, "Maxima"), frame.X.size());
    frame.Minima = ReadIndices(Child(Source, "Minima"), frame.X.size());
    Frame = std::move(frame);
    return true;
}

} // namespace

bool IsChartDocument(const std::string& FileName) {
    return TChartDocumentFile(FileName).Root() != nullptr;
}

bool ReadChartDocument(const std::string& FileName, TChartDocument& Document) {
    TChartDocumentFile file(FileName);
    TDomSimpleXMLElem* root = file.Root();
    if (!root)
        return false;
    TChartDocument doc;

    TDomSimpleXMLElem* xAxis = Child(root, "XAxis");
    doc.XAxis.Title = Text(xAxis, "Title");
    doc.XAxis.Format = Text(xAxis, "Format");
    doc.XMultiplier = Integer32(xAxis, "Xmultipler", doc.XMultiplier);
    doc.XInverted = Boolean(xAxis, "Inverted", doc.XInverted);

    TDomSimpleXMLElem* yAxis = Child(root, "YAxis");
    doc.YAxis.Title = Text(yAxis, "Title");
    doc.YAxis.Format = Text(yAxis, "Format");
    doc.ReferenceMax = Float(yAxis, "MaxValue", doc.ReferenceMax);
    doc.Relative = Boolean(yAxis, "Relative", doc.Relative) && UsableReference(doc.ReferenceMax);

    xml::TDomSimpleXMLElems* frames = CheckedList(Child(root, "Frames"));
    int64_t pointCount = 0;
    for (int i = 0; i < ChildCount(frames); ++i) {
        TChartDocumentFrame frame;
        if (!ReadFrame(frames->Item(i), pointCount, frame))
            continue;
        pointCount = static_cast<int64_t>(frame.X.size());
        doc.Frames.push_back(std::move(frame));
    }

    xml::TDomSimpleXMLElems* boxes = CheckedList(Child(root, "TextBoxes"));
    for (int i = 0; i < ChildCount(boxes); ++i) {
        TDomSimpleXMLElem* source = boxes->Item(i);
        TChartDocumentTextBox box;
        box.Left = Integer32(source, "left", 0);
        box.Top = Integer32(source, "top", 0);
        box.Text = Text(source, "text");
        // Lines are kept apart by CR alone; an LF that crept in would show as a second line break.
        std::erase(box.Text, '\n');
        doc.TextBoxes.push_back(std::move(box));
    }

    Document = std::move(doc);
    return true;
}

std::vector<TChartDocumentFrameEntry> ListChartDocumentFrames(const std::string& FileName) {
    std::vector<TChartDocumentFrameEntry> entries;
    TChartDocumentFile file(FileName);
    xml::TDomSimpleXMLElems* frames = CheckedList(Child(file.Root(), "Frames"));
    for (int i = 0; i < ChildCount(frames); ++i) {
        TDomSimpleXMLElem* frame = frames->Item(i);
        TDomSimpleXMLElem* points = Child(frame, "Points");
        TChartDocumentFrameEntry entry;
        entry.Title = Text(frame, "Title");
        entry.PointCount = Integer(points, "Count", -1);
        entry.Readable = entry.PointCount > 0 && CheckedList(points) != nullptr;
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool ReadChartDocumentFrame(const std::string& FileName, int Position, int64_t RequiredPointCount,
                            TChartDocumentFrame& Frame) {
    TChartDocumentFile file(FileName);
    TDomSimpleXMLElem* root = file.Root();
    xml::TDomSimpleXMLElems* frames = CheckedList(Child(root, "Frames"));
    if (Position < 0 || Position >= ChildCount(frames))
        return false;
    TChartDocumentFrame frame;
    if (!ReadFrame(frames->Item(Position), RequiredPointCount, frame))
        return false;
    TDomSimpleXMLElem* yAxis = Child(root, "YAxis");
    const double reference = Float(yAxis, "MaxValue", 0);
    if (Boolean(yAxis, "Relative", false) && UsableReference(reference)) {
        // Stored in percent of the document's reference maximum.
        const double scale = reference / 100;
        frame.MaxYValue *= scale;
        for (double& y : frame.Y)
            y *= scale;
    }
    Frame = std::move(frame);
    return true;
}
