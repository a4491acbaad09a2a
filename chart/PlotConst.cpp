#include "chart/PlotConst.h"

namespace chart {

std::string ChartFileExtension = "plv";

std::string ChartFileFilter() {
    return "(*." + ChartFileExtension + ")|*." + ChartFileExtension;
}

std::string ChartTextAboutLine;
std::string ChartTextInvalidChartFile;
std::string ChartTextWrongChartFile;
std::string ChartTextEmptyChartFile;
std::string ChartTextChartFilesFilter;
std::string ChartTextLegendFirstValue;
std::string ChartTextNoParentChart;
std::string ChartTextNoValidDataSource;
std::string ChartTextSampleValuesCount;
std::string ChartTextDateTimeNotLogarithmic;
std::string ChartTextLogarithmicMinMax;
std::string ChartTextLabelsSeparation;
std::string ChartTextAxisIncrement;
std::string ChartTextAxisMinimum;
std::string ChartTextAxisMaximum;
std::string ChartTextLogarithmicBase;
std::string ChartTextMaxPointsPerPage;
std::string ChartTextChart3DPercent;
std::string ChartTextCircularDependence;
std::string ChartTextSeriesDelete;
std::string ChartTextPointerSize;
std::string ChartTextFunctionPeriod;
std::string ChartTextValueFormat;
std::string ChartTextPercentFormat;
std::string ChartTextPercentOf;
std::string ChartTextPercentOfTwoLines;
std::string ChartTextDefaultFontName;
std::string ChartTextDefaultFontSize;
std::string ChartTextTopAxis;
std::string ChartTextBottomAxis;
std::string ChartTextLeftAxis;
std::string ChartTextRightAxis;
std::string ChartTextDepthRight;
std::string ChartTextDepthTop;
std::string ChartTextSeries;
std::string ChartTextValuesX;
std::string ChartTextValuesY;
std::string ChartTextValuesPie;
std::string ChartTextValuesBar;
std::string ChartTextValuesAngle;
std::string ChartTextValuesStart;
std::string ChartTextValuesEnd;
std::string ChartTextValuesNextTask;
std::string ChartTextValuesRadius;
std::string ChartTextValuesEndX;
std::string ChartTextValuesEndY;
std::string ChartTextIndex;
std::string ChartTextText;
std::string ChartTextColors;
std::string ChartTextOther;
std::string ChartTextGalleryLine;
std::string ChartTextPoint;
std::string ChartTextGalleryArea;
std::string ChartTextGalleryBar;
std::string ChartTextGalleryHorizontalBar;
std::string ChartTextGalleryPie;
std::string ChartTextGalleryFastLine;
std::string ChartTextGalleryHorizontalLine;
std::string ChartTextStandard;
std::string ChartTextExtended;
std::string ChartTextArrow;
std::string ChartTextGantt;
std::string ChartTextShape;
std::string ChartTextBubble;
std::string ChartTextGalleryHorizontalArea;
std::string ChartTextSubGalleryStack;
std::string ChartTextSubGalleryNormal;
std::string ChartTextSubGalleryNoBorder;
std::string ChartTextSubGalleryDotted;
std::string ChartTextSubGalleryMarks;
std::string ChartTextSubGalleryStairs;
std::string ChartTextSubGalleryPoints;
std::string ChartTextSubGalleryHeight;
std::string ChartTextSubGalleryHollow;
std::string ChartTextSubGalleryPoint2D;
std::string ChartTextSubGalleryTriangle;
std::string ChartTextSubGalleryStar;
std::string ChartTextSubGalleryCircle;
std::string ChartTextSubGalleryDownTri;
std::string ChartTextSubGalleryCross;
std::string ChartTextSubGalleryDiamond;
std::string ChartTextSubGalleryNoLines;
std::string ChartTextSubGalleryStack100;
std::string ChartTextSubGalleryPyramid;
std::string ChartTextSubGalleryEllipse;
std::string ChartTextSubGalleryInvPyramid;
std::string ChartTextSubGallerySides;
std::string ChartTextSubGallerySideAll;
std::string ChartTextSubGalleryPatterns;
std::string ChartTextSubGalleryExploded;
std::string ChartTextSubGalleryShadow;
std::string ChartTextSubGallerySemiPie;
std::string ChartTextSubGalleryRectangle;
std::string ChartTextSubGalleryVertLine;
std::string ChartTextSubGalleryHorizLine;
std::string ChartTextSubGalleryLine;
std::string ChartTextSubGalleryCube;
std::string ChartTextSubGalleryDiagCross;
std::string ChartTextSubGalleryGradient;
std::string ChartTextSubGallerySelfStacked;
std::string ChartTextSubGalleryDarkBorder;
std::string ChartTextSubGalleryOutline;
std::string ChartTextFunctionAdd;
std::string ChartTextFunctionSubtract;
std::string ChartTextFunctionMultiply;
std::string ChartTextFunctionDivide;
std::string ChartTextFunctionHigh;
std::string ChartTextFunctionLow;
std::string ChartTextFunctionAverage;
std::string ChartTextFunctionCustom;
std::string ChartTextFunctionMedian;
std::string ChartTextFunctionMode;
std::string ChartTextPieSampleCars;
std::string ChartTextPieSamplePhones;
std::string ChartTextPieSampleTables;
std::string ChartTextPieSampleMonitors;
std::string ChartTextPieSampleLamps;
std::string ChartTextPieSampleKeyboards;
std::string ChartTextPieSampleBikes;
std::string ChartTextPieSampleChairs;
std::string ChartTextGanttSampleDesign;
std::string ChartTextGanttSamplePrototyping;
std::string ChartTextGanttSampleDevelopment;
std::string ChartTextGanttSampleSales;
std::string ChartTextGanttSampleMarketing;
std::string ChartTextGanttSampleTesting;
std::string ChartTextGanttSampleManufac;
std::string ChartTextGanttSampleDebugging;
std::string ChartTextGanttSampleNewVersion;
std::string ChartTextGanttSampleBanking;
std::string ChartTextShapeSampleText;
std::string ChartTextShapeSampleNumber;
std::string ChartTextCircled;
std::string ChartTextEditingTitle;
std::string ChartTextFunctions;
std::string ChartTextChangeSeriesTitle;
std::string ChartTextNewSeriesTitle;
std::string ChartTextDeleteConfirm;
std::string ChartTextDateTimeFormat;
std::string ChartTextValuesFormat;
std::string ChartTextMaximum;
std::string ChartTextMinimum;
std::string ChartTextDesiredIncrement;
std::string ChartTextIncorrectValue;
std::string ChartTextEnterDaysTime;
std::string ChartTextApplyChanges;
std::string ChartTextSelectedSeries;
std::string ChartTextEditorWidth;
std::string ChartTextEditorHeight;
std::string ChartTextCopy;
std::string ChartTextClear;
std::string ChartTextBrowse;
std::string ChartTextTitle;
std::string ChartTextFooter;
std::string ChartTextPeriodRange;
std::string ChartTextSmallDots;
std::string ChartTextCustom;
std::string ChartTextPageOf;
std::string ChartTextBytes;
std::string ChartTextNavigatorFirst;
std::string ChartTextNavigatorPrior;
std::string ChartTextNavigatorNext;
std::string ChartTextNavigatorLast;
std::string ChartTextNavigatorInsert;
std::string ChartTextNavigatorDelete;
std::string ChartTextNavigatorEdit;
std::string ChartTextNavigatorPost;
std::string ChartTextNavigatorCancel;
std::string ChartTextAll;
std::string ChartTextExportAsBitmap;
std::string ChartTextFilterBitmaps;
std::string ChartTextExportAsMetafile;
std::string ChartTextFilterEnhancedMetafiles;
std::string ChartTextExportNoPanel;
std::string ChartTextNoTempFolder;
std::string ChartTextMailError;
std::string ChartTextAddNewGroup;
std::string ChartTextChangeGroupName;
std::string ChartTextGroupName;
std::string ChartText2D;
std::string ChartTextFilterSpaceDelimitedTextFiles;
std::string ChartTextFilterTabDelimitedTextFiles;
std::string ChartTextFilterCommaDelimitedTextFiles;
std::string ChartTextFilterColonDelimitedTextFiles;
std::string ChartTextFilterCustomDelimitedTextFiles;
std::string ChartTextFilterXMLFiles;
std::string ChartTextFilterHTMLFiles;
std::string ChartTextFilterMicrosoftExcelFiles;
std::string ChartTextOrthoRight;
std::string ChartTextOrthoLeft;
std::string ChartText3DFront;
std::string ChartText3DRight;
std::string ChartText3DLeft;
std::string ChartTextSubTitle;
std::string ChartTextSubFoot;
std::string ChartTextTest;
std::string ChartTextLegendColorWidth;
std::string ChartTextColorDepth;
std::string ChartTextExponentFormat;
std::string ChartTextAxisTitle;
std::string ChartTextAxisLabels;
std::string ChartTextRefreshInterval;
std::string ChartTextParentChartNotSelf;
std::string ChartTextFontCourierNew;
std::string ChartTextEditChart;
std::string ChartTextPrintPreview;
std::string ChartTextExportChart;
std::string ChartTextCustomAxes;
std::string ChartTextInvalidEditorClass;
std::string ChartTextNoEditorDialog;
std::string ChartTextFinish;
std::string ChartTextNext;
std::string ChartTextDateTime;
std::string ChartTextDefault;
std::string ChartTextRefreshData;
std::string ChartTextNone;
std::string ChartTextPrivateDeclarations;
std::string ChartTextPublicDeclarations;
std::string ChartTextAboutMenu;
std::string ChartTextAdditional;
std::string ChartTextDataControls;
std::string ChartTextQReport;
std::string ChartTextDataset;
std::string ChartTextDatasetLabel;
std::string ChartTextSingleRecord;
std::string ChartTextDataSource;
std::string ChartTextSummary;
std::string ChartTextBusiness;
std::string ChartTextWizard;
std::string ChartTextCloseWizard;
std::string ChartTextFieldNotExist;
std::string ChartTextLegend;
std::string ChartTextPeriod;
std::string ChartTextCalculateEvery;
std::string ChartTextChartAxes;
std::string ChartTextChartAxesDescription;
std::string ChartTextChartWalls;
std::string ChartTextChartWallsDescription;
std::string ChartTextChartTitles;
std::string ChartTextChartTitlesDescription;
std::string ChartTextChart3D;
std::string ChartTextChart3DDescription;
std::string ChartTextSeriesMenu;
std::string ChartTextFilled;
std::string ChartTextNoTempFile;
std::string ChartTextNoSeriesSelected;
std::string ChartTextChartDownloadError;
std::string ChartTextSeriesDownloadError;
std::string ChartTextExportAsJPEG;
std::string ChartTextFilterJPEGFiles;
std::string ChartTextExportAsGIF;
std::string ChartTextFilterGIFFiles;
std::string ChartTextExportAsPNG;
std::string ChartTextFilterPNGFiles;
std::string ChartTextExportAsPCX;
std::string ChartTextFilterPCXFiles;
std::string ChartTextExportAsVMLHTM;
std::string ChartTextFilterVMLFiles;
std::string ChartTextLanguage;
std::string ChartTextSaveConfirm;
std::string ChartTextProperty;
std::string ChartTextValue;
std::string ChartTextYes;
std::string ChartTextNo;
std::string ChartTextImage;
std::string ChartTextExportAsPDF;
std::string ChartTextFilterPDFFiles;
std::string ChartTextExportAsPostScript;
std::string ChartTextFilterPostScriptFiles;
std::string ChartTextSelectDatabaseFolder;
std::string ChartTextAlias;
std::string ChartTextConnection;
std::string ChartTextApply;
std::string ChartTextOptions;
std::string ChartTextExportAsSVG;
std::string ChartTextFilterSVGFiles;

namespace {

const TChartMessage kMessageTable[] = {
    {"ChartTextAboutLine", &ChartTextAboutLine, "Plotwise chart engine of Lumetra"},
    {"ChartTextInvalidChartFile", &ChartTextInvalidChartFile, nullptr},
    {"ChartTextWrongChartFile", &ChartTextWrongChartFile, nullptr},
    {"ChartTextEmptyChartFile", &ChartTextEmptyChartFile, nullptr},
    {"ChartTextChartFilesFilter", &ChartTextChartFilesFilter, nullptr},
    {"ChartTextLegendFirstValue", &ChartTextLegendFirstValue, "First Legend Value must be > 0"},
    {"ChartTextNoParentChart", &ChartTextNoParentChart, "No ParentChart to validate DataSource"},
    {"ChartTextNoValidDataSource", &ChartTextNoValidDataSource, "No valid DataSource: %s"},
    {"ChartTextSampleValuesCount", &ChartTextSampleValuesCount, "FillSampleValues NumValues must be > 0"},
    {"ChartTextDateTimeNotLogarithmic", &ChartTextDateTimeNotLogarithmic,
     "DateTime Axis cannot be Logarithmic"},
    {"ChartTextLogarithmicMinMax", &ChartTextLogarithmicMinMax,
     "Logarithmic Axis Min and Max values should be >= 0"},
    {"ChartTextLabelsSeparation", &ChartTextLabelsSeparation, "Labels Separation % must be greater than 0"},
    {"ChartTextAxisIncrement", &ChartTextAxisIncrement, "Axis increment must be >= 0"},
    {"ChartTextAxisMinimum", &ChartTextAxisMinimum, "Axis Minimum Value must be <= Maximum"},
    {"ChartTextAxisMaximum", &ChartTextAxisMaximum, "Axis Maximum Value must be >= Minimum"},
    {"ChartTextLogarithmicBase", &ChartTextLogarithmicBase, "Axis Logarithmic Base should be <> 1 and > 0"},
    {"ChartTextMaxPointsPerPage", &ChartTextMaxPointsPerPage, "MaxPointsPerPage must be >= 0"},
    {"ChartTextChart3DPercent", &ChartTextChart3DPercent, "3D effect percent must be between %d and %d"},
    {"ChartTextCircularDependence", &ChartTextCircularDependence,
     "Circular Series dependences are not allowed"},
    {"ChartTextSeriesDelete", &ChartTextSeriesDelete,
     "Series Delete: ValueIndex %d out of bounds (0 to %d)."},
    {"ChartTextPointerSize", &ChartTextPointerSize, "Pointer size must be greater than zero"},
    {"ChartTextFunctionPeriod", &ChartTextFunctionPeriod, "Function Period should be >= 0"},
    {"ChartTextValueFormat", &ChartTextValueFormat, "#,##0.###"},
    {"ChartTextPercentFormat", &ChartTextPercentFormat, "##0.## %"},
    {"ChartTextPercentOf", &ChartTextPercentOf, "%s of %s"},
    {"ChartTextPercentOfTwoLines", &ChartTextPercentOfTwoLines, "%s\rof %s"},
    {"ChartTextDefaultFontName", &ChartTextDefaultFontName, "Arial"},
    {"ChartTextDefaultFontSize", &ChartTextDefaultFontSize, "8"},
    {"ChartTextTopAxis", &ChartTextTopAxis, "Top Axis"},
    {"ChartTextBottomAxis", &ChartTextBottomAxis, "Bottom Axis"},
    {"ChartTextLeftAxis", &ChartTextLeftAxis, "Left Axis"},
    {"ChartTextRightAxis", &ChartTextRightAxis, "Right Axis"},
    {"ChartTextDepthRight", &ChartTextDepthRight, "Depth Right"},
    {"ChartTextDepthTop", &ChartTextDepthTop, "Depth Top"},
    {"ChartTextSeries", &ChartTextSeries, "Series"},
    {"ChartTextValuesX", &ChartTextValuesX, "X"},
    {"ChartTextValuesY", &ChartTextValuesY, "Y"},
    {"ChartTextValuesPie", &ChartTextValuesPie, "Pie"},
    {"ChartTextValuesBar", &ChartTextValuesBar, "Bar"},
    {"ChartTextValuesAngle", &ChartTextValuesAngle, "Angle"},
    {"ChartTextValuesStart", &ChartTextValuesStart, "Start"},
    {"ChartTextValuesEnd", &ChartTextValuesEnd, "End"},
    {"ChartTextValuesNextTask", &ChartTextValuesNextTask, "NextTask"},
    {"ChartTextValuesRadius", &ChartTextValuesRadius, "Radius"},
    {"ChartTextValuesEndX", &ChartTextValuesEndX, "EndX"},
    {"ChartTextValuesEndY", &ChartTextValuesEndY, "EndY"},
    {"ChartTextIndex", &ChartTextIndex, "Index"},
    {"ChartTextText", &ChartTextText, "Text"},
    {"ChartTextColors", &ChartTextColors, "Colors"},
    {"ChartTextOther", &ChartTextOther, "Other"},
    {"ChartTextGalleryLine", &ChartTextGalleryLine, "Line"},
    {"ChartTextPoint", &ChartTextPoint, "Point"},
    {"ChartTextGalleryArea", &ChartTextGalleryArea, "Area"},
    {"ChartTextGalleryBar", &ChartTextGalleryBar, "Bar"},
    {"ChartTextGalleryHorizontalBar", &ChartTextGalleryHorizontalBar, "Horizontal\rBar"},
    {"ChartTextGalleryPie", &ChartTextGalleryPie, "Pie"},
    {"ChartTextGalleryFastLine", &ChartTextGalleryFastLine, "Fast Line"},
    {"ChartTextGalleryHorizontalLine", &ChartTextGalleryHorizontalLine, "Horizontal\rLine"},
    {"ChartTextStandard", &ChartTextStandard, "Standard"},
    {"ChartTextExtended", &ChartTextExtended, "Extended"},
    {"ChartTextArrow", &ChartTextArrow, "Arrow"},
    {"ChartTextGantt", &ChartTextGantt, "Gantt"},
    {"ChartTextShape", &ChartTextShape, "Shape"},
    {"ChartTextBubble", &ChartTextBubble, "Bubble"},
    {"ChartTextGalleryHorizontalArea", &ChartTextGalleryHorizontalArea, "Horizontal\rArea"},
    {"ChartTextSubGalleryStack", &ChartTextSubGalleryStack, "Stack"},
    {"ChartTextSubGalleryNormal", &ChartTextSubGalleryNormal, "Normal"},
    {"ChartTextSubGalleryNoBorder", &ChartTextSubGalleryNoBorder, "No Border"},
    {"ChartTextSubGalleryDotted", &ChartTextSubGalleryDotted, "Dotted"},
    {"ChartTextSubGalleryMarks", &ChartTextSubGalleryMarks, "Marks"},
    {"ChartTextSubGalleryStairs", &ChartTextSubGalleryStairs, "Stairs"},
    {"ChartTextSubGalleryPoints", &ChartTextSubGalleryPoints, "Points"},
    {"ChartTextSubGalleryHeight", &ChartTextSubGalleryHeight, "Height"},
    {"ChartTextSubGalleryHollow", &ChartTextSubGalleryHollow, "Hollow"},
    {"ChartTextSubGalleryPoint2D", &ChartTextSubGalleryPoint2D, "Point 2D"},
    {"ChartTextSubGalleryTriangle", &ChartTextSubGalleryTriangle, "Triangle"},
    {"ChartTextSubGalleryStar", &ChartTextSubGalleryStar, "Star"},
    {"ChartTextSubGalleryCircle", &ChartTextSubGalleryCircle, "Circle"},
    {"ChartTextSubGalleryDownTri", &ChartTextSubGalleryDownTri, "Down Tri."},
    {"ChartTextSubGalleryCross", &ChartTextSubGalleryCross, "Cross"},
    {"ChartTextSubGalleryDiamond", &ChartTextSubGalleryDiamond, "Diamond"},
    {"ChartTextSubGalleryNoLines", &ChartTextSubGalleryNoLines, "No Lines"},
    {"ChartTextSubGalleryStack100", &ChartTextSubGalleryStack100, "Stack 100%"},
    {"ChartTextSubGalleryPyramid", &ChartTextSubGalleryPyramid, "Pyramid"},
    {"ChartTextSubGalleryEllipse", &ChartTextSubGalleryEllipse, "Ellipse"},
    {"ChartTextSubGalleryInvPyramid", &ChartTextSubGalleryInvPyramid, "Inv. Pyramid"},
    {"ChartTextSubGallerySides", &ChartTextSubGallerySides, "Sides"},
    {"ChartTextSubGallerySideAll", &ChartTextSubGallerySideAll, "Side All"},
    {"ChartTextSubGalleryPatterns", &ChartTextSubGalleryPatterns, "Patterns"},
    {"ChartTextSubGalleryExploded", &ChartTextSubGalleryExploded, "Exploded"},
    {"ChartTextSubGalleryShadow", &ChartTextSubGalleryShadow, "Shadow"},
    {"ChartTextSubGallerySemiPie", &ChartTextSubGallerySemiPie, "Semi Pie"},
    {"ChartTextSubGalleryRectangle", &ChartTextSubGalleryRectangle, "Rectangle"},
    {"ChartTextSubGalleryVertLine", &ChartTextSubGalleryVertLine, "Vert.Line"},
    {"ChartTextSubGalleryHorizLine", &ChartTextSubGalleryHorizLine, "Horiz.Line"},
    {"ChartTextSubGalleryLine", &ChartTextSubGalleryLine, "Line"},
    {"ChartTextSubGalleryCube", &ChartTextSubGalleryCube, "Cube"},
    {"ChartTextSubGalleryDiagCross", &ChartTextSubGalleryDiagCross, "Diag.Cross"},
    {"ChartTextSubGalleryGradient", &ChartTextSubGalleryGradient, "Gradient"},
    {"ChartTextSubGallerySelfStacked", &ChartTextSubGallerySelfStacked, "Self Stacked"},
    {"ChartTextSubGalleryDarkBorder", &ChartTextSubGalleryDarkBorder, "Dark Border"},
    {"ChartTextSubGalleryOutline", &ChartTextSubGalleryOutline, "Outline"},
    {"ChartTextFunctionAdd", &ChartTextFunctionAdd, "Add"},
    {"ChartTextFunctionSubtract", &ChartTextFunctionSubtract, "Subtract"},
    {"ChartTextFunctionMultiply", &ChartTextFunctionMultiply, "Multiply"},
    {"ChartTextFunctionDivide", &ChartTextFunctionDivide, "Divide"},
    {"ChartTextFunctionHigh", &ChartTextFunctionHigh, "High"},
    {"ChartTextFunctionLow", &ChartTextFunctionLow, "Low"},
    {"ChartTextFunctionAverage", &ChartTextFunctionAverage, "Average"},
    {"ChartTextFunctionCustom", &ChartTextFunctionCustom, "y = f(x)"},
    {"ChartTextFunctionMedian", &ChartTextFunctionMedian, "Median"},
    {"ChartTextFunctionMode", &ChartTextFunctionMode, "Mode"},
    {"ChartTextPieSampleCars", &ChartTextPieSampleCars, "Cars"},
    {"ChartTextPieSamplePhones", &ChartTextPieSamplePhones, "Phones"},
    {"ChartTextPieSampleTables", &ChartTextPieSampleTables, "Tables"},
    {"ChartTextPieSampleMonitors", &ChartTextPieSampleMonitors, "Monitors"},
    {"ChartTextPieSampleLamps", &ChartTextPieSampleLamps, "Lamps"},
    {"ChartTextPieSampleKeyboards", &ChartTextPieSampleKeyboards, "Keyboards"},
    {"ChartTextPieSampleBikes", &ChartTextPieSampleBikes, "Bikes"},
    {"ChartTextPieSampleChairs", &ChartTextPieSampleChairs, "Chairs"},
    {"ChartTextGanttSampleDesign", &ChartTextGanttSampleDesign, "Design"},
    {"ChartTextGanttSamplePrototyping", &ChartTextGanttSamplePrototyping, "Prototyping"},
    {"ChartTextGanttSampleDevelopment", &ChartTextGanttSampleDevelopment, "Development"},
    {"ChartTextGanttSampleSales", &ChartTextGanttSampleSales, "Sales"},
    {"ChartTextGanttSampleMarketing", &ChartTextGanttSampleMarketing, "Marketing"},
    {"ChartTextGanttSampleTesting", &ChartTextGanttSampleTesting, "Testing"},
    {"ChartTextGanttSampleManufac", &ChartTextGanttSampleManufac, "Manufac."},
    {"ChartTextGanttSampleDebugging", &ChartTextGanttSampleDebugging, "Debugging"},
    {"ChartTextGanttSampleNewVersion", &ChartTextGanttSampleNewVersion, "New Version"},
    {"ChartTextGanttSampleBanking", &ChartTextGanttSampleBanking, "Banking"},
    {"ChartTextShapeSampleText", &ChartTextShapeSampleText, "abc"},
    {"ChartTextShapeSampleNumber", &ChartTextShapeSampleNumber, "123"},
    {"ChartTextCircled", &ChartTextCircled, "Circled"},
    {"ChartTextEditingTitle", &ChartTextEditingTitle, "Editing %s"},
    {"ChartTextFunctions", &ChartTextFunctions, "Functions"},
    {"ChartTextChangeSeriesTitle", &ChartTextChangeSeriesTitle, "Change Series Title"},
    {"ChartTextNewSeriesTitle", &ChartTextNewSeriesTitle, "New Series Title:"},
    {"ChartTextDeleteConfirm", &ChartTextDeleteConfirm, "Delete %s ?"},
    {"ChartTextDateTimeFormat", &ChartTextDateTimeFormat, "DateTime For&mat:"},
    {"ChartTextValuesFormat", &ChartTextValuesFormat, "Values For&mat:"},
    {"ChartTextMaximum", &ChartTextMaximum, "Maximum"},
    {"ChartTextMinimum", &ChartTextMinimum, "Minimum"},
    {"ChartTextDesiredIncrement", &ChartTextDesiredIncrement, "Desired %s Increment"},
    {"ChartTextIncorrectValue", &ChartTextIncorrectValue, "Incorrect value. Reason: %s"},
    {"ChartTextEnterDaysTime", &ChartTextEnterDaysTime, "Enter [Number of Days] [hh:nn:ss]"},
    {"ChartTextApplyChanges", &ChartTextApplyChanges, "Apply Changes ?"},
    {"ChartTextSelectedSeries", &ChartTextSelectedSeries, "(Selected Series)"},
    {"ChartTextEditorWidth", &ChartTextEditorWidth, "414"},
    {"ChartTextEditorHeight", &ChartTextEditorHeight, "347"},
    {"ChartTextCopy", &ChartTextCopy, "Copy"},
    {"ChartTextClear", &ChartTextClear, "Clea&r"},
    {"ChartTextBrowse", &ChartTextBrowse, "B&rowse..."},
    {"ChartTextTitle", &ChartTextTitle, "Title"},
    {"ChartTextFooter", &ChartTextFooter, "Footer"},
    {"ChartTextPeriodRange", &ChartTextPeriodRange, "Period range"},
    {"ChartTextSmallDots", &ChartTextSmallDots, "Small Dots"},
    {"ChartTextCustom", &ChartTextCustom, "Custom "},
    {"ChartTextPageOf", &ChartTextPageOf, "Page %d of %d"},
    {"ChartTextBytes", &ChartTextBytes, "%d bytes"},
    {"ChartTextNavigatorFirst", &ChartTextNavigatorFirst, "First"},
    {"ChartTextNavigatorPrior", &ChartTextNavigatorPrior, "Prior"},
    {"ChartTextNavigatorNext", &ChartTextNavigatorNext, "Next"},
    {"ChartTextNavigatorLast", &ChartTextNavigatorLast, "Last"},
    {"ChartTextNavigatorInsert", &ChartTextNavigatorInsert, "Insert"},
    {"ChartTextNavigatorDelete", &ChartTextNavigatorDelete, "Delete"},
    {"ChartTextNavigatorEdit", &ChartTextNavigatorEdit, "Edit"},
    {"ChartTextNavigatorPost", &ChartTextNavigatorPost, "Post"},
    {"ChartTextNavigatorCancel", &ChartTextNavigatorCancel, "Cancel"},
    {"ChartTextAll", &ChartTextAll, "(all)"},
    {"ChartTextExportAsBitmap", &ChartTextExportAsBitmap, "as &Bitmap"},
    {"ChartTextFilterBitmaps", &ChartTextFilterBitmaps, "Bitmaps (*.bmp)|*.bmp"},
    {"ChartTextExportAsMetafile", &ChartTextExportAsMetafile, "as &Metafile"},
    {"ChartTextFilterEnhancedMetafiles", &ChartTextFilterEnhancedMetafiles,
     "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf"},
    {"ChartTextExportNoPanel", &ChartTextExportNoPanel, "Panel property is not set in Export format"},
    {"ChartTextNoTempFolder", &ChartTextNoTempFolder, "Can not find Temp folder"},
    {"ChartTextMailError", &ChartTextMailError, "Can not email Plotwise. Mapi Error: %d"},
    {"ChartTextAddNewGroup", &ChartTextAddNewGroup, "Add new group"},
    {"ChartTextChangeGroupName", &ChartTextChangeGroupName, "Change group name"},
    {"ChartTextGroupName", &ChartTextGroupName, "Group name:"},
    {"ChartText2D", &ChartText2D, "2D"},
    {"ChartTextFilterSpaceDelimitedTextFiles", &ChartTextFilterSpaceDelimitedTextFiles,
     "Space delimited text files (*.txt)|*.txt"},
    {"ChartTextFilterTabDelimitedTextFiles", &ChartTextFilterTabDelimitedTextFiles,
     "Tab delimited text files (*.txt)|*.txt"},
    {"ChartTextFilterCommaDelimitedTextFiles", &ChartTextFilterCommaDelimitedTextFiles,
     "Comma delimited text files (*.csv)|*.csv"},
    {"ChartTextFilterColonDelimitedTextFiles", &ChartTextFilterColonDelimitedTextFiles,
     "Colon delimited text files (*.txt)|*.txt"},
    {"ChartTextFilterCustomDelimitedTextFiles", &ChartTextFilterCustomDelimitedTextFiles,
     "Custom delimited text files (*.txt)|*.txt"},
    {"ChartTextFilterXMLFiles", &ChartTextFilterXMLFiles, "XML files (*.xml)|*.xml"},
    {"ChartTextFilterHTMLFiles", &ChartTextFilterHTMLFiles, "HTML files (*.htm)|*.htm"},
    {"ChartTextFilterMicrosoftExcelFiles", &ChartTextFilterMicrosoftExcelFiles,
     "Microsoft Excel files (*.xls)|*.xls"},
    {"ChartTextOrthoRight", &ChartTextOrthoRight, "Ortho Right"},
    {"ChartTextOrthoLeft", &ChartTextOrthoLeft, "Ortho Left"},
    {"ChartText3DFront", &ChartText3DFront, "3D Front"},
    {"ChartText3DRight", &ChartText3DRight, "3D Right"},
    {"ChartText3DLeft", &ChartText3DLeft, "3D Left"},
    {"ChartTextSubTitle", &ChartTextSubTitle, "SubTitle"},
    {"ChartTextSubFoot", &ChartTextSubFoot, "SubFoot"},
    {"ChartTextTest", &ChartTextTest, "Test..."},
    {"ChartTextLegendColorWidth", &ChartTextLegendColorWidth, "Color Width"},
    {"ChartTextColorDepth", &ChartTextColorDepth, "Color Depth"},
    {"ChartTextExponentFormat", &ChartTextExponentFormat, "Exponent Format"},
    {"ChartTextAxisTitle", &ChartTextAxisTitle, "Axis Title"},
    {"ChartTextAxisLabels", &ChartTextAxisLabels, "Axis Labels"},
    {"ChartTextRefreshInterval", &ChartTextRefreshInterval, "Refresh interval must be between 0 and 60"},
    {"ChartTextParentChartNotSelf", &ChartTextParentChartNotSelf, "ParentChart cannot be the chart itself"},
    {"ChartTextFontCourierNew", &ChartTextFontCourierNew, "Courier New"},
    {"ChartTextEditChart", &ChartTextEditChart, "E&dit Chart..."},
    {"ChartTextPrintPreview", &ChartTextPrintPreview, "&Print Preview..."},
    {"ChartTextExportChart", &ChartTextExportChart, "E&xport Chart..."},
    {"ChartTextCustomAxes", &ChartTextCustomAxes, "Custom Axes..."},
    {"ChartTextInvalidEditorClass", &ChartTextInvalidEditorClass, "Invalid editor class: %s"},
    {"ChartTextNoEditorDialog", &ChartTextNoEditorDialog, "No editor dialog for %s"},
    {"ChartTextFinish", &ChartTextFinish, "&Finish"},
    {"ChartTextNext", &ChartTextNext, "&Next >"},
    {"ChartTextDateTime", &ChartTextDateTime, "DateTime"},
    {"ChartTextDefault", &ChartTextDefault, "Default"},
    {"ChartTextRefreshData", &ChartTextRefreshData, "&Refresh Data"},
    {"ChartTextNone", &ChartTextNone, "(none)"},
    {"ChartTextPrivateDeclarations", &ChartTextPrivateDeclarations, "{ Private declarations }"},
    {"ChartTextPublicDeclarations", &ChartTextPublicDeclarations, "{ Public declarations }"},
    {"ChartTextAboutMenu", &ChartTextAboutMenu, "Abo&ut Plotwise..."},
    {"ChartTextAdditional", &ChartTextAdditional, "Additional"},
    {"ChartTextDataControls", &ChartTextDataControls, "Data Controls"},
    {"ChartTextQReport", &ChartTextQReport, "QReport"},
    {"ChartTextDataset", &ChartTextDataset, "Dataset"},
    {"ChartTextDatasetLabel", &ChartTextDatasetLabel, "&Dataset:"},
    {"ChartTextSingleRecord", &ChartTextSingleRecord, "Single Record"},
    {"ChartTextDataSource", &ChartTextDataSource, "DataSource"},
    {"ChartTextSummary", &ChartTextSummary, "Summary"},
    {"ChartTextBusiness", &ChartTextBusiness, "Business"},
    {"ChartTextWizard", &ChartTextWizard, "Plotwise Chart Wizard"},
    {"ChartTextCloseWizard", &ChartTextCloseWizard, "&Close"},
    {"ChartTextFieldNotExist", &ChartTextFieldNotExist, "Field %s does not exist"},
    {"ChartTextLegend", &ChartTextLegend, "Legend"},
    {"ChartTextPeriod", &ChartTextPeriod, "Period"},
    {"ChartTextCalculateEvery", &ChartTextCalculateEvery, "Calculate every:"},
    {"ChartTextChartAxes", &ChartTextChartAxes, "Chart Axes"},
    {"ChartTextChartAxesDescription", &ChartTextChartAxesDescription,
     "Shows and hides the axes of the chart"},
    {"ChartTextChartWalls", &ChartTextChartWalls, "Chart Walls"},
    {"ChartTextChartWallsDescription", &ChartTextChartWallsDescription,
     "Shows and hides the walls of the chart"},
    {"ChartTextChartTitles", &ChartTextChartTitles, "Chart Titles"},
    {"ChartTextChartTitlesDescription", &ChartTextChartTitlesDescription,
     "Shows and hides the titles of the chart"},
    {"ChartTextChart3D", &ChartTextChart3D, "Chart 3D"},
    {"ChartTextChart3DDescription", &ChartTextChart3DDescription, "Switches the chart between 2D and 3D"},
    {"ChartTextSeriesMenu", &ChartTextSeriesMenu, "&Series"},
    {"ChartTextFilled", &ChartTextFilled, "Filled"},
    {"ChartTextNoTempFile", &ChartTextNoTempFile, "Can not create a temporary file"},
    {"ChartTextNoSeriesSelected", &ChartTextNoSeriesSelected, "No series selected"},
    {"ChartTextChartDownloadError", &ChartTextChartDownloadError, "Error downloading the chart: %s"},
    {"ChartTextSeriesDownloadError", &ChartTextSeriesDownloadError, "Error downloading the series data: %s"},
    {"ChartTextExportAsJPEG", &ChartTextExportAsJPEG, "as &JPEG"},
    {"ChartTextFilterJPEGFiles", &ChartTextFilterJPEGFiles, "JPEG files (*.jpg)|*.jpg"},
    {"ChartTextExportAsGIF", &ChartTextExportAsGIF, "as &GIF"},
    {"ChartTextFilterGIFFiles", &ChartTextFilterGIFFiles, "GIF files (*.gif)|*.gif"},
    {"ChartTextExportAsPNG", &ChartTextExportAsPNG, "as &PNG"},
    {"ChartTextFilterPNGFiles", &ChartTextFilterPNGFiles, "PNG files (*.png)|*.png"},
    {"ChartTextExportAsPCX", &ChartTextExportAsPCX, "as PC&X"},
    {"ChartTextFilterPCXFiles", &ChartTextFilterPCXFiles, "PCX files (*.pcx)|*.pcx"},
    {"ChartTextExportAsVMLHTM", &ChartTextExportAsVMLHTM, "as &VML (HTM)"},
    {"ChartTextFilterVMLFiles", &ChartTextFilterVMLFiles, "VML files (*.htm)|*.htm"},
    {"ChartTextLanguage", &ChartTextLanguage, "Language..."},
    {"ChartTextSaveConfirm", &ChartTextSaveConfirm, "Save changes to %s?"},
    {"ChartTextProperty", &ChartTextProperty, "Property"},
    {"ChartTextValue", &ChartTextValue, "Value"},
    {"ChartTextYes", &ChartTextYes, "Yes"},
    {"ChartTextNo", &ChartTextNo, "No"},
    {"ChartTextImage", &ChartTextImage, "(image)"},
    {"ChartTextExportAsPDF", &ChartTextExportAsPDF, "as P&DF"},
    {"ChartTextFilterPDFFiles", &ChartTextFilterPDFFiles, "PDF files (*.pdf)|*.pdf"},
    {"ChartTextExportAsPostScript", &ChartTextExportAsPostScript, "as PostScr&ipt"},
    {"ChartTextFilterPostScriptFiles", &ChartTextFilterPostScriptFiles, "PostScript files (*.eps)|*.eps"},
    {"ChartTextSelectDatabaseFolder", &ChartTextSelectDatabaseFolder, "Select a database folder"},
    {"ChartTextAlias", &ChartTextAlias, "&Alias:"},
    {"ChartTextConnection", &ChartTextConnection, "&Connection:"},
    {"ChartTextApply", &ChartTextApply, "&Apply"},
    {"ChartTextOptions", &ChartTextOptions, "Options"},
    {"ChartTextExportAsSVG", &ChartTextExportAsSVG, "as &SVG"},
    {"ChartTextFilterSVGFiles", &ChartTextFilterSVGFiles, "SVG files (*.svg)|*.svg"},
};

std::string ComposedText(const std::string* Variable) {
    if (Variable == &ChartTextInvalidChartFile)
        return "Invalid Chart in *." + ChartFileExtension + " file";
    if (Variable == &ChartTextWrongChartFile)
        return "Wrong *." + ChartFileExtension + " file format";
    if (Variable == &ChartTextEmptyChartFile)
        return "Empty *." + ChartFileExtension + " file";
    if (Variable == &ChartTextChartFilesFilter)
        return "Plotwise files " + ChartFileFilter();
    return {};
}

// Fills the table when the program starts and empties it when the program ends, so that a late reader
// finds an empty text rather than a destroyed one.
struct TMessageTableUnit {
    TMessageTableUnit() {
        for (const TChartMessage& m : kMessageTable)
            *m.Variable = m.Text ? std::string(m.Text) : ComposedText(m.Variable);
    }
    ~TMessageTableUnit() {
        for (const TChartMessage& m : kMessageTable)
            m.Variable->clear();
    }
};

const TMessageTableUnit MessageTableUnit;

} // namespace

std::span<const TChartMessage> ChartMessageTable() {
    return kMessageTable;
}

} // namespace chart
