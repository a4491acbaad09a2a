#include "platform/rtl/Resources.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace plat {

PLAT_CLASS_INFO(TResourceStream, TStream)

namespace {

bool SameText(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
        if (x >= 'a' && x <= 'z')
            x = static_cast<unsigned char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<unsigned char>(y - 'a' + 'A');
        if (x != y)
            return false;
        if (x == 0)
            return true;
    }
}

template <class Match> const TEmbeddedResource* Find(const char* type, Match match) {
    if (!type)
        return nullptr;
    for (size_t i = 0; i < EmbeddedResourceCount; ++i) {
        const TEmbeddedResource& r = EmbeddedResources[i];
        if (SameText(r.Type, type) && match(r))
            return &r;
    }
    return nullptr;
}

} // namespace

const TEmbeddedResource* FindResource(const std::string& name, const char* type) {
    // A name with a NUL inside cannot match a stored name, however its prefix reads.
    if (name.empty() || name.find('\0') != std::string::npos)
        return nullptr;
    return Find(type, [&](const TEmbeddedResource& r) { return SameText(r.Name, name.c_str()); });
}

const TEmbeddedResource* FindResource(int id, const char* type) {
    if (id < 1 || id > 65535)
        return nullptr;
    return Find(type, [&](const TEmbeddedResource& r) { return r.Id == id; });
}

bool ResourceExists(const std::string& name, const char* type) {
    return FindResource(name, type) != nullptr;
}

bool ResourceExists(int id, const char* type) {
    return FindResource(id, type) != nullptr;
}

// ---- TResourceStream

namespace {

const TEmbeddedResource& Required(const TEmbeddedResource* found, const std::string& name) {
    if (!found)
        throw EResNotFound("Resource " + name + " not found");
    return *found;
}

} // namespace

TResourceStream::TResourceStream(const std::string& name, const char* type)
    : FResource(&Required(FindResource(name, type), name)) {}

TResourceStream::TResourceStream(int id, const char* type)
    : FResource(&Required(FindResource(id, type), std::to_string(id))) {}

int64_t TResourceStream::Read(void* buffer, int64_t count) {
    const int64_t size = Size();
    if (count <= 0 || FPosition >= size)
        return 0;
    const int64_t n = std::min(count, size - FPosition);
    std::memcpy(buffer, FResource->Data + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int64_t TResourceStream::Write(const void*, int64_t) {
    throw EStreamError("Can't write to a read-only resource stream");
}

int64_t TResourceStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int64_t base = origin == soBeginning ? 0 : (origin == soCurrent ? FPosition : Size());
    if ((offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) || base + offset < 0)
        throw EStreamError("Invalid stream position");
    // Beyond the end is allowed, as for other streams; reading there gives nothing.
    FPosition = base + offset;
    return FPosition;
}

void TResourceStream::SetSize(int64_t) {
    throw EStreamError("Can't write to a read-only resource stream");
}

} // namespace plat
