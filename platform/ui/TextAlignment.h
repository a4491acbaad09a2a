// How controls place their text and which scroll bars a scrolling control shows; shared by the label,
// edit, memo, check box, panel and the list controls.
#pragma once

namespace plat {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

} // namespace plat
