// The classes of the toolbar library that layouts create by name. A program calls the routine once
// before it reads a layout: it names every class, so the linker keeps their units.
#pragma once

namespace ui {

void RegisterToolbarsClasses();

} // namespace ui
