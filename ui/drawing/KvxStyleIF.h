// The one style value the whole component set understands, the interface through which the stylers hand
// it to styled components, and the system test several components consult.
#pragma once

#include <cstdint>
#include <iterator>

namespace ui {

// Stored forms write these names and compare ordinals, which is why tsOffice2007Silver comes after
// tsCustom.
enum TKVXStyle : uint8_t {
    tsOffice2003Blue,
    tsOffice2003Silver,
    tsOffice2003Olive,
    tsOffice2003Classic,
    tsOffice2007Luna,
    tsOffice2007Obsidian,
    tsWindowsXP,
    tsWhidbey,
    tsCustom,
    tsOffice2007Silver,
};
inline constexpr const char* kKVXStyleNames[] = {
    "tsOffice2003Blue", "tsOffice2003Silver",   "tsOffice2003Olive", "tsOffice2003Classic",
    "tsOffice2007Luna", "tsOffice2007Obsidian", "tsWindowsXP",       "tsWhidbey",
    "tsCustom",         "tsOffice2007Silver",
};
static_assert(std::size(kKVXStyleNames) == tsOffice2007Silver + 1);

// Implemented by stylers and styled components. What a component does with each value, tsCustom
// included, is its own business; the form styler never passes tsCustom on.
class IStyleable {
public:
    virtual void ApplyStyle(TKVXStyle Style) = 0;

protected:
    ~IStyleable() = default;
};

// True on systems from the generation that added the newer locale functions on (the platform's reported
// version 6 or later). Every unit that needs the test asks this one.
bool IsVistaOrLater();

} // namespace ui
