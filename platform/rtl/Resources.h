// Resources compiled into the program (listed in resources/resources.list): form layouts, bitmaps,
// cursors, icons, pictures, raw bytes and texts, found by type and by name or numeric id.
#pragma once

#include <cstdint>
#include <string>

#include "platform/rtl/Exception.h"
#include "platform/rtl/ResourceTable.h"
#include "platform/rtl/Stream.h"

namespace plat {

PLAT_EXCEPTION(EResNotFound, Exception);

// Resource types. A bitmap holds a BMP or PNG file, a cursor a .cur file, an icon an .ico file; RCDATA is
// any bytes the caller knows how to read (pictures of every format among them), FORM a form layout in
// its text form, STRING a UTF-8 text.
inline constexpr const char* RT_BITMAP = "BITMAP";
inline constexpr const char* RT_CURSOR = "CURSOR";
inline constexpr const char* RT_ICON = "ICON";
inline constexpr const char* RT_PNG = "PNG";
inline constexpr const char* RT_RCDATA = "RCDATA";
inline constexpr const char* RT_FORM = "FORM";
inline constexpr const char* RT_STRING = "STRING";

// Null when there is no such resource. Types and names are compared without regard to ASCII case; ids
// run from 1 to 65535, so other numbers find nothing.
const TEmbeddedResource* FindResource(const std::string& name, const char* type);
const TEmbeddedResource* FindResource(int id, const char* type);
bool ResourceExists(const std::string& name, const char* type);
bool ResourceExists(int id, const char* type);

// A read-only stream over a resource's bytes. A missing resource raises EResNotFound
// "Resource NAME not found" (the id in decimal for a resource asked for by number); writing or resizing
// raises EStreamError.
class TResourceStream : public TStream {
    PLAT_CLASS(TResourceStream)
public:
    TResourceStream(const std::string& name, const char* type);
    TResourceStream(int id, const char* type);

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(FResource->Size); }
    void SetSize(int64_t newSize) override;

    const TEmbeddedResource& Resource() const { return *FResource; }
    const uint8_t* Memory() const { return FResource->Data; }

private:
    const TEmbeddedResource* FResource;
    int64_t FPosition = 0;
};

} // namespace plat
