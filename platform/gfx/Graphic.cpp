#include "platform/gfx/Graphic.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Metafile.h"
#include "platform/gfx/PictureFormats.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

PLAT_CLASS_INFO(TGraphic, TPersistent)
PLAT_CLASS_INFO(TPicture, TPersistent)

void TGraphic::SetTransparent(bool value) {
    if (value != FTransparent) {
        FTransparent = value;
        Changed();
    }
}

void TGraphic::Changed() {
    FModified = true;
    if (OnChange)
        OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) {
    TMemoryStream stream;
    SaveToStream(stream);
    stream.SaveToFile(fileName);
}

namespace {

struct TFormat {
    std::string Description;
    TPicture::TFactory Factory;
};

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!s.empty() && s[0] == '.')
        s.erase(0, 1);
    return s;
}

std::mutex& RegistryLock() {
    static std::mutex lock;
    return lock;
}

std::vector<std::pair<std::string, TFormat>>& Formats() {
    static std::vector<std::pair<std::string, TFormat>> formats = {
        {"bmp", {"Bitmaps", [] { return std::unique_ptr<TGraphic>(new TBitmap()); }}},
    };
    return formats;
}

// The formats the layer brings along. They register on first use rather than from start-up code alone:
// a static library gives the linker no reason to keep a unit nobody calls into. Every built-in format
// family adds its registration call here. Runs before the registry lock is taken, as registering takes it.
void EnsureBuiltinPictureFormats() {
    static const bool done = [] {
        RegisterPictureFormats();
        RegisterMetafileFormats();
        return true;
    }();
    (void)done;
}

std::string Extension(const std::string& fileName) {
    size_t slash = fileName.find_last_of('/');
    size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    return fileName.substr(dot + 1);
}

} // namespace

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TFactory factory) {
    std::lock_guard<std::mutex> guard(RegistryLock());
    std::string ext = Lower(extension);
    auto& formats = Formats();
    for (auto& f : formats)
        if (f.first == ext) {
            f.second = {description, std::move(factory)};
            return;
        }
    formats.push_back({ext, {description, std::move(factory)}});
}

void TPicture::UnregisterFileFormat(const std::string& extension) {
    EnsureBuiltinPictureFormats(); // or a later lookup would bring the format back
    std::lock_guard<std::mutex> guard(RegistryLock());
    std::string ext = Lower(extension);
    auto& formats = Formats();
    formats.erase(std::remove_if(formats.begin(), formats.end(), [&](auto& f) { return f.first == ext; }),
                  formats.end());
}

std::unique_ptr<TGraphic> TPicture::CreateForExtension(const std::string& extension) {
    EnsureBuiltinPictureFormats();
    TFactory factory;
    {
        std::lock_guard<std::mutex> guard(RegistryLock());
        std::string ext = Lower(extension);
        for (auto& f : Formats())
            if (f.first == ext)
                factory = f.second.Factory;
    }
    return factory ? factory() : nullptr;
}

std::unique_ptr<TGraphic> TPicture::CreateForClassName(const std::string& className) {
    EnsureBuiltinPictureFormats();
    std::vector<TFactory> factories;
    {
        std::lock_guard<std::mutex> guard(RegistryLock());
        for (auto& f : Formats())
            factories.push_back(f.second.Factory);
    }
    // Factories are called outside the lock: a graphic's constructor may look formats up itself.
    for (const TFactory& factory : factories) {
        std::unique_ptr<TGraphic> graphic = factory ? factory() : nullptr;
        if (graphic && SameText(graphic->ClassType().Name, className))
            return graphic;
    }
    return nullptr;
}

std::string TPicture::FileFilter() {
    EnsureBuiltinPictureFormats();
    std::lock_guard<std::mutex> guard(RegistryLock());
    std::string out;
    for (auto& f : Formats()) {
        if (!out.empty())
            out += '|';
        out += f.second.Description + " (*." + f.first + ")|*." + f.first;
    }
    return out;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::GraphicChanged(TObject*) {
    if (OnChange)
        OnChange(this);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    FGraphic = std::move(graphic);
    if (FGraphic)
        FGraphic->OnChange = [this](TObject* s) { GraphicChanged(s); };
    GraphicChanged(this);
}

void TPicture::SetGraphic(TGraphic* graphic) {
    if (!graphic) {
        SetGraphic(std::unique_ptr<TGraphic>());
        return;
    }
    if (graphic == FGraphic.get())
        return;
    // A fresh graphic of the same class takes the copy.
    std::unique_ptr<TGraphic> copy = graphic->CreateEmpty();
    copy->Assign(graphic);
    SetGraphic(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
    if (!FGraphic || !FGraphic->Is<TBitmap>())
        SetGraphic(std::unique_ptr<TGraphic>(new TBitmap()));
    return static_cast<TBitmap*>(FGraphic.get());
}

int TPicture::Width() const {
    return FGraphic ? FGraphic->Width() : 0;
}
int TPicture::Height() const {
    return FGraphic ? FGraphic->Height() : 0;
}

void TPicture::LoadFromFile(const std::string& fileName) {
    std::string ext = Extension(fileName);
    std::unique_ptr<TGraphic> graphic = CreateForExtension(ext);
    if (!graphic)
        throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
    graphic->LoadFromFile(fileName);
    SetGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& fileName) {
    if (FGraphic)
        FGraphic->SaveToFile(fileName);
}

void TPicture::DefineProperties(TFiler& Filer) {
    TPersistent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
        FGraphic && !FGraphic->Empty());
}

void TPicture::WriteData(TStream& stream) {
    const std::string name = FGraphic->ClassType().Name;
    if (name.empty() || name.size() > 255)
        throw EWriteError("Picture class name cannot be stored: " + name);
    const uint8_t length = static_cast<uint8_t>(name.size());
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(name.data(), length);
    FGraphic->SaveToStream(stream);
}

void TPicture::ReadData(TStream& stream) {
    uint8_t length = 0;
    if (stream.Read(&length, 1) != 1 || length == 0) {
        SetGraphic(std::unique_ptr<TGraphic>());
        return;
    }
    std::string name(length, '\0');
    stream.ReadBuffer(name.data(), length);
    std::unique_ptr<TGraphic> graphic = CreateForClassName(name);
    if (graphic) {
        graphic->LoadFromStream(stream);
    } else {
        // A graphic class this program does not know (one of a higher layer, say, that keeps its
        // picture's file bytes): its bytes may still be a picture file one of the formats reads.
        const int64_t size = stream.Size() - stream.Position();
        std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(size, 0)));
        if (!bytes.empty())
            stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        try {
            graphic = LoadGraphicFromBytes(bytes);
        } catch (const EInvalidGraphic&) {
            throw EReadError("Picture of unknown class " + name);
        }
    }
    SetGraphic(std::move(graphic));
}

void TPicture::Assign(TPersistent* source) {
    if (!source) {
        SetGraphic(std::unique_ptr<TGraphic>());
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(source)) {
        SetGraphic(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(source);
}

} // namespace plat
