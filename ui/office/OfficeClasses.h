// The classes of this library (and the libraries below it) that layouts create by name. A program calls
// the routine once before it reads a layout: it names every class, so the linker keeps their units
// whatever else the program uses.
#pragma once

namespace ui {

void RegisterOfficeClasses();

} // namespace ui
