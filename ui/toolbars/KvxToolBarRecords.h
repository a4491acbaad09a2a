// The small persistent records of the toolbar family: gradients, the button and container looks, the
// colours of tabs, groups, captions and the quick access toolbar, the tab metrics of the ribbon pager and
// where a toolbar keeps its layout. A styler owns one of each and fills them from its colour sets; the
// toolbars, dock panels and the pager only read them.
//
// The tab set, pager and status bar units have classes of the same names with other fields; the family
// keeps its own in namespace ui::toolbar, so the two sets never meet in one program's symbol table.
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Canvas.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Persistent.h"
#include "platform/ui/TextAlignment.h"
#include "ui/drawing/KvxGlowButton.h"

namespace ui::toolbar {

// A list of references it does not own. Reading or writing at or past the end is a fault the list
// reports in its own words; a negative index gets the ordinary list error.
template <class T> class TDbgList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    T* operator[](int Index) const {
        CheckNegative(Index);
        if (Index >= Count())
            throw plat::EListError("Index out of bounds in list read access");
        return FItems[static_cast<size_t>(Index)];
    }
    void Put(int Index, T* Item) {
        CheckNegative(Index);
        if (Index >= Count())
            throw plat::EListError("Index out of bounds in list write access");
        FItems[static_cast<size_t>(Index)] = Item;
    }
    void Add(T* Item) { FItems.push_back(Item); }
    void Insert(int Index, T* Item) {
        CheckNegative(Index);
        if (Index > Count())
            throw plat::EListError("Index out of bounds in list write access");
        FItems.insert(FItems.begin() + Index, Item);
    }
    void Delete(int Index) {
        CheckNegative(Index);
        if (Index >= Count())
            throw plat::EListError("Index out of bounds in list write access");
        FItems.erase(FItems.begin() + Index);
    }
    int IndexOf(const T* Item) const {
        for (int i = 0; i < Count(); ++i)
            if (FItems[static_cast<size_t>(i)] == Item)
                return i;
        return -1;
    }
    void Remove(const T* Item) {
        const int i = IndexOf(Item);
        if (i >= 0)
            FItems.erase(FItems.begin() + i);
    }
    void Clear() { FItems.clear(); }
    // The target ends up with the source's items in order.
    void CopyFrom(const TDbgList& Source) {
        if (&Source != this)
            FItems = Source.FItems;
    }

private:
    static void CheckNegative(int Index) {
        if (Index < 0)
            throw plat::EListError("List index out of bounds (" + std::to_string(Index) + ")");
    }
    std::vector<T*> FItems;
};

enum TGradientDirection : uint8_t { gdHorizontal, gdVertical };
inline constexpr const char* kGradientDirectionNames[] = {"gdHorizontal", "gdVertical"};
static_assert(std::size(kGradientDirectionNames) == gdVertical + 1);

enum TPersistenceLocation : uint8_t { plRegistry, plIniFile };
inline constexpr const char* kPersistenceLocationNames[] = {"plRegistry", "plIniFile"};
static_assert(std::size(kPersistenceLocationNames) == plIniFile + 1);

// The face name of a record whose SystemFont is on.
std::string SystemFontName();

// Whether the object is of the named class or derives from it. The family asks this of its classes that
// are built above the unit asking (the toolbar form, pager and container).
bool IsOfClassNamed(const plat::TObject* Object, std::string_view ClassName);

// A value with a getter and a setter that stores a differing value and tells the record's owner.
#define KVX_TB_NOTIFYING(Type, Name, Init)                                                                   \
public:                                                                                                      \
    Type Name() const {                                                                                      \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void Set##Name(Type Value) {                                                                             \
        Store(F##Name, Value);                                                                               \
    }                                                                                                        \
                                                                                                             \
private:                                                                                                     \
    Type F##Name = Init;
// A value written straight into its field: the owner sees it at its next repaint.
#define KVX_TB_PLAIN(Type, Name, Init)                                                                       \
public:                                                                                                      \
    Type Name() const {                                                                                      \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void Set##Name(Type Value) {                                                                             \
        F##Name = Value;                                                                                     \
    }                                                                                                        \
                                                                                                             \
private:                                                                                                     \
    Type F##Name = Init;

// Base of the records: one change event that the owner sets right after creating the record.
class TToolBarRecord : public plat::TPersistent {
    PLAT_CLASS(TToolBarRecord)
public:
    plat::TNotifyEvent OnChange;

protected:
    void Changed() {
        if (OnChange)
            OnChange(this);
    }
    template <class T> void Store(T& Field, T Value) {
        if (Field == Value)
            return;
        Field = Value;
        Changed();
    }
};

// A two-colour gradient. Every write notifies, equal or not: owners use a write as "repaint now".
class TGradientBackground : public TToolBarRecord {
    PLAT_CLASS(TGradientBackground)
public:
    TGradientBackground() = default;
    void Assign(plat::TPersistent* Source) override;

    int Steps() const { return FSteps; }
    void SetSteps(int Value) { Write(FSteps, Value); }
    plat::TColor Color() const { return FColor; }
    void SetColor(plat::TColor Value) { Write(FColor, Value); }
    plat::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(plat::TColor Value) { Write(FColorTo, Value); }
    TGradientDirection Direction() const { return FDirection; }
    void SetDirection(TGradientDirection Value) { Write(FDirection, Value); }

private:
    template <class T> void Write(T& Field, T Value) {
        Field = Value;
        Changed();
    }
    int FSteps = 64;
    plat::TColor FColor = plat::clWhite;
    plat::TColor FColorTo = plat::clBtnFace;
    TGradientDirection FDirection = gdHorizontal;
};

// The lower half of a two-part face.
class TMirrorGradient : public TToolBarRecord {
    PLAT_CLASS(TMirrorGradient)
public:
    TMirrorGradient() = default;
    // Another kind of source is refused with the platform's assignment error.
    void Assign(plat::TPersistent* Source) override;

    KVX_TB_NOTIFYING(plat::TColor, ColorTo, plat::clBtnFace)
    KVX_TB_NOTIFYING(plat::TColor, Color, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirrorTo, 0xFFF4E3)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirror, 0xEDD9C8)
};

// A gradient with a mirrored lower half. The mirror's own event is left to whoever wires it.
class TVistaGradientBackground : public TGradientBackground {
    PLAT_CLASS(TVistaGradientBackground)
public:
    TVistaGradientBackground() : FMirror(std::make_unique<TMirrorGradient>()) {}
    void Assign(plat::TPersistent* Source) override;

    TMirrorGradient* Mirror() const { return FMirror.get(); }
    void SetMirror(TMirrorGradient* Value) { FMirror->Assign(Value); }

private:
    std::unique_ptr<TMirrorGradient> FMirror;
};

// Where and whether a dock panel, toolbar or pager keeps its layout. The reading and writing belongs to
// the owners.
class TPersistence : public TToolBarRecord {
    PLAT_CLASS(TPersistence)
public:
    explicit TPersistence(plat::TPersistent* AOwner = nullptr) : FOwner(AOwner) {}
    void Assign(plat::TPersistent* Source) override;
    plat::TPersistent* Owner() const { return FOwner; }

    KVX_TB_NOTIFYING(std::string, Key, "")
    KVX_TB_NOTIFYING(std::string, Section, "")
    KVX_TB_NOTIFYING(TPersistenceLocation, Location, plRegistry)
    KVX_TB_NOTIFYING(bool, Enabled, false)

private:
    plat::TPersistent* FOwner;
};

// A toolbar button's colours for its four looks (normal, hot, down, checked) and its caption font.
class TButtonAppearance : public TToolBarRecord {
    PLAT_CLASS(TButtonAppearance)
public:
    TButtonAppearance();
    // Copies the colours, the normal direction and the borders, silently; the font, SystemFont and the
    // per-look directions stay.
    void Assign(plat::TPersistent* Source) override;

    KVX_TB_NOTIFYING(plat::TColor, ColorHot, 0xD2BDB6)
    KVX_TB_NOTIFYING(plat::TColor, ColorTo, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, Color, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, ColorHotTo, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, ColorDownTo, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, ColorDown, 0xB59285)
    KVX_TB_PLAIN(plat::TColor, BorderDownColor, 0x6A240A)
    KVX_TB_NOTIFYING(plat::TColor, BorderColor, plat::clNone)
    KVX_TB_PLAIN(plat::TColor, BorderHotColor, 0x6A240A)
    KVX_TB_NOTIFYING(TGradientDirection, GradientDirection, gdVertical)
    KVX_TB_NOTIFYING(plat::TColor, ColorChecked, 0xD8D5D4)
    KVX_TB_NOTIFYING(plat::TColor, ColorCheckedTo, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, CaptionTextColorChecked, 0)
    KVX_TB_NOTIFYING(plat::TColor, CaptionTextColor, 0)
    KVX_TB_NOTIFYING(plat::TColor, CaptionTextColorHot, 0)
    KVX_TB_NOTIFYING(plat::TColor, CaptionTextColorDown, 0)
    KVX_TB_NOTIFYING(plat::TColor, BorderCheckedColor, 0x6A240A)
    KVX_TB_PLAIN(TGradientDirection, GradientDirectionDown, gdVertical)
    KVX_TB_PLAIN(TGradientDirection, GradientDirectionHot, gdVertical)
    KVX_TB_PLAIN(TGradientDirection, GradientDirectionChecked, gdVertical)

public:
    plat::TFont* CaptionFont() const { return FCaptionFont.get(); }
    // Always notifies: a font is compared by nobody.
    void SetCaptionFont(plat::TFont* Value);
    bool SystemFont() const { return FSystemFont; }
    // Turning it on puts the system's face name back.
    void SetSystemFont(bool Value);

private:
    std::unique_ptr<plat::TFont> FCaptionFont;
    bool FSystemFont = true;
};

// The line of the etched frame of the containers on a toolbar.
class TContainerAppearance : public TToolBarRecord {
    PLAT_CLASS(TContainerAppearance)
public:
    TContainerAppearance() = default;
    void Assign(plat::TPersistent* Source) override;

    KVX_TB_NOTIFYING(bool, Line3D, true)
    KVX_TB_NOTIFYING(plat::TColor, LineColor, plat::clBtnShadow)
};

// A two-half face: upper gradient, lower (mirror) gradient and frame. The shadow and highlight colours
// are plain fields.
class TVistaBackground : public TToolBarRecord {
    PLAT_CLASS(TVistaBackground)
public:
    TVistaBackground() = default;
    // Copies everything; only a differing gradient kind notifies.
    void Assign(plat::TPersistent* Source) override;

    KVX_TB_NOTIFYING(int, Steps, 64)
    KVX_TB_NOTIFYING(plat::TColor, Color, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, ColorTo, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirror, plat::clSilver)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirrorTo, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, BorderColor, plat::clGray)
    KVX_TB_NOTIFYING(TGDIPGradient, GradientMirror, ggVertical)
    KVX_TB_NOTIFYING(TGDIPGradient, Gradient, ggVertical)
    KVX_TB_PLAIN(plat::TColor, ShadowColor, 0xC4AA96)
    KVX_TB_PLAIN(plat::TColor, HighLightColor, 0xFDF9CE)
};

// The page background of the ribbon pager; publishes the shadow and highlight colours.
class TVistaPageBackground : public TVistaBackground {
    PLAT_CLASS(TVistaPageBackground)
public:
    TVistaPageBackground() = default;
};

// The caption bar of the ribbon pager: a two-half face with a title font and colour.
class TVistaTextBackground : public TVistaBackground {
    PLAT_CLASS(TVistaTextBackground)
public:
    TVistaTextBackground();
    void Assign(plat::TPersistent* Source) override;

    KVX_TB_NOTIFYING(plat::TColor, TextColor, plat::clBlue)

public:
    plat::TFont* Font() const { return FFont.get(); }
    void SetFont(plat::TFont* Value) { FFont->Assign(Value); }
    bool SystemFont() const { return FSystemFont; }
    void SetSystemFont(bool Value);

private:
    std::unique_ptr<plat::TFont> FFont;
    bool FSystemFont = true;
};

// The tabs of the ribbon pager per state, with mirror halves; the shadow and highlight colours and the
// hot border are plain fields.
class TCustomTabAppearance : public TToolBarRecord {
    PLAT_CLASS(TCustomTabAppearance)
public:
    TCustomTabAppearance();
    void Assign(plat::TPersistent* Source) override;

    KVX_TB_NOTIFYING(plat::TColor, BorderColor, plat::clBtnFace)
    KVX_TB_PLAIN(plat::TColor, BorderColorHot, plat::clBlue)
    KVX_TB_NOTIFYING(plat::TColor, BorderColorSelected, plat::clBtnFace)
    KVX_TB_NOTIFYING(plat::TColor, BorderColorSelectedHot, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, BorderColorDisabled, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, BorderColorDown, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, Color, plat::clBtnFace)
    KVX_TB_NOTIFYING(plat::TColor, ColorTo, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, ColorHot, plat::clYellow)
    KVX_TB_NOTIFYING(plat::TColor, ColorHotTo, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, ColorSelected, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, ColorSelectedTo, plat::clBtnFace)
    KVX_TB_NOTIFYING(plat::TColor, ColorDisabled, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, ColorDisabledTo, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirror, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirrorTo, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirrorHot, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirrorHotTo, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirrorSelected, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirrorSelectedTo, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirrorDisabled, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirrorDisabledTo, plat::clNone)
    KVX_TB_NOTIFYING(TGDIPGradient, Gradient, ggVertical)
    KVX_TB_NOTIFYING(TGDIPGradient, GradientMirror, ggVertical)
    KVX_TB_NOTIFYING(TGDIPGradient, GradientHot, ggVertical)
    KVX_TB_NOTIFYING(TGDIPGradient, GradientMirrorHot, ggVertical)
    KVX_TB_NOTIFYING(TGDIPGradient, GradientSelected, ggVertical)
    KVX_TB_NOTIFYING(TGDIPGradient, GradientMirrorSelected, ggVertical)
    KVX_TB_NOTIFYING(TGDIPGradient, GradientDisabled, ggVertical)
    KVX_TB_NOTIFYING(TGDIPGradient, GradientMirrorDisabled, ggVertical)
    KVX_TB_NOTIFYING(plat::TColor, TextColor, plat::clBlue)
    KVX_TB_NOTIFYING(plat::TColor, TextColorHot, plat::clBlue)
    KVX_TB_NOTIFYING(plat::TColor, TextColorSelected, plat::clBlue)
    KVX_TB_NOTIFYING(plat::TColor, TextColorDisabled, plat::clWhite)
    KVX_TB_PLAIN(plat::TColor, ShadowColor, 0xE8C7AE)
    KVX_TB_PLAIN(plat::TColor, HighLightColor, 0xFFFABF)
    KVX_TB_PLAIN(plat::TColor, HighLightColorHot, 0xFDF4ED)
    KVX_TB_PLAIN(plat::TColor, HighLightColorSelected, 0x63CCF8)
    KVX_TB_PLAIN(plat::TColor, HighLightColorSelectedHot, 0xBDFFFF)
    KVX_TB_PLAIN(plat::TColor, HighLightColorDown, 0xFFFBD0)

public:
    plat::TFont* Font() const { return FFont.get(); }
    void SetFont(plat::TFont* Value) { FFont->Assign(Value); }
    bool SystemFont() const { return FSystemFont; }
    void SetSystemFont(bool Value);
    // Published by TTabAppearance; its changes are this record's changes.
    TGradientBackground* BackGround() const { return FBackGround.get(); }
    void SetBackGround(TGradientBackground* Value) { FBackGround->Assign(Value); }

private:
    std::unique_ptr<plat::TFont> FFont;
    bool FSystemFont = true;
    std::unique_ptr<TGradientBackground> FBackGround;
};

// Publishes the background.
class TTabAppearance : public TCustomTabAppearance {
    PLAT_CLASS(TTabAppearance)
public:
    TTabAppearance() = default;
};

// Toolbar captions.
class TCaptionAppearance : public TToolBarRecord {
    PLAT_CLASS(TCaptionAppearance)
public:
    TCaptionAppearance() = default;
    void Assign(plat::TPersistent* Source) override;

    KVX_TB_NOTIFYING(plat::TColor, CaptionColor, plat::clGray)
    KVX_TB_NOTIFYING(plat::TColor, CaptionColorTo, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, CaptionColorHot, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, CaptionColorHotTo, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, CaptionTextColor, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, CaptionTextColorHot, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, CaptionBorderColor, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, CaptionBorderColorHot, plat::clNone)
};

// A toolbar placed on a grouped page. The gradients are not wired: only the borders notify.
class TToolBarAppearance : public TToolBarRecord {
    PLAT_CLASS(TToolBarAppearance)
public:
    TToolBarAppearance();
    void Assign(plat::TPersistent* Source) override;

    TGradientBackground* Color() const { return FColor.get(); }
    void SetColor(TGradientBackground* Value) { FColor->Assign(Value); }
    TGradientBackground* ColorHot() const { return FColorHot.get(); }
    void SetColorHot(TGradientBackground* Value) { FColorHot->Assign(Value); }

    KVX_TB_NOTIFYING(plat::TColor, BorderColor, plat::clNone)
    KVX_TB_NOTIFYING(plat::TColor, BorderColorHot, plat::clNone)

private:
    std::unique_ptr<TGradientBackground> FColor;
    std::unique_ptr<TGradientBackground> FColorHot;
};

// A coloured group of adjacent pager tabs; a change anywhere inside reaches the group's owner.
class TGroupAppearance : public TToolBarRecord {
    PLAT_CLASS(TGroupAppearance)
public:
    TGroupAppearance();
    // Copies all but the toolbar appearance and SystemFont.
    void Assign(plat::TPersistent* Source) override;

    KVX_TB_NOTIFYING(plat::TColor, Color, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, ColorTo, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirror, plat::clSilver)
    KVX_TB_NOTIFYING(plat::TColor, ColorMirrorTo, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, BorderColor, 0xA3B8AC)
    KVX_TB_NOTIFYING(plat::TColor, TextColor, plat::clBlue)
    KVX_TB_NOTIFYING(TGDIPGradient, Gradient, ggVertical)
    KVX_TB_NOTIFYING(TGDIPGradient, GradientMirror, ggVertical)

public:
    TCaptionAppearance* CaptionAppearance() const { return FCaptionAppearance.get(); }
    void SetCaptionAppearance(TCaptionAppearance* Value) { FCaptionAppearance->Assign(Value); }
    TVistaPageBackground* PageAppearance() const { return FPageAppearance.get(); }
    void SetPageAppearance(TVistaPageBackground* Value) { FPageAppearance->Assign(Value); }
    TToolBarAppearance* ToolBarAppearance() const { return FToolBarAppearance.get(); }
    void SetToolBarAppearance(TToolBarAppearance* Value) { FToolBarAppearance->Assign(Value); }
    TCustomTabAppearance* TabAppearance() const { return FTabAppearance.get(); }
    void SetTabAppearance(TCustomTabAppearance* Value) { FTabAppearance->Assign(Value); }
    plat::TFont* Font() const { return FFont.get(); }
    void SetFont(plat::TFont* Value) { FFont->Assign(Value); }
    bool SystemFont() const { return FSystemFont; }
    void SetSystemFont(bool Value);
    int Steps() const { return FSteps; }

private:
    std::unique_ptr<TCaptionAppearance> FCaptionAppearance;
    std::unique_ptr<TVistaPageBackground> FPageAppearance;
    std::unique_ptr<TToolBarAppearance> FToolBarAppearance;
    std::unique_ptr<TCustomTabAppearance> FTabAppearance;
    std::unique_ptr<plat::TFont> FFont;
    bool FSystemFont = true;
    int FSteps = 64;
};

// The quick access toolbar, in the caption bar and as a full-width row.
class TQATAppearance : public TToolBarRecord {
    PLAT_CLASS(TQATAppearance)
public:
    TQATAppearance() = default;
    // Steps stays; only FullSizeColorTo notifies.
    void Assign(plat::TPersistent* Source) override;

    KVX_TB_NOTIFYING(int, Steps, 64)
    KVX_TB_NOTIFYING(plat::TColor, Color, plat::clWhite)
    KVX_TB_NOTIFYING(plat::TColor, ColorTo, plat::clSilver)
    KVX_TB_NOTIFYING(plat::TColor, BorderColor, plat::clGray)
    KVX_TB_NOTIFYING(plat::TColor, FullSizeColor, 0xC59F81)
    KVX_TB_NOTIFYING(plat::TColor, FullSizeColorTo, 0xE3B28D)
    KVX_TB_NOTIFYING(plat::TColor, FullSizeBorderColor, plat::clBlack)
};

// Tab metrics of the ribbon pager.
class TKTBTabSettings : public TToolBarRecord {
    PLAT_CLASS(TKTBTabSettings)
public:
    TKTBTabSettings() = default;
    // Copies five metrics through the setters; Spacing and the minima stay.
    void Assign(plat::TPersistent* Source) override;

    KVX_TB_NOTIFYING(int, LeftMargin, 4)
    KVX_TB_NOTIFYING(int, RightMargin, 4)
    KVX_TB_NOTIFYING(int, Height, 26)
    KVX_TB_NOTIFYING(int, StartMargin, 60)
    KVX_TB_NOTIFYING(int, EndMargin, 0)
    KVX_TB_NOTIFYING(int, Spacing, 4)

public:
    int MinimumSpacing() const { return FMinimumSpacing; }
    int MinimumMargin() const { return FMinimumMargin; }

private:
    int FMinimumSpacing = 3;
    int FMinimumMargin = 3;
};

// A scroll range; the bounds refuse to cross, the position is the caller's to limit.
class TKTBTabScroller {
public:
    int Min() const { return FMin; }
    void SetMin(int Value) {
        if (FMax >= Value)
            FMin = Value;
    }
    int Max() const { return FMax; }
    void SetMax(int Value) {
        if (Value >= FMin)
            FMax = Value;
    }
    int Position() const { return FPosition; }
    void SetPosition(int Value) { FPosition = Value; }
    bool CanGoBack() const { return FMin < FPosition; }
    bool CanGoForward() const { return FPosition < FMax; }

private:
    int FMin = 0;
    int FMax = 0;
    int FPosition = 0;
};

// A coloured group of adjacent pager tabs.
class TTabGroupItem : public plat::TCollectionItem {
    PLAT_CLASS(TTabGroupItem)
public:
    explicit TTabGroupItem(plat::TCollection* Collection);
    // Caption and range only; the look stays.
    void Assign(plat::TPersistent* Source) override;

    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { StoreInt(FImageIndex, Value); }
    int TabIndexStart() const { return FTabIndexStart; }
    void SetTabIndexStart(int Value) { StoreInt(FTabIndexStart, Value); }
    int TabIndexEnd() const { return FTabIndexEnd; }
    void SetTabIndexEnd(int Value) { StoreInt(FTabIndexEnd, Value); }
    bool DefaultAppearance() const { return FDefaultAppearance; }
    void SetDefaultAppearance(bool Value);
    TGroupAppearance* GroupAppearance() const { return FGroupAppearance.get(); }
    void SetGroupAppearance(TGroupAppearance* Value) { FGroupAppearance->Assign(Value); }
    plat::TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(plat::TAlignment Value);
    // Whether the group covers the tab: a range with a negative bound, inverted, or reaching past the
    // last page groups nothing.
    bool Covers(int TabIndex, int PageCount) const;

private:
    void StoreInt(int& Field, int Value);
    void GroupChanged();
    std::string FCaption;
    int FImageIndex = -1;
    int FTabIndexStart = -1;
    int FTabIndexEnd = -1;
    bool FDefaultAppearance = true;
    std::unique_ptr<TGroupAppearance> FGroupAppearance;
    plat::TAlignment FCaptionAlignment = plat::taLeftJustify;
};

class TTabGroups : public plat::TOwnedCollection {
    PLAT_CLASS(TTabGroups)
public:
    explicit TTabGroups(plat::TPersistent* AOwner);
    TTabGroupItem* Items(int Index) const { return static_cast<TTabGroupItem*>(TCollection::Items(Index)); }
    TTabGroupItem* Add() { return static_cast<TTabGroupItem*>(TCollection::Add()); }
    // The first group, in order, that covers the tab; -1 for none.
    int GroupOfTab(int TabIndex, int PageCount) const;
    plat::TNotifyEvent OnChange;

protected:
    void Update(plat::TCollectionItem* Item) override;

private:
    friend class TTabGroupItem;
    void GroupChanged() {
        if (OnChange)
            OnChange(this);
    }
};

} // namespace ui::toolbar
