#include "chart/PlotProCo.h"

namespace chart {

std::string ChartTextToolCursor;
std::string ChartTextToolDragMarks;
std::string ChartTextToolAxisArrows;
std::string ChartTextToolDrawLine;
std::string ChartTextToolNearestPoint;
std::string ChartTextToolColorBand;
std::string ChartTextToolColorLine;
std::string ChartTextToolRotate;
std::string ChartTextToolImage;
std::string ChartTextToolMarkTips;
std::string ChartTextToolAnnotation;
std::string ChartTextToolSeriesAnimation;
std::string ChartTextToolGridBand;
std::string ChartTextToolAxisScroll;
std::string ChartTextToolRectangle;
std::string ChartTextToolClipSeries;
std::string ChartTextToolSelector;
std::string ChartTextPolar;
std::string ChartTextCandle;
std::string ChartTextVolume;
std::string ChartTextSurface;
std::string ChartTextContour;
std::string ChartTextBezier;
std::string ChartTextPoint3D;
std::string ChartTextRadar;
std::string ChartTextDonut;
std::string ChartTextCursor;
std::string ChartTextBar3D;
std::string ChartTextBigCandle;
std::string ChartTextLinePoint;
std::string ChartTextHistogram;
std::string ChartTextWaterFall;
std::string ChartTextWindRose;
std::string ChartTextClock;
std::string ChartTextColorGrid;
std::string ChartTextBoxPlot;
std::string ChartTextHorizontalBoxPlot;
std::string ChartTextBarJoin;
std::string ChartTextSmith;
std::string ChartTextPyramid;
std::string ChartTextMap;
std::string ChartTextVolumePipe;
std::string ChartTextPolynomialDegree;
std::string ChartTextAnswerVectorIndex;
std::string ChartTextFittingError;
std::string ChartTextPeriodNegative;
std::string ChartTextExpAverageWeight;
std::string ChartTextErrorBar;
std::string ChartTextError;
std::string ChartTextHighLow;
std::string ChartTextMomentum;
std::string ChartTextMomentumDivision;
std::string ChartTextExponentialAverage;
std::string ChartTextMovingAverage;
std::string ChartTextExpMovingAverage;
std::string ChartTextRSI;
std::string ChartTextCurveFitting;
std::string ChartTextTrend;
std::string ChartTextExponentialTrend;
std::string ChartTextLogarithmicTrend;
std::string ChartTextCumulative;
std::string ChartTextStandardDeviation;
std::string ChartTextBollingerBands;
std::string ChartTextRootMeanSquare;
std::string ChartTextMACD;
std::string ChartTextStochastic;
std::string ChartTextADX;
std::string ChartTextCount;
std::string ChartTextOpenChartMenu;
std::string ChartTextSaveChartMenu;
std::string ChartTextProFilesFilter;
std::string ChartTextOtherPro;
std::string ChartTextStats;
std::string ChartTextNoSeriesEditorForm;
std::string ChartTextDate;
std::string ChartTextOpen;
std::string ChartTextHigh;
std::string ChartTextLow;
std::string ChartTextClose;
std::string ChartTextOffset;
std::string ChartTextStdError;
std::string ChartTextGrid3D;
std::string ChartTextBezierPoints;
std::string ChartTextNormal;
std::string ChartTextEdit;
std::string ChartTextPrint;
std::string ChartTextCopyPro;
std::string ChartTextSave;
std::string ChartText3D;
std::string ChartTextRotationHint;
std::string ChartTextRotate;
std::string ChartTextOffsetHint;
std::string ChartTextMove;
std::string ChartTextZoomHint;
std::string ChartTextZoom;
std::string ChartText3DPercentHint;
std::string ChartTextDepth;
std::string ChartTextChart;
std::string ChartTextPanel;
std::string ChartTextDragToRotate;
std::string ChartTextDragToMove;
std::string ChartTextDragToZoom;
std::string ChartTextDragToResize3D;
std::string ChartTextDragZoomScroll;
std::string ChartTextDragPieSlice;
std::string ChartTextSliceExploded;
std::string ChartTextTooFewPoints;
std::string ChartTextColinearPoints;
std::string ChartTextSimilarPoints;
std::string ChartTextTriangleSurf;
std::string ChartTextAllSeries;
std::string ChartTextEditPro;
std::string ChartTextFinancial;
std::string ChartTextDeleteAncestor;
std::string ChartTextLoad;
std::string ChartTextChartPro;
std::string ChartTextChartSeries;
std::string ChartText3DPro;
std::string ChartTextSwitch2D3D;
std::string ChartTextActive;
std::string ChartTextShowHideSeries;
std::string ChartTextEditChartPro;
std::string ChartTextEditMenu;
std::string ChartTextCopyToClipboard;
std::string ChartTextCopyMenu;
std::string ChartTextPrintPreviewChart;
std::string ChartTextPrintPro;
std::string ChartTextShowHideAxes;
std::string ChartTextAxes;
std::string ChartTextShowHideGrids;
std::string ChartTextGrids;
std::string ChartTextShowHideLegend;
std::string ChartTextLegendPro;
std::string ChartTextEditSeries;
std::string ChartTextShowHideSeriesMarks;
std::string ChartTextMarks;
std::string ChartTextSaveChart;
std::string ChartTextSavePro;
std::string ChartTextBar;
std::string ChartTextNoOpen;
std::string ChartTextNoClose;
std::string ChartTextNoHigh;
std::string ChartTextNoLow;
std::string ChartTextColorRange;
std::string ChartTextWireframe;
std::string ChartTextDotFrame;
std::string ChartTextPositions;
std::string ChartTextNoGrid;
std::string ChartTextNoPoint;
std::string ChartTextNoLine;
std::string ChartTextLabels;
std::string ChartTextNoCircle;
std::string ChartTextLines;
std::string ChartTextBorder;
std::string ChartTextResistance;
std::string ChartTextReactance;
std::string ChartTextColumn;
std::string ChartTextSeparator;
std::string ChartTextSegment;
std::string ChartTextFunnel;
std::string ChartTextPercentZeroFormat;
std::string ChartTextExceedsQuota;
std::string ChartTextWithinQuota;
std::string ChartTextBelowQuota;
std::string ChartTextCalendar;
std::string ChartTextDeltaPoint;
std::string ChartTextImagePoint;
std::string ChartTextImageBar;
std::string ChartTextTextFieldIndex;
std::string ChartTextOrigin;
std::string ChartTextTransparency;
std::string ChartTextBox;
std::string ChartTextExtrOut;
std::string ChartTextMildOut;
std::string ChartTextPageNumber;
std::string ChartTextTextFile;
std::string ChartTextDragPoint;
std::string ChartTextOpportunityValues;
std::string ChartTextQuoteValues;
std::string ChartTextSmoothing;
std::string ChartTextCrossPoints;
std::string ChartText3DGridTranspose;
std::string ChartTextCompression;
std::string ChartTextExtraLegend;
std::string ChartTextCloseLocationValue;
std::string ChartTextOnBalanceVolume;
std::string ChartTextCommodityChannelIndex;
std::string ChartTextVolumeOscillator;
std::string ChartTextPointFigure;
std::string ChartTextUp;
std::string ChartTextDown;
std::string ChartTextGanttDrag;
std::string ChartTextXMLFile;
std::string ChartTextPerformance;
std::string ChartTextGauge;
std::string ChartTextGauges;
std::string ChartTextEndZ;
std::string ChartTextVector3D;
std::string ChartText3DGallery;
std::string ChartTextTower;
std::string ChartTextSingleColor;
std::string ChartTextCover;
std::string ChartTextCone;
std::string ChartTextPieSlices;
std::string ChartTextStop;
std::string ChartTextExecute;
std::string ChartTextThemes;
std::string ChartText2DLighting;
std::string ChartTextCurrent;
std::string ChartTextCorrelation;
std::string ChartTextVariance;
std::string ChartTextBubble3D;
std::string ChartTextHorizontalHistogram;
std::string ChartTextPerimeter;
std::string ChartTextSurfaceNearest;
std::string ChartTextPolarBar;
std::string ChartTextWapBitmap;
std::string ChartTextFilterWapBitmaps;
std::string ChartTextSeriesBand;
std::string ChartTextFacts;
std::string ChartTextDownsampling;
std::string ChartTextLegendScrollbar;
std::string ChartTextDataTable;

namespace {

const TChartMessage kProMessageTable[] = {
    {"ChartTextToolCursor", &ChartTextToolCursor, "Cursor"},
    {"ChartTextToolDragMarks", &ChartTextToolDragMarks, "Drag Marks"},
    {"ChartTextToolAxisArrows", &ChartTextToolAxisArrows, "Axis Arrows"},
    {"ChartTextToolDrawLine", &ChartTextToolDrawLine, "Draw Line"},
    {"ChartTextToolNearestPoint", &ChartTextToolNearestPoint, "Nearest Point"},
    {"ChartTextToolColorBand", &ChartTextToolColorBand, "Color Band"},
    {"ChartTextToolColorLine", &ChartTextToolColorLine, "Color Line"},
    {"ChartTextToolRotate", &ChartTextToolRotate, "Rotate"},
    {"ChartTextToolImage", &ChartTextToolImage, "Image"},
    {"ChartTextToolMarkTips", &ChartTextToolMarkTips, "Mark Tips"},
    {"ChartTextToolAnnotation", &ChartTextToolAnnotation, "Annotation"},
    {"ChartTextToolSeriesAnimation", &ChartTextToolSeriesAnimation, "Series Animation"},
    {"ChartTextToolGridBand", &ChartTextToolGridBand, "Grid Band"},
    {"ChartTextToolAxisScroll", &ChartTextToolAxisScroll, "Axis Scroll"},
    {"ChartTextToolRectangle", &ChartTextToolRectangle, "Rectangle"},
    {"ChartTextToolClipSeries", &ChartTextToolClipSeries, "Clip Series"},
    {"ChartTextToolSelector", &ChartTextToolSelector, "Selector"},
    {"ChartTextPolar", &ChartTextPolar, "Polar"},
    {"ChartTextCandle", &ChartTextCandle, "Candle"},
    {"ChartTextVolume", &ChartTextVolume, "Volume"},
    {"ChartTextSurface", &ChartTextSurface, "Surface"},
    {"ChartTextContour", &ChartTextContour, "Contour"},
    {"ChartTextBezier", &ChartTextBezier, "Bezier"},
    {"ChartTextPoint3D", &ChartTextPoint3D, "Point 3D"},
    {"ChartTextRadar", &ChartTextRadar, "Radar"},
    {"ChartTextDonut", &ChartTextDonut, "Donut"},
    {"ChartTextCursor", &ChartTextCursor, "Cursor"},
    {"ChartTextBar3D", &ChartTextBar3D, "Bar 3D"},
    {"ChartTextBigCandle", &ChartTextBigCandle, "Big Candle"},
    {"ChartTextLinePoint", &ChartTextLinePoint, "Line Point"},
    {"ChartTextHistogram", &ChartTextHistogram, "Histogram"},
    {"ChartTextWaterFall", &ChartTextWaterFall, "Water Fall"},
    {"ChartTextWindRose", &ChartTextWindRose, "Wind Rose"},
    {"ChartTextClock", &ChartTextClock, "Clock"},
    {"ChartTextColorGrid", &ChartTextColorGrid, "Color Grid"},
    {"ChartTextBoxPlot", &ChartTextBoxPlot, "Box Plot"},
    {"ChartTextHorizontalBoxPlot", &ChartTextHorizontalBoxPlot, "Horizontal\rBox Plot"},
    {"ChartTextBarJoin", &ChartTextBarJoin, "Bar Join"},
    {"ChartTextSmith", &ChartTextSmith, "Smith"},
    {"ChartTextPyramid", &ChartTextPyramid, "Pyramid"},
    {"ChartTextMap", &ChartTextMap, "Map"},
    {"ChartTextVolumePipe", &ChartTextVolumePipe, "Volume Pipe"},
    {"ChartTextPolynomialDegree", &ChartTextPolynomialDegree, "Polynomial degree must be between 1 and 20"},
    {"ChartTextAnswerVectorIndex", &ChartTextAnswerVectorIndex,
     "Answer vector index must be between 1 and %d"},
    {"ChartTextFittingError", &ChartTextFittingError, "Cannot fit the curve: %s"},
    {"ChartTextPeriodNegative", &ChartTextPeriodNegative, "Period must not be negative"},
    {"ChartTextExpAverageWeight", &ChartTextExpAverageWeight,
     "Exponential average weight must be between 0 and 1"},
    {"ChartTextErrorBar", &ChartTextErrorBar, "Error Bar"},
    {"ChartTextError", &ChartTextError, "Error"},
    {"ChartTextHighLow", &ChartTextHighLow, "High-Low"},
    {"ChartTextMomentum", &ChartTextMomentum, "Momentum"},
    {"ChartTextMomentumDivision", &ChartTextMomentumDivision, "Momentum Division"},
    {"ChartTextExponentialAverage", &ChartTextExponentialAverage, "Exp. Average"},
    {"ChartTextMovingAverage", &ChartTextMovingAverage, "Moving Average"},
    {"ChartTextExpMovingAverage", &ChartTextExpMovingAverage, "Exp. Moving Average"},
    {"ChartTextRSI", &ChartTextRSI, "R.S.I."},
    {"ChartTextCurveFitting", &ChartTextCurveFitting, "Curve Fitting"},
    {"ChartTextTrend", &ChartTextTrend, "Trend"},
    {"ChartTextExponentialTrend", &ChartTextExponentialTrend, "Exp. Trend"},
    {"ChartTextLogarithmicTrend", &ChartTextLogarithmicTrend, "Log. Trend"},
    {"ChartTextCumulative", &ChartTextCumulative, "Cumulative"},
    {"ChartTextStandardDeviation", &ChartTextStandardDeviation, "Std. Deviation"},
    {"ChartTextBollingerBands", &ChartTextBollingerBands, "Bollinger Bands"},
    {"ChartTextRootMeanSquare", &ChartTextRootMeanSquare, "Root Mean Square"},
    {"ChartTextMACD", &ChartTextMACD, "MACD"},
    {"ChartTextStochastic", &ChartTextStochastic, "Stochastic"},
    {"ChartTextADX", &ChartTextADX, "ADX"},
    {"ChartTextCount", &ChartTextCount, "Count"},
    {"ChartTextOpenChartMenu", &ChartTextOpenChartMenu, "&Open Chart..."},
    {"ChartTextSaveChartMenu", &ChartTextSaveChartMenu, "&Save Chart..."},
    {"ChartTextProFilesFilter", &ChartTextProFilesFilter, "Plotwise Pro files (*.plp)|*.plp"},
    {"ChartTextOtherPro", &ChartTextOtherPro, "Other"},
    {"ChartTextStats", &ChartTextStats, "Statistics"},
    {"ChartTextNoSeriesEditorForm", &ChartTextNoSeriesEditorForm, "There is no editor form for this series"},
    {"ChartTextDate", &ChartTextDate, "Date"},
    {"ChartTextOpen", &ChartTextOpen, "Open"},
    {"ChartTextHigh", &ChartTextHigh, "High"},
    {"ChartTextLow", &ChartTextLow, "Low"},
    {"ChartTextClose", &ChartTextClose, "Close"},
    {"ChartTextOffset", &ChartTextOffset, "Offset"},
    {"ChartTextStdError", &ChartTextStdError, "Std. Error"},
    {"ChartTextGrid3D", &ChartTextGrid3D, "Grid 3D"},
    {"ChartTextBezierPoints", &ChartTextBezierPoints, "Number of Bezier points must be between 2 and 1000"},
    {"ChartTextNormal", &ChartTextNormal, "Normal"},
    {"ChartTextEdit", &ChartTextEdit, "Edit"},
    {"ChartTextPrint", &ChartTextPrint, "Print"},
    {"ChartTextCopyPro", &ChartTextCopyPro, "Copy"},
    {"ChartTextSave", &ChartTextSave, "Save"},
    {"ChartText3D", &ChartText3D, "3D"},
    {"ChartTextRotationHint", &ChartTextRotationHint, "Rotation: %d"},
    {"ChartTextRotate", &ChartTextRotate, "Rotate"},
    {"ChartTextOffsetHint", &ChartTextOffsetHint, "Offset: %d, %d"},
    {"ChartTextMove", &ChartTextMove, "Move"},
    {"ChartTextZoomHint", &ChartTextZoomHint, "Zoom: %d %%"},
    {"ChartTextZoom", &ChartTextZoom, "Zoom"},
    {"ChartText3DPercentHint", &ChartText3DPercentHint, "Depth: %d %%"},
    {"ChartTextDepth", &ChartTextDepth, "Depth"},
    {"ChartTextChart", &ChartTextChart, "&Chart"},
    {"ChartTextPanel", &ChartTextPanel, "&Panel"},
    {"ChartTextDragToRotate", &ChartTextDragToRotate, "Drag %s to rotate"},
    {"ChartTextDragToMove", &ChartTextDragToMove, "Drag %s to move"},
    {"ChartTextDragToZoom", &ChartTextDragToZoom, "Drag %s to zoom"},
    {"ChartTextDragToResize3D", &ChartTextDragToResize3D, "Drag %s to change the 3D depth"},
    {"ChartTextDragZoomScroll", &ChartTextDragZoomScroll, "Drag %s to zoom, %s to scroll"},
    {"ChartTextDragPieSlice", &ChartTextDragPieSlice, "Drag a pie slice to move it out"},
    {"ChartTextSliceExploded", &ChartTextSliceExploded, "Slice %s moved out by %d %%"},
    {"ChartTextTooFewPoints", &ChartTextTooFewPoints, "At least three points are needed"},
    {"ChartTextColinearPoints", &ChartTextColinearPoints, "The points lie on one line"},
    {"ChartTextSimilarPoints", &ChartTextSimilarPoints, "Two points are the same"},
    {"ChartTextTriangleSurf", &ChartTextTriangleSurf, "Triangle Surface"},
    {"ChartTextAllSeries", &ChartTextAllSeries, "All series"},
    {"ChartTextEditPro", &ChartTextEditPro, "&Edit..."},
    {"ChartTextFinancial", &ChartTextFinancial, "Financial"},
    {"ChartTextDeleteAncestor", &ChartTextDeleteAncestor, "An inherited series cannot be deleted"},
    {"ChartTextLoad", &ChartTextLoad, "&Load..."},
    {"ChartTextChartPro", &ChartTextChartPro, "Chart"},
    {"ChartTextChartSeries", &ChartTextChartSeries, "Series"},
    {"ChartText3DPro", &ChartText3DPro, "&3D"},
    {"ChartTextSwitch2D3D", &ChartTextSwitch2D3D, "Switch 2D / 3D"},
    {"ChartTextActive", &ChartTextActive, "Active"},
    {"ChartTextShowHideSeries", &ChartTextShowHideSeries, "Show or hide series"},
    {"ChartTextEditChartPro", &ChartTextEditChartPro, "Edit the chart"},
    {"ChartTextEditMenu", &ChartTextEditMenu, "&Edit"},
    {"ChartTextCopyToClipboard", &ChartTextCopyToClipboard, "Copy to the clipboard"},
    {"ChartTextCopyMenu", &ChartTextCopyMenu, "&Copy"},
    {"ChartTextPrintPreviewChart", &ChartTextPrintPreviewChart, "Print preview of the chart"},
    {"ChartTextPrintPro", &ChartTextPrintPro, "&Print..."},
    {"ChartTextShowHideAxes", &ChartTextShowHideAxes, "Show or hide the axes"},
    {"ChartTextAxes", &ChartTextAxes, "&Axes"},
    {"ChartTextShowHideGrids", &ChartTextShowHideGrids, "Show or hide the grids"},
    {"ChartTextGrids", &ChartTextGrids, "&Grids"},
    {"ChartTextShowHideLegend", &ChartTextShowHideLegend, "Show or hide the legend"},
    {"ChartTextLegendPro", &ChartTextLegendPro, "&Legend"},
    {"ChartTextEditSeries", &ChartTextEditSeries, "Edit the series"},
    {"ChartTextShowHideSeriesMarks", &ChartTextShowHideSeriesMarks, "Show or hide the series marks"},
    {"ChartTextMarks", &ChartTextMarks, "&Marks"},
    {"ChartTextSaveChart", &ChartTextSaveChart, "Save the chart"},
    {"ChartTextSavePro", &ChartTextSavePro, "&Save..."},
    {"ChartTextBar", &ChartTextBar, "Bar"},
    {"ChartTextNoOpen", &ChartTextNoOpen, "No Open values"},
    {"ChartTextNoClose", &ChartTextNoClose, "No Close values"},
    {"ChartTextNoHigh", &ChartTextNoHigh, "No High values"},
    {"ChartTextNoLow", &ChartTextNoLow, "No Low values"},
    {"ChartTextColorRange", &ChartTextColorRange, "Color Range"},
    {"ChartTextWireframe", &ChartTextWireframe, "Wireframe"},
    {"ChartTextDotFrame", &ChartTextDotFrame, "Dot Frame"},
    {"ChartTextPositions", &ChartTextPositions, "Positions"},
    {"ChartTextNoGrid", &ChartTextNoGrid, "No Grid"},
    {"ChartTextNoPoint", &ChartTextNoPoint, "No Point"},
    {"ChartTextNoLine", &ChartTextNoLine, "No Line"},
    {"ChartTextLabels", &ChartTextLabels, "Labels"},
    {"ChartTextNoCircle", &ChartTextNoCircle, "No Circle"},
    {"ChartTextLines", &ChartTextLines, "Lines"},
    {"ChartTextBorder", &ChartTextBorder, "Border"},
    {"ChartTextResistance", &ChartTextResistance, "Resistance"},
    {"ChartTextReactance", &ChartTextReactance, "Reactance"},
    {"ChartTextColumn", &ChartTextColumn, "Column"},
    {"ChartTextSeparator", &ChartTextSeparator, "Separator"},
    {"ChartTextSegment", &ChartTextSegment, "Segment"},
    {"ChartTextFunnel", &ChartTextFunnel, "Funnel"},
    {"ChartTextPercentZeroFormat", &ChartTextPercentZeroFormat, "##0 %"},
    {"ChartTextExceedsQuota", &ChartTextExceedsQuota, "Exceeds quota"},
    {"ChartTextWithinQuota", &ChartTextWithinQuota, "Within quota"},
    {"ChartTextBelowQuota", &ChartTextBelowQuota, "Below quota"},
    {"ChartTextCalendar", &ChartTextCalendar, "Calendar"},
    {"ChartTextDeltaPoint", &ChartTextDeltaPoint, "Delta Point"},
    {"ChartTextImagePoint", &ChartTextImagePoint, "Image Point"},
    {"ChartTextImageBar", &ChartTextImageBar, "Image Bar"},
    {"ChartTextTextFieldIndex", &ChartTextTextFieldIndex, "Text field index"},
    {"ChartTextOrigin", &ChartTextOrigin, "Origin"},
    {"ChartTextTransparency", &ChartTextTransparency, "Transparency"},
    {"ChartTextBox", &ChartTextBox, "Box"},
    {"ChartTextExtrOut", &ChartTextExtrOut, "Extreme Out"},
    {"ChartTextMildOut", &ChartTextMildOut, "Mild Out"},
    {"ChartTextPageNumber", &ChartTextPageNumber, "Page Number"},
    {"ChartTextTextFile", &ChartTextTextFile, "Text File"},
    {"ChartTextDragPoint", &ChartTextDragPoint, "Drag Point"},
    {"ChartTextOpportunityValues", &ChartTextOpportunityValues, "Opportunity Values"},
    {"ChartTextQuoteValues", &ChartTextQuoteValues, "Quote Values"},
    {"ChartTextSmoothing", &ChartTextSmoothing, "Smoothing"},
    {"ChartTextCrossPoints", &ChartTextCrossPoints, "Cross Points"},
    {"ChartText3DGridTranspose", &ChartText3DGridTranspose, "3D Grid Transpose"},
    {"ChartTextCompression", &ChartTextCompression, "Compression"},
    {"ChartTextExtraLegend", &ChartTextExtraLegend, "Extra Legend"},
    {"ChartTextCloseLocationValue", &ChartTextCloseLocationValue, "Close Location Value"},
    {"ChartTextOnBalanceVolume", &ChartTextOnBalanceVolume, "On Balance Volume"},
    {"ChartTextCommodityChannelIndex", &ChartTextCommodityChannelIndex, "Commodity Channel Index"},
    {"ChartTextVolumeOscillator", &ChartTextVolumeOscillator, "Volume Oscillator"},
    {"ChartTextPointFigure", &ChartTextPointFigure, "Point and Figure"},
    {"ChartTextUp", &ChartTextUp, "Up"},
    {"ChartTextDown", &ChartTextDown, "Down"},
    {"ChartTextGanttDrag", &ChartTextGanttDrag, "Gantt Drag"},
    {"ChartTextXMLFile", &ChartTextXMLFile, "XML File"},
    {"ChartTextPerformance", &ChartTextPerformance, "Performance"},
    {"ChartTextGauge", &ChartTextGauge, "Gauge"},
    {"ChartTextGauges", &ChartTextGauges, "Gauges"},
    {"ChartTextEndZ", &ChartTextEndZ, "End Z"},
    {"ChartTextVector3D", &ChartTextVector3D, "Vector 3D"},
    {"ChartText3DGallery", &ChartText3DGallery, "3D"},
    {"ChartTextTower", &ChartTextTower, "Tower"},
    {"ChartTextSingleColor", &ChartTextSingleColor, "Single Color"},
    {"ChartTextCover", &ChartTextCover, "Cover"},
    {"ChartTextCone", &ChartTextCone, "Cone"},
    {"ChartTextPieSlices", &ChartTextPieSlices, "Pie Slices"},
    {"ChartTextStop", &ChartTextStop, "Stop"},
    {"ChartTextExecute", &ChartTextExecute, "Execute"},
    {"ChartTextThemes", &ChartTextThemes, "Themes"},
    {"ChartText2DLighting", &ChartText2DLighting, "2D Lighting"},
    {"ChartTextCurrent", &ChartTextCurrent, "Current"},
    {"ChartTextCorrelation", &ChartTextCorrelation, "Correlation"},
    {"ChartTextVariance", &ChartTextVariance, "Variance"},
    {"ChartTextBubble3D", &ChartTextBubble3D, "Bubble 3D"},
    {"ChartTextHorizontalHistogram", &ChartTextHorizontalHistogram, "Horizontal\rHistogram"},
    {"ChartTextPerimeter", &ChartTextPerimeter, "Perimeter"},
    {"ChartTextSurfaceNearest", &ChartTextSurfaceNearest, "Surface Nearest"},
    {"ChartTextPolarBar", &ChartTextPolarBar, "Polar Bar"},
    {"ChartTextWapBitmap", &ChartTextWapBitmap, "WAP Bitmap"},
    {"ChartTextFilterWapBitmaps", &ChartTextFilterWapBitmaps, "WAP bitmaps (*.wbmp)|*.wbmp"},
    {"ChartTextSeriesBand", &ChartTextSeriesBand, "Series Band"},
    {"ChartTextFacts", &ChartTextFacts, "Facts"},
    {"ChartTextDownsampling", &ChartTextDownsampling, "Downsampling"},
    {"ChartTextLegendScrollbar", &ChartTextLegendScrollbar, "Legend Scroll Bar"},
    {"ChartTextDataTable", &ChartTextDataTable, "Data Table"},
};

struct TProMessageTableUnit {
    TProMessageTableUnit() {
        for (const TChartMessage& m : kProMessageTable)
            *m.Variable = m.Text;
    }
    ~TProMessageTableUnit() {
        for (const TChartMessage& m : kProMessageTable)
            m.Variable->clear();
    }
};

const TProMessageTableUnit ProMessageTableUnit;

} // namespace

std::span<const TChartMessage> ChartProMessageTable() {
    return kProMessageTable;
}

} // namespace chart
