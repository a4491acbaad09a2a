#include "platform/ui/Clipboard.h"

#include <map>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Graphic.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/PngImage.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/WindowSystem.h"

namespace plat {

namespace {

constexpr const char* TextMime = "text/plain;charset=utf-8";

struct TClipboardState {
    bool Open = false;
    bool Emptied = false;
    TClipboardData Pending;
    std::map<std::string, UINT> Registered{{"PNG", CF_PNG}};
    UINT NextFormat = 0xC002;
};

TClipboardState& State() {
    static TClipboardState state;
    return state;
}

std::string MimeOf(UINT format) {
    switch (format) {
    case CF_TEXT:
    case CF_UNICODETEXT:
        return TextMime;
    case CF_BITMAP:
    case CF_DIB:
        return "image/bmp";
    case CF_PNG:
        return "image/png";
    case CF_ENHMETAFILE:
    case CF_METAFILEPICT:
        return "image/x-emf";
    }
    for (const auto& [name, number] : State().Registered)
        if (number == format)
            return name == "RICH TEXT FORMAT" ? std::string("text/rtf") : "application/x-lumetra-" + name;
    return {};
}

std::vector<uint8_t> StreamBytes(TGraphic& graphic) {
    TMemoryStream stream;
    graphic.SaveToStream(stream);
    std::vector<uint8_t> bytes(static_cast<size_t>(stream.Size()));
    stream.SetPosition(0);
    if (!bytes.empty())
        stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

void LoadBytes(TGraphic& graphic, const std::vector<uint8_t>& bytes) {
    TMemoryStream stream;
    if (!bytes.empty())
        stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    graphic.LoadFromStream(stream);
}

} // namespace

UINT RegisterClipboardFormat(const std::string& name) {
    if (name.empty())
        return 0;
    TClipboardState& s = State();
    std::string key = UpperCase(name);
    auto it = s.Registered.find(key);
    if (it != s.Registered.end())
        return it->second;
    UINT number = s.NextFormat++;
    s.Registered[key] = number;
    return number;
}

bool OpenClipboard(HWND) {
    TClipboardState& s = State();
    if (s.Open)
        return false;
    s.Open = true;
    s.Emptied = false;
    s.Pending.clear();
    return true;
}

bool EmptyClipboard() {
    TClipboardState& s = State();
    if (!s.Open)
        return false;
    s.Emptied = true;
    s.Pending.clear();
    return true;
}

bool SetClipboardData(UINT format, std::vector<uint8_t> data) {
    TClipboardState& s = State();
    std::string mime = MimeOf(format);
    if (!s.Open || mime.empty())
        return false;
    if (!s.Emptied) {
        // Adding to what is there keeps the other formats.
        for (const std::string& type : CurrentBackend().ClipboardTypes())
            if (auto bytes = CurrentBackend().ClipboardGet(type))
                s.Pending.emplace(type, std::move(*bytes));
        s.Emptied = true;
    }
    s.Pending[mime] = std::move(data);
    return true;
}

bool CloseClipboard() {
    TClipboardState& s = State();
    if (!s.Open)
        return false;
    s.Open = false;
    if (s.Emptied)
        CurrentBackend().SetClipboard(s.Pending);
    s.Pending.clear();
    s.Emptied = false;
    return true;
}

std::optional<std::vector<uint8_t>> GetClipboardData(UINT format) {
    std::string mime = MimeOf(format);
    if (mime.empty())
        return std::nullopt;
    TClipboardState& s = State();
    if (s.Open && s.Emptied) {
        auto it = s.Pending.find(mime);
        if (it == s.Pending.end())
            return std::nullopt;
        return it->second;
    }
    return CurrentBackend().ClipboardGet(mime);
}

bool IsClipboardFormatAvailable(UINT format) {
    std::string mime = MimeOf(format);
    if (mime.empty())
        return false;
    TClipboardState& s = State();
    if (s.Open && s.Emptied)
        return s.Pending.count(mime) != 0;
    for (const std::string& type : CurrentBackend().ClipboardTypes())
        if (type == mime)
            return true;
    return false;
}

// ---- TClipboard ----------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TClipboard, TPersistent)

TClipboard* Clipboard() {
    static TClipboard* clipboard = new TClipboard;
    return clipboard;
}

void TClipboard::Open() {
    if (FOpenCount++ == 0)
        OpenClipboard(nullptr);
}

void TClipboard::Close() {
    if (FOpenCount == 0)
        return;
    if (--FOpenCount == 0)
        CloseClipboard();
}

void TClipboard::Clear() {
    Open();
    EmptyClipboard();
    Close();
}

bool TClipboard::HasFormat(UINT format) const {
    if (format == CF_BITMAP || format == CF_DIB)
        return IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_PNG);
    return IsClipboardFormatAvailable(format);
}

std::string TClipboard::AsText() const {
    auto bytes = GetClipboardData(CF_UNICODETEXT);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

void TClipboard::SetAsText(const std::string& Value) {
    Open();
    ScopeGuard close([this] { Close(); });
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, std::vector<uint8_t>(Value.begin(), Value.end()));
}

void TClipboard::Assign(TPersistent* Source) {
    if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        if (picture->Graphic())
            Assign(picture->Graphic());
        return;
    }
    auto* bitmap = dynamic_cast<TBitmap*>(Source);
    auto* png = dynamic_cast<TPngImage*>(Source);
    auto* metafile = dynamic_cast<TMetafile*>(Source);
    if (!bitmap && !png && !metafile) {
        TPersistent::Assign(Source);
        return;
    }
    // Build every format first, so a failure leaves the clipboard as it was.
    std::vector<std::pair<UINT, std::vector<uint8_t>>> formats;
    if (metafile) {
        TMetafile copy;
        copy.Assign(metafile);
        copy.SetEnhanced(true);
        formats.push_back({CF_ENHMETAFILE, StreamBytes(copy)});
    } else {
        TPngImage asPng;
        TBitmap asBitmap;
        if (png) {
            asPng.Assign(png);
            asBitmap.Assign(png);
        } else {
            asBitmap.Assign(bitmap);
            asPng.Assign(bitmap);
        }
        formats.push_back({CF_PNG, StreamBytes(asPng)});
        formats.push_back({CF_BITMAP, StreamBytes(asBitmap)});
    }
    Open();
    ScopeGuard close([this] { Close(); });
    EmptyClipboard();
    for (auto& [format, bytes] : formats)
        SetClipboardData(format, std::move(bytes));
}

void TClipboard::AssignTo(TPersistent* Dest) {
    TPicture* picture = dynamic_cast<TPicture*>(Dest);
    auto* bitmap = dynamic_cast<TBitmap*>(Dest);
    auto* png = dynamic_cast<TPngImage*>(Dest);
    auto* metafile = dynamic_cast<TMetafile*>(Dest);
    if (!picture && !bitmap && !png && !metafile) {
        TPersistent::AssignTo(Dest);
        return;
    }
    if (metafile || (picture && IsClipboardFormatAvailable(CF_ENHMETAFILE) && !HasFormat(CF_BITMAP))) {
        auto bytes = GetClipboardData(CF_ENHMETAFILE);
        if (!bytes)
            throw EInvalidGraphic("The clipboard holds no metafile");
        TMetafile loaded;
        LoadBytes(loaded, *bytes);
        if (metafile)
            metafile->Assign(&loaded);
        else
            picture->Assign(&loaded);
        return;
    }
    TBitmap loaded;
    if (auto pngBytes = GetClipboardData(CF_PNG)) {
        TPngImage image;
        LoadBytes(image, *pngBytes);
        loaded.Assign(&image);
    } else if (auto bmpBytes = GetClipboardData(CF_BITMAP)) {
        LoadBytes(loaded, *bmpBytes);
    } else {
        throw EInvalidGraphic("The clipboard holds no picture");
    }
    if (bitmap)
        bitmap->Assign(&loaded);
    else if (png)
        png->Assign(&loaded);
    else
        picture->Assign(&loaded);
}

} // namespace plat
