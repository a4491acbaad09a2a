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
