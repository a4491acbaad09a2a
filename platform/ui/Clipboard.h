// The clipboard: formats by number (text, bitmap, metafiles and registered ones), the open-set-close
// protocol, and TClipboard, which puts text, bitmaps and metafiles on it and takes them off. On X11 the
// contents go to the CLIPBOARD selection, so other programs can paste them (text as UTF-8, bitmaps as
// PNG and BMP, metafiles as EMF); on the virtual screen they stay in the program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/rtl/Persistent.h"
#include "platform/ui/Window.h"

namespace plat {

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_BITMAP = 2;
inline constexpr UINT CF_METAFILEPICT = 3;
inline constexpr UINT CF_DIB = 8;
inline constexpr UINT CF_UNICODETEXT = 13;
inline constexpr UINT CF_ENHMETAFILE = 14;
inline constexpr UINT CF_PNG = 0xC001; // the registered "PNG" format

// A number of 0xC000 or more for the name (the same for the same name, without case).
UINT RegisterClipboardFormat(const std::string& name);

// SetClipboardData and EmptyClipboard need the clipboard open; what was set goes out when it is closed.
bool OpenClipboard(HWND owner);
bool CloseClipboard();
bool EmptyClipboard();
// Text formats take UTF-8; CF_BITMAP and CF_DIB a BMP file, CF_PNG a PNG file, the metafile formats an
// enhanced metafile.
bool SetClipboardData(UINT format, std::vector<uint8_t> data);
std::optional<std::vector<uint8_t>> GetClipboardData(UINT format);
bool IsClipboardFormatAvailable(UINT format);

class TClipboard : public TPersistent {
    PLAT_CLASS(TClipboard)
public:
    // Open and Close nest; the contents go out with the last Close.
    void Open();
    void Close();
    void Clear();
    bool HasFormat(UINT format) const;
    std::string AsText() const;
    void SetAsText(const std::string& Value);
    // Takes a TBitmap, TPngImage or TMetafile (or a TPicture holding one); other sources raise the
    // assignment error.
    void Assign(TPersistent* Source) override;

protected:
    // Fills a TBitmap, TPngImage or TMetafile (or a TPicture) from the clipboard; raises
    // EInvalidGraphic when the clipboard holds no such picture.
    void AssignTo(TPersistent* Dest) override;

private:
    int FOpenCount = 0;
};

// The program's clipboard object.
TClipboard* Clipboard();

} // namespace plat
