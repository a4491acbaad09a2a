#include "analysis/ChartDocument.h"

#include <algorithm>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/NumberFormat.h"
#include "platform/rtl/Stream.h"
#include "xml/DomSimpleXml.h"

using xml::TDomSimpleXML;
using xml::TDomSimpleXMLElem;

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

std::string ChartDocumentText(const TChartDocument& Document) {
    TDomSimpleXML dom;
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

    plat::TStringStream stream;
    dom.SaveToStream(stream);
    return stream.DataString();
}

void WriteChartDocument(const TChartDocument& Document, const std::string& FileName) {
    // The old document stays whole until the new one is on disk: a failed save never costs the user
    // the file they had.
    plat::WriteFileAtomically(FileName, ChartDocumentText(Document));
}
