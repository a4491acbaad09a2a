// Pictures: TGraphic, the abstract picture every format derives from (bitmap here; PNG, JPEG, GIF, icon
// and metafile graphics plug in the same way), and TPicture, which holds one graphic and finds the
// graphic class for a file by its extension.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/Types.h"

namespace plat {

PLAT_EXCEPTION(EInvalidGraphic, Exception);
PLAT_EXCEPTION(EInvalidGraphicOperation, Exception);

class TCanvas;
class TBitmap;

class TGraphic : public TPersistent {
    PLAT_CLASS(TGraphic)
public:
    ~TGraphic() override = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;
    virtual bool Empty() const = 0;
    // Draws the picture into rect of the canvas, scaled to fit.
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;

    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool value);

    // Stream forms raise EInvalidGraphic for data that is not a valid picture of the format.
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    virtual void LoadFromFile(const std::string& fileName);
    // Replaces the file atomically (see WriteFileAtomically), so a failed save never leaves a
    // half-written file; a read-only file is refused with EFCreateError.
    virtual void SaveToFile(const std::string& fileName);

    // A new, empty graphic of the same class (for copies).
    virtual std::unique_ptr<TGraphic> CreateEmpty() const = 0;

    bool Modified() const { return FModified; }
    void SetModified(bool value) { FModified = value; }
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
    bool FTransparent = false;
    bool FModified = false;
};

// Holds one graphic; the class that loads a file is chosen by the file's extension.
class TPicture : public TPersistent {
    PLAT_CLASS(TPicture)
public:
    using TFactory = std::function<std::unique_ptr<TGraphic>()>;

    TPicture();
    ~TPicture() override;

    TGraphic* Graphic() const { return FGraphic.get(); }
    // Takes a copy of the graphic (through Assign), as assigning a picture's graphic does.
    void SetGraphic(TGraphic* graphic);
    // Gives the graphic to the picture.
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    // The graphic as a bitmap; replaces a graphic of another kind with an empty bitmap.
    TBitmap* Bitmap();

    int Width() const;
    int Height() const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    void Assign(TPersistent* source) override;
    // Stored in layouts as the binary value "Data": the graphic's class name (a length byte first),
    // then the graphic's own file bytes; an empty picture stores nothing.
    void DefineProperties(TFiler& Filer) override;

    TNotifyEvent OnChange;

    // Registry of graphic classes by file extension (without the dot, any case).
    static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                   TFactory factory);
    static void UnregisterFileFormat(const std::string& extension);
    static std::unique_ptr<TGraphic> CreateForExtension(const std::string& extension);
    // A new, empty graphic of the named class (without case) among the registered formats; null when
    // no format makes that class.
    static std::unique_ptr<TGraphic> CreateForClassName(const std::string& className);
    // "Bitmaps (*.bmp)|*.bmp|..." for open and save dialogs.
    static std::string FileFilter();

private:
    void GraphicChanged(TObject*);
    void ReadData(TStream& stream);
    void WriteData(TStream& stream);
    std::unique_ptr<TGraphic> FGraphic;
};

} // namespace plat
