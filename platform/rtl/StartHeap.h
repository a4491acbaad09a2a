// The heap a program's start grows into: set aside at once and backed by large pages where the system
// has them, so that building the forms does not fault it in a small page at a time.
#pragma once

#include <cstddef>

namespace plat {

// Grows the heap by a reserve and asks for large pages under it; later growth keeps such a reserve.
// Only the first call does anything. Gives the bytes asked to be backed by large pages (0 where none).
size_t ReserveStartHeap();

} // namespace plat
