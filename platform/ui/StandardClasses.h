// The class library's components, registered so that layouts can create them by name.
#pragma once

namespace plat {

// Registers every component of the class library that a layout can create; calling it again does nothing.
void RegisterStandardClasses();

} // namespace plat
