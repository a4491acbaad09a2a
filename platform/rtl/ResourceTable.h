// The layout of the table of resources compiled into the program. The build writes the table from
// resources/resources.list; everything else reads it through Resources.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace plat {

struct TEmbeddedResource {
    const char* Type; // one of the RT_ names of Resources.h, upper case
    const char* Name;
    int Id; // 1 to 65535, or 0 when the resource has only a name
    const unsigned char* Data;
    size_t Size;

    // The bytes stay where the program holds them for as long as it runs.
    std::span<const uint8_t> Bytes() const { return {Data, Size}; }
};

extern const TEmbeddedResource EmbeddedResources[];
extern const size_t EmbeddedResourceCount;

} // namespace plat
