// The chart document: the XML file in which a chart window keeps its axes, its relative-mode state, its
// frames with their points and peak lists, and its text boxes. The live window writes the same format.
// This unit is the one writer and the one reader of the format; the windows move their state in and out
// of a TChartDocument.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TChartDocumentAxis {
    std::string Title;
    std::string Format;
};

struct TChartDocumentFrame {
    std::string Title;
    int32_t Color = 0;
    double MaxYValue = 0;
    std::vector<double> X, Y;
    std::vector<int> Maxima, Minima;
};

struct TChartDocumentTextBox {
    int Left = 0;
    int Top = 0;
    std::string Text;
};

struct TChartDocument {
    TChartDocumentAxis XAxis;
    int XMultiplier = 0;
    bool XInverted = false;
    TChartDocumentAxis YAxis;
    double ReferenceMax = 0;
    bool Relative = false;
    std::vector<TChartDocumentFrame> Frames;
    std::vector<TChartDocumentTextBox> TextBoxes;
};

// The document's text as written to a file: declaration, CR LF line ends, values escaped.
std::string ChartDocumentText(const TChartDocument& Document);
// Writes the document; the file is replaced only once the new text is complete. File errors raise.
void WriteChartDocument(const TChartDocument& Document, const std::string& FileName);

// The three readers. Parser errors of an unreadable or malformed file raise. Lists are read only when
// their Count equals their number of children; an element or attribute a document lacks never leaves a
// frame half built: a frame without a readable point list is skipped whole, a missing text reads as
// empty and a missing number keeps the value the data starts with.

// Whether the file is a chart document at all (its root is "chart"), so that a caller can refuse a
// foreign XML file before it opens a window for it.
bool IsChartDocument(const std::string& FileName);

// The whole document. False, with Document left alone, when the root is not a chart document's. A
// window keeps one point count: frames whose count differs from the first frame read are skipped, and
// peak indices outside their frame are dropped. A document that claims relative values without a
// positive reference maximum is read as absolute.
bool ReadChartDocument(const std::string& FileName, TChartDocument& Document);

// One line of the import dialog's list: a frame's title and the point count its list claims.
struct TChartDocumentFrameEntry {
    std::string Title;
    int64_t PointCount = 0;
    // The count agrees with the points the list holds and is not 0.
    bool Readable = false;

    // Whether the frame can join a window whose frames hold RequiredPointCount points (0: any).
    bool Importable(int64_t RequiredPointCount) const {
        return Readable && (RequiredPointCount == 0 || PointCount == RequiredPointCount);
    }
};
std::vector<TChartDocumentFrameEntry> ListChartDocumentFrames(const std::string& FileName);

// The frame at Position (0-based), for import into a window whose frames hold RequiredPointCount points
// (0: any). Its Y values and MaxYValue are absolute: a frame of a relative document is scaled back by the
// document's reference maximum. False, with Frame left alone, when there is no such importable frame.
bool ReadChartDocumentFrame(const std::string& FileName, int Position, int64_t RequiredPointCount,
                            TChartDocumentFrame& Frame);
