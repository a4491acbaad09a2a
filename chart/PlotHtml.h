// Formatted text of chart shapes, annotations, legend items and marks: a small HTML-like markup laid out
// on the chart's drawing surface line by line, drawn or only measured.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Graphic.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/Types.h"

namespace chart {

class TPlotCanvas;

using plat::Exception;
PLAT_EXCEPTION(HtmlParserException, Exception);

// Gives a new, empty picture object for a file extension with its dot (".PNG"), or null.
using TMarkupGraphicHook = std::function<std::unique_ptr<plat::TGraphic>(const std::string& Extension)>;
// Fills Stream with the picture file at Path; returns True on failure.
using TMarkupLoadPictureHook = std::function<bool(const std::string& Path, plat::TStream& Stream)>;

// Installed by the registry of picture export formats when it starts; empty while there is none.
extern TMarkupGraphicHook MarkupGraphicForExtension;
// Installed by no code of the program; pictures then show their placeholder.
extern TMarkupLoadPictureHook MarkupLoadPictureData;

// What the picture hook needs of one registered export format: a description object that knows its
// file extension (without the dot) and makes an empty picture of its kind (null when it has none).
class IMarkupPictureFormat {
public:
    virtual ~IMarkupPictureFormat() = default;
    virtual std::string FileExtension() = 0;
    virtual std::unique_ptr<plat::TGraphic> NewGraphic() = 0;
};
using TMarkupPictureFormatClass = std::function<std::unique_ptr<IMarkupPictureFormat>()>;

// The picture for an extension by the registered formats, in registration order: the first format whose
// extension matches (without case) decides. Null when none matches or there is no registry (Formats
// null). Each description object lives only for its comparison.
std::unique_ptr<plat::TGraphic>
GraphicForFormatExtension(const std::string& Extension,
                          const std::vector<TMarkupPictureFormatClass>* Formats);

// Lays the markup out from (X, Y); draws it when Draw is set. Returns the width reached and the height
// taken. The canvas font is left as the markup last set it.
plat::TSize LayoutChartMarkup(TPlotCanvas& Canvas, int X, int Y, bool Draw, const std::string& Text);
void DrawChartMarkup(TPlotCanvas& Canvas, int X, int Y, const std::string& Text);
plat::TSize MeasureChartMarkup(TPlotCanvas& Canvas, const std::string& Text);

// A colour of the markup: a name (BLACK, RED, BLUE, YELLOW, WHITE, GREEN, LIME), #RRGGBB, a colour
// constant name (clRed) or a number. Raises EConvertError for anything else.
plat::TColor MarkupColor(const std::string& Value);

} // namespace chart
