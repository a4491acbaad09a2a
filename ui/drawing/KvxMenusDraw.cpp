// Measuring and painting the items of the owner-drawn menus, and the gradient fills they are made of.
#include <algorithm>
#include <cmath>

#include "platform/gfx/TextLayout.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/ActionList.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"
#include "ui/drawing/KvxMenus.h"

using namespace plat;

namespace ui {

namespace {

constexpr TOwnerDrawState kSelected = odSelected;
constexpr uint32_t kWinKeyFlag = 0x0200;
constexpr int kBarItemPadding = 7;
// The caption's own line break: backslash and n, as typed in the designer.
constexpr std::string_view kNoteBreak = "\\n";

TColor Mix(const TRGB& a, const TRGB& b, int offset, int extent) {
    auto ch = [&](int x, int y) { return x + (y - x) * offset / extent; };
    return RGB(ch(a.R, b.R), ch(a.G, b.G), ch(a.B, b.B));
}

void Line(TCanvas* Canvas, int x1, int y1, int x2, int y2, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(1);
    Canvas->MoveTo(x1, y1);
    Canvas->LineTo(x2, y2);
}

void Frame(TCanvas* Canvas, const TRect& R, TColor Color) {
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color);
    Canvas->FrameRect(R);
}

bool IsBarItem(const TMenuItem* Item) {
    TMenu* menu = Item->GetParentMenu();
    return menu && Item->Parent() == menu->Items() && !dynamic_cast<TPopupMenu*>(menu);
}

// An item at or before this one in its parent starts a new column: the side bar stays away.
bool ColumnBreakApplies(const TMenuItem* Item) {
    const TMenuItem* parent = Item->Parent();
    if (!parent)
        return false;
    for (int i = 0; i <= parent->IndexOf(Item); ++i) {
        const TMenuItem* it = parent->Items(i);
        if (it->Visible() && it->Break() != mbNone)
            return true;
    }
    return false;
}

TMenuItem* FirstVisible(const TMenuItem* Parent) {
    for (int i = 0; i < Parent->Count(); ++i)
        if (Parent->Items(i)->Visible())
            return Parent->Items(i);
    return nullptr;
}

// The caption proper, and the note lines after it.
std::vector<std::string> SplitNotes(const std::string& Caption) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = Caption.find(kNoteBreak, start);
        if (at == std::string::npos) {
            parts.push_back(Caption.substr(start));
            return parts;
        }
        parts.push_back(Caption.substr(start, at - start));
        start = at + kNoteBreak.size();
    }
}

bool HasNotes(IKvxMenu* Menu, const std::string& Caption) {
    return Menu->GetShowNotes() && Caption.find(kNoteBreak) != std::string::npos;
}

std::string CaptionProper(IKvxMenu* Menu, const std::string& Caption) {
    return HasNotes(Menu, Caption) ? SplitNotes(Caption).front() : Caption;
}

void UseFont(TCanvas* Canvas, TFont* Font, bool UseSystem) {
    if (UseSystem && Screen && Screen->MenuFont())
        Canvas->Font()->Assign(Screen->MenuFont());
    else
        Canvas->Font()->Assign(Font);
}

TRect Measure(TCanvas* Canvas, const std::string& Text, uint32_t Format) {
    TRect r;
    DrawText(*Canvas->Handle(), Text, r, Format | DT_CALCRECT);
    return r;
}

// The rectangle, in the drop-down window, that the items of Parent cover together.
TRect PopupRect(TMenuItem* Item) {
    TRect all;
    bool any = false;
    HWND wnd = MenuItemWindow(Item);
    TRect wr;
    if (!wnd || !GetWindowRect(wnd, wr))
        return all;
    const TMenuItem* parent = Item->Parent();
    for (int i = 0; i < parent->Count(); ++i) {
        TRect r;
        if (!GetMenuItemRect(parent->Items(i), r))
            continue;
        OffsetRect(r, -wr.Left, -wr.Top);
        if (any)
            UnionRect(all, all, r);
        else
            all = r;
        any = true;
    }
    return all;
}

// One line in the canvas font and colour, laid out in Rect without wrapping, '&' underlines shown.
void DrawAntiAliasedText(TCanvas* Canvas, const std::string& Text, const TRect& Rect, uint32_t Align,
                         bool VCenter, TAntiAlias Quality) {
    TGPGraphics g(Canvas->Handle());
    ApplyAntiAlias(g, Quality);
    std::unique_ptr<TGPFontFamily> family = CreateGdipFontFamily(Canvas->Font()->Name());
    TGPFont font(family.get(), static_cast<float>(Canvas->Font()->Size()), 0, 3);
    TGPStringFormat format(0x1000);
    format.SetHotkeyPrefix(1);
    format.SetAlign(Align == DT_CENTER ? 1 : Align == DT_RIGHT ? 2 : 0);
    if (VCenter)
        format.SetLineAlign(1);
    TGPSolidBrush brush(MakeGdipColor(Canvas->Font()->Color()));
    g.DrawString(Text, -1, &font,
                 MakeGdipRectF(float(Rect.Left), float(Rect.Top), float(Rect.Right - Rect.Left),
                               float(Rect.Bottom - Rect.Top)),
                 &format, &brush);
}

} // namespace

IKvxMenu* KvxMenuOf(const TMenuItem* Item) {
    if (!Item)
        return nullptr;
    TComponent* menu = Item->GetParentMenu();
    if (!menu)
        menu = Item->Owner();
    // A menu on its way out may have no styler left to paint with.
    auto* kvx = dynamic_cast<IKvxMenu*>(menu);
    return kvx && kvx->GetStylerInUse() ? kvx : nullptr;
}

// ---- Gradients ----

void DrawGradient(TCanvas* Canvas, const TRect& R, TGradientDirection Direction, TColor ColorTo,
                  TColor Color) {
    if (ColorTo == clNone)
        ColorTo = Color;
    if (ColorTo == Color) {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(Color);
        Canvas->FillRect(R);
        return;
    }
    if (R.Height() <= 0)
        return;
    TRGB a = SplitColor(Color), b = SplitColor(ColorTo);
    if (Direction == gdVertical) {
        for (int y = R.Top; y < R.Bottom; ++y)
            Line(Canvas, R.Left, y, R.Right, y, Mix(a, b, y - R.Top, R.Height()));
    } else {
        for (int x = R.Left; x < R.Right; ++x)
            Line(Canvas, x, R.Top, x, R.Bottom, Mix(a, b, x - R.Left, R.Width()));
    }
}

void DrawClippedGradient(TCanvas* Canvas, const TRect& Full, TGradientDirection Direction, TColor ColorTo,
                         TColor Color, const TRect& Clip) {
    TRect part;
    if (!IntersectRect(part, Clip, Full))
        return;
    if (ColorTo == clNone)
        ColorTo = Color;
    TRGB a = SplitColor(Color), b = SplitColor(ColorTo);
    TColor from, to;
    if (Direction == gdVertical) {
        int extent = std::max(1, Full.Height());
        from = Mix(a, b, part.Top - Full.Top, extent);
        to = Mix(a, b, part.Bottom - Full.Top, extent);
    } else {
        int extent = std::max(1, Full.Width());
        from = Mix(a, b, part.Left - Full.Left, extent);
        to = Mix(a, b, part.Right - Full.Left, extent);
    }
    DrawGradient(Canvas, part, Direction, to, from);
}

void DrawGradientBox(TCanvas* Canvas, const TRect& R, bool Fill, TColor Border, TGradientDirection Direction,
                     TColor ColorTo, TColor Color) {
    if (Fill && Color != clNone)
        DrawGradient(Canvas, R, Direction, ColorTo, Color);
    if (Border != clNone)
        Frame(Canvas, R, Border);
}

void DrawMirrorBox(TCanvas* Canvas, const TRect& R, bool Fill, TColor Border, TGradientDirection Direction,
                   TColor MirrorTo, TColor Mirror, TColor ColorTo, TColor Color) {
    if (Fill && Color != clNone) {
        if (Mirror != clNone) {
            int mid = R.Top + R.Height() / 2;
            DrawGradient(Canvas, TRect(R.Left, R.Top, R.Right, mid), Direction, ColorTo, Color);
            DrawGradient(Canvas, TRect(R.Left, mid, R.Right, R.Bottom), Direction, MirrorTo, Mirror);
        } else {
            DrawGradient(Canvas, R, Direction, ColorTo, Color);
        }
    }
    if (Border != clNone)
        Frame(Canvas, R, Border);
}

void DrawGradientLine(TCanvas* Canvas, TRect R, int Margin, int GradientWidth, TGradientType Type,
                      TGradientDirection Direction, TColor ColorTo, TColor Color) {
    if (ColorTo == clNone)
        ColorTo = Color;
    int w = GradientWidth;
    auto fill = [&](TRect r, TColor c) { DrawGradient(Canvas, r, gdVertical, c, c); };
    if (Direction == gdHorizontal) {
        R.Left += Margin;
        R.Right -= Margin;
        int length = R.Width();
        if (w < length) {
            switch (Type) {
            case gtLeft:
                fill(TRect(R.Left + w, R.Top, R.Right, R.Bottom), ColorTo);
                break;
            case gtRight:
                fill(TRect(R.Left, R.Top, R.Right - w, R.Bottom), ColorTo);
                break;
            case gtBoth:
                fill(TRect(R.Left + w / 2, R.Top, R.Right - w / 2, R.Bottom), Color);
                break;
            }
        } else {
            w = length;
        }
        if (w < 1)
            return;
        switch (Type) {
        case gtLeft:
            DrawGradient(Canvas, TRect(R.Left, R.Top, R.Left + w, R.Bottom), gdHorizontal, ColorTo, Color);
            break;
        case gtRight:
            DrawGradient(Canvas, TRect(R.Right - w, R.Top, R.Right, R.Bottom), gdHorizontal, Color, ColorTo);
            break;
        case gtBoth:
            DrawGradient(Canvas, TRect(R.Left, R.Top, R.Left + w / 2, R.Bottom), gdHorizontal, Color,
                         ColorTo);
            DrawGradient(Canvas, TRect(R.Right - w / 2, R.Top, R.Right, R.Bottom), gdHorizontal, ColorTo,
                         Color);
            break;
        }
        return;
    }
    R.Top += Margin;
    R.Bottom -= Margin;
    if (Type == gtBoth)
        w *= 2;
    int length = R.Height();
    if (w < length) {
        switch (Type) {
        case gtLeft:
            fill(TRect(R.Left, R.Top, R.Right, R.Bottom - w), ColorTo);
            break;
        case gtRight:
            fill(TRect(R.Left, R.Top + w, R.Right, R.Bottom), ColorTo);
            break;
        case gtBoth:
            fill(TRect(R.Left, R.Top + w / 2, R.Right, R.Bottom - w / 2), Color);
            break;
        }
    } else {
        w = length;
    }
    if (w < 1)
        return;
    switch (Type) {
    case gtLeft:
        DrawGradient(Canvas, TRect(R.Left, R.Bottom - w, R.Right, R.Bottom), gdVertical, Color, ColorTo);
        break;
    case gtRight:
        DrawGradient(Canvas, TRect(R.Left, R.Top, R.Right, R.Top + w), gdVertical, ColorTo, Color);
        break;
    case gtBoth:
        DrawGradient(Canvas, TRect(R.Left, R.Top, R.Right, R.Top + w / 2), gdVertical, Color, ColorTo);
        DrawGradient(Canvas, TRect(R.Left, R.Bottom - w / 2, R.Right, R.Bottom), gdVertical, ColorTo, Color);
        break;
    }
}

// ---- Measuring ----

bool SideBarShownFor(const TMenuItem* Item) {
    IKvxMenu* menu = KvxMenuOf(Item);
    if (!menu)
        return false;
    TSideBar* bar = menu->GetStylerInUse()->SideBar();
    if (!bar->Visible())
        return false;
    TMenu* m = menu->GetMenu();
    bool mainMenu = !dynamic_cast<TPopupMenu*>(m);
    const TMenuItem* parent = Item->Parent();
    switch (bar->VisibleIn()) {
    case viFirstVisible:
        if (mainMenu)
            return parent && parent->Parent() == m->Items() && parent == FirstVisible(m->Items());
        return IsBarItem(Item);
    case viFirstLevel:
        return parent == m->Items() ? !mainMenu : (parent && IsBarItem(parent));
    case viAnyLevel:
        return !IsBarItem(Item);
    }
    return false;
}

void MeasureKvxMenuItem(TMenuItem* Item, TCanvas* Canvas, int& Width, int& Height, bool SideBarShown) {
    IKvxMenu* menu = KvxMenuOf(Item);
    if (!menu)
        return;
    TCustomKvxMenuStyler* s = menu->GetStylerInUse();
    const bool bar = IsBarItem(Item);
    if (bar)
        Height = GetSystemMetrics(SM_CYMENU);
    if (Item->IsLine()) {
        Height = s->Separator()->Width() + 2;
        Width = -2;
        return;
    }
    if (!bar)
        Width = s->IconBar()->Size();
    TCustomImageList* images = Item->GetImageList();
    if (images && (Item->ImageIndex() >= 0 || !bar)) {
        if (bar)
            Width = images->Width();
        else
            Height = std::max(Height, images->Height());
    } else if (Item->HasBitmap()) {
        if (bar)
            Width = 16;
        else
            Height = std::max(Height, 16);
    } else {
        if (bar)
            Width = -7;
        else
            Height -= 3;
    }
    if (!bar) {
        Width += 15;
        Height += 5;
    }
    std::string text = CaptionProper(menu, Item->Caption());
    if (Item->ShortCut() != scNone)
        text += MenuShortCutText(Item->ShortCut(), menu->GetIntlKeybShortCuts());
    if (bar) {
        if (!s->RootItem()->UseSystemFont())
            Canvas->Font()->Assign(s->RootItem()->Font());
    } else if (!s->UseSystemFont()) {
        Canvas->Font()->Assign(s->Font());
    } else if (!s->SelectedItem()->UseSystemFont()) {
        Canvas->Font()->Assign(s->SelectedItem()->Font());
    }
    TRect r = Measure(Canvas, text, DT_SINGLELINE | DT_EXPANDTABS);
    Width += r.Width() + 7;
    if (!s->UseSystemFont())
        Height = r.Height() + 6;
    if (bar) {
        // The room a menu bar leaves on either side of an owner-drawn item's text.
        Width += 2 * kBarItemPadding;
        return;
    }
    if (Item->ShortCut() & kWinKeyFlag)
        Width += Canvas->TextWidth("Win+");
    if (SideBarShown && !ColumnBreakApplies(Item))
        Width += s->SideBar()->Size() + s->SideBar()->SplitterWidth();
    // The last 17 pixels leave room for the sub-menu arrow.
    Height = (Height + 1) / 2 * 2;
    Width += 17;
    if (HasNotes(menu, Item->Caption())) {
        Canvas->Font()->Assign(s->NotesFont());
        int h = Canvas->TextHeight("gh");
        std::vector<std::string> parts = SplitNotes(Item->Caption());
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
            Width = std::max(Width, Canvas->TextWidth(parts[i]));
            Height += h;
        }
        if (!parts.back().empty())
            Width = std::max(Width, Canvas->TextWidth(parts.back()) + s->IconBar()->Size() + 32);
    }
}

// ---- Painting ----

namespace {

void DrawSideBar(TCustomKvxMenuStyler* s, TCanvas* Canvas, const TRect& B) {
    TSideBar* bar = s->SideBar();
    bar->Background()->Paint(Canvas, B, true);
    if (bar->Image()->Color() != clNone)
        bar->Image()->Paint(Canvas, B, true);
    if (!bar->Caption().empty()) {
        Canvas->Font()->Assign(bar->Font());
        TSize ext = Canvas->TextExtent(bar->Caption());
        int cx = ext.cx, cy = ext.cy;
        HFONT rotated = CreateRotatedFont(bar->Font(), bar->Direction() == dUpToDown ? -90 : 90);
        int x = static_cast<int>(Round((bar->Size() - cy) / 2.0 - 0.5));
        int y = 0;
        bool downToUp = bar->Direction() == dDownToUp;
        if (bar->Alignment() == taCenter) {
            y = static_cast<int>(Round((B.Height() + cx) / 2.0 - 0.5));
        } else if ((bar->Alignment() == taRightJustify) == downToUp) {
            y = bar->VerticalOffset() + cx;
        } else {
            y = B.Height() - bar->VerticalOffset();
            TBackgroundPosition pos = bar->Image()->Position();
            if (bar->Image()->HasPicture() && (pos == bpBottomLeft || pos == bpBottomRight))
                y -= bar->Image()->Image()->Height();
        }
        if (!downToUp) {
            y -= cx;
            x += cy + 1;
        }
        TDeviceContext* dc = Canvas->Handle();
        HFONT old = dc->SelectFont(rotated);
        int oldMode = dc->SetBkMode(TRANSPARENT);
        TColor oldColor = dc->GetTextColor();
        ScopeGuard restore([&] {
            dc->SetTextColor(oldColor);
            dc->SetBkMode(oldMode);
            dc->SelectFont(old);
        });
        auto out = [&](int px, int py, TColor c) {
            dc->SetTextColor(ColorToRGB(c));
            dc->ExtTextOut(B.Left + px, B.Top + py, ETO_CLIPPED, &B, bar->Caption());
        };
        if (bar->ShadowColor() != clNone)
            out(x + bar->Depth(), y - bar->Depth(), bar->ShadowColor());
        out(x, y, bar->Font()->Color());
    }
    int sw = bar->SplitterWidth();
    if (bar->BorderColor() != clNone)
        Frame(Canvas, TRect(B.Left, B.Top, B.Right - sw, B.Bottom), bar->BorderColor());
    if (bar->SplitterColor() != clNone)
        DrawGradientLine(Canvas, TRect(B.Right - sw, B.Top, B.Right, B.Bottom), bar->SplitterMargin(),
                         bar->SplitterGradientWidth(), bar->SplitterGradientType(), gdVertical,
                         bar->SplitterColorTo(), bar->SplitterColor());
}

void DrawMenuSeparator(TCustomKvxMenuStyler* s, TCanvas* Canvas, const TRect& C) {
    TSeparator* sep = s->Separator();
    int mid = (C.Top + C.Bottom) / 2;
    TRect r(C.Left + s->IconBar()->Size(), mid - sep->Width() / 2, C.Right, mid + (sep->Width() + 1) / 2);
    DrawGradientLine(Canvas, r, sep->Margin(), sep->GradientWidth(), sep->GradientType(), gdHorizontal,
                     sep->ColorTo(), sep->Color());
}

void DrawGlyph(TCanvas* Canvas, TBitmap* Glyph, int X, int Y, TColor Color) {
    // The glyphs are masks: their dark pixels take the colour asked for.
    if (!Glyph || Glyph->Empty())
        return;
    // A colour copy: a one-bit picture would be drawn in the canvas colours instead.
    TBitmap tinted;
    tinted.Assign(Glyph);
    tinted.SetPixelFormat(pf24bit);
    TColor ink = ColorToRGB(Color);
    // Glyphs are drawn dark on white (the sub-menu arrow's corner pixel is ink, so the automatic
    // transparent colour would not do).
    const TColor key = 0xFFFFFF;
    for (int y = 0; y < tinted.Height(); ++y)
        for (int x = 0; x < tinted.Width(); ++x)
            if (tinted.Canvas()->Pixels(x, y) != key)
                tinted.Canvas()->SetPixels(x, y, ink);
    tinted.SetTransparentMode(tmFixed);
    tinted.SetTransparentColor(key);
    tinted.SetTransparent(true);
    Canvas->Draw(X, Y, &tinted);
}

// The bar's gradient behind one bar item: one gradient across the whole bar, the last item's part
// reaching to the bar's end.
bool DrawBarBackground(TCustomKvxMenuStyler* s, TMenuItem* Item, TCanvas* Canvas, const TRect& R) {
    auto* menu = dynamic_cast<TMainMenu*>(Item->GetParentMenu());
    TCustomForm* form = nullptr;
    if (menu)
        for (TCustomForm* f : menu->Forms())
            if (f->HandleAllocated()) {
                form = f;
                break;
            }
    if (!form)
        return false;
    TRect client = GetClientInWindow(form->WindowHandle());
    TRect full(client.Left, R.Top, client.Right, R.Bottom);
    TRect clip = R;
    TMenuItem* last = nullptr;
    for (int i = 0; i < menu->Items()->Count(); ++i)
        if (menu->Items()->Items(i)->Visible() && !menu->Items()->Items(i)->IsLine())
            last = menu->Items()->Items(i);
    if (last == Item) {
        clip.Right = client.Right;
        TCustomForm* child = form->ActiveMDIChild();
        if (child && child->WindowState() == wsMaximized) {
            TBorderIcons icons = child->BorderIcons();
            for (TBorderIcons b : {biMinimize, biMaximize, biSystemMenu})
                if (icons & b)
                    clip.Right -= GetSystemMetrics(SM_CXMENUSIZE);
        }
    }
    TRootItem* root = s->RootItem();
    if (root->Color() != clNone)
        DrawClippedGradient(Canvas, full, root->GradientDirection(), root->ColorTo(), root->Color(), clip);
    return true;
}

void DrawContent(IKvxMenu* menu, TMenuItem* Item, TCanvas* Canvas, TRect R, TOwnerDrawState State, bool bar) {
    TCustomKvxMenuStyler* s = menu->GetStylerInUse();
    const bool selected = (State & kSelected) != 0;
    const bool disabled = (State & odDisabled) != 0;
    TRootItem* root = s->RootItem();
    if (bar) {
        if (selected) {
            DrawMirrorBox(Canvas, R, true, root->SelectedBorderColor(), root->SelectedGradientDirection(),
                          root->SelectedColorMirrorTo(), root->SelectedColorMirror(), root->SelectedColorTo(),
                          root->SelectedColor());
            if (Item->Count() > 0)
                Line(Canvas, R.Left, R.Bottom - 1, R.Right - 1, R.Bottom - 1, s->Background()->Color());
        } else if (State & odHotLight) {
            DrawMirrorBox(Canvas, R, true, root->HoverBorderColor(), root->HoverGradientDirection(),
                          root->HoverColorMirrorTo(), root->HoverColorMirror(), root->HoverColorTo(),
                          root->HoverColor());
        }
    } else if (selected) {
        TSelectedItem* sel = s->SelectedItem();
        DrawMirrorBox(Canvas, R, true, sel->BorderColor(), sel->GradientDirection(), sel->ColorMirrorTo(),
                      sel->ColorMirror(), sel->ColorTo(), sel->Color());
    }

    uint32_t align = DT_LEFT;
    if (bar)
        align = DT_CENTER;
    else if (auto* pm = dynamic_cast<TPopupMenu*>(menu->GetMenu()))
        align = pm->Alignment() == paRight ? DT_RIGHT : pm->Alignment() == paCenter ? DT_CENTER : DT_LEFT;

    TRect q(R.Left, R.Top + 1, R.Left + s->IconBar()->Size(), R.Bottom - 1);
    int side = std::min(q.Width(), q.Height());
    TRect check = CenterBox(q, side, side);

    TCustomImageList* images = Item->GetImageList();
    bool listImage = images && Item->ImageIndex() >= 0 && Item->ImageIndex() < images->Count();
    auto* action = dynamic_cast<TCustomAction*>(Item->Action());
    TCustomImageList* actionImages =
        action && action->ActionList() ? action->ActionList()->Images() : nullptr;
    bool actionImage =
        actionImages && action->ImageIndex() != -1 && action->ImageIndex() < actionImages->Count();
    bool bitmap = !listImage && Item->HasBitmap() && !Item->Bitmap()->Empty();
    bool glyph = Item->Checked() && !bar && !listImage && !bitmap;
    TRect d = check;
    if (listImage || actionImage || bitmap || glyph) {
        const TBoxColors& box = Item->RadioItem() && glyph
                                    ? (selected ? s->SelectedItem()->Radio() : s->IconBar()->Radio())
                                    : (selected ? s->SelectedItem()->Check() : s->IconBar()->Check());
        if (Item->Checked())
            DrawGradientBox(Canvas, check, !disabled, box.Border, box.Direction, box.Color[1], box.Color[0]);
        if (listImage || actionImage) {
            TCustomImageList* shown = listImage ? images : actionImages;
            d = CenterBox(d, shown->Width(), shown->Height());
            if (bar)
                OffsetRect(d, R.Left + 6 - d.Left, 0);
            TCustomImageList* disabledImages = menu->GetDisabledImages();
            if (!listImage)
                actionImages->Draw(Canvas, d.Left, d.Top, action->ImageIndex(), Item->Enabled());
            else if (!disabledImages || Item->Enabled())
                images->Draw(Canvas, d.Left, d.Top, Item->ImageIndex(), Item->Enabled());
            else if (Item->ImageIndex() < disabledImages->Count())
                disabledImages->Draw(Canvas, d.Left, d.Top, Item->ImageIndex(), true);
        } else {
            d = CenterBox(d, 16, 16);
            if (bar)
                OffsetRect(d, R.Left + 6 - d.Left, 0);
            if (glyph) {
                TBitmap* g = Item->RadioItem() ? s->Glyphs()->Radio() : s->Glyphs()->Check();
                if (selected)
                    Frame(Canvas, R, s->SelectedItem()->BorderColor());
                DrawGlyph(Canvas, g, d.Left, d.Top, clBtnText);
            } else {
                Item->Bitmap()->SetTransparentMode(tmAuto);
                Item->Bitmap()->SetTransparent(true);
                Canvas->Draw(d.Left, d.Top, Item->Bitmap());
            }
        }
    }

    if (!bar && Item->Count() > 0) {
        int y = (R.Top + R.Bottom - 5) / 2;
        TRect cell = align == DT_RIGHT ? TRect(R.Left + 5, y, R.Left + 8, y + 6)
                                       : TRect(R.Right - 8, y, R.Right - 5, y + 6);
        TBitmap* arrow = s->Glyphs()->SubMenu();
        TRect a = CenterBox(cell, arrow->Width(), arrow->Height());
        DrawGlyph(Canvas, arrow, a.Left, a.Top, clBlack);
    }

    if (!bar)
        R.Left += s->IconBar()->Size() + 8;
    else if (listImage || bitmap)
        R.Left += d.Width();
    uint32_t format = align | DT_SINGLELINE | DT_EXPANDTABS;
    if (State & odDefault)
        Canvas->Font()->SetStyle(Canvas->Font()->Style() | fsBold);
    TRect m = R;
    DrawMenuCaption(Item, Canvas, Item->Caption(), format | DT_CALCRECT | DT_NOCLIP, State, m);
    OffsetRect(m, 0, (R.Height() - m.Height()) / 2 - (m.Top - R.Top));
    if (bar) {
        m.Left = R.Left;
        m.Right = R.Right;
    }
    DrawMenuCaption(Item, Canvas, Item->Caption(), format, State, m);
    if (!bar && Item->ShortCut() != scNone) {
        TRect sc = m;
        sc.Right = R.Right - 10;
        DrawMenuCaption(Item, Canvas, MenuShortCutText(Item->ShortCut(), menu->GetIntlKeybShortCuts()),
                        DT_RIGHT, State, sc);
    }
}

} // namespace

void DrawKvxMenuItem(TMenuItem* Item, TCanvas* Canvas, TRect Rect, bool SideBarShown, TOwnerDrawState State) {
    IKvxMenu* menu = KvxMenuOf(Item);
    if (!menu)
        return;
    TCustomKvxMenuStyler* s = menu->GetStylerInUse();
    const bool bar = IsBarItem(Item);
    TRect c = Rect;
    const bool sideBar = SideBarShown && !ColumnBreakApplies(Item);
    if (sideBar)
        c.Left += s->SideBar()->Size() + s->SideBar()->SplitterWidth();
    if (bar) {
        if (!(State & (kSelected | odHotLight)) && !DrawBarBackground(s, Item, Canvas, Rect))
            return;
        DrawContent(menu, Item, Canvas, c, State, true);
        return;
    }
    TRect p = PopupRect(Item);
    if (p.Width() <= 0)
        p = Rect;
    if (sideBar && Item == FirstVisible(Item->Parent())) {
        TRect b = p;
        b.Right = p.Left + s->SideBar()->Size() + s->SideBar()->SplitterWidth();
        DrawSideBar(s, Canvas, b);
    }
    TIconBar* icons = s->IconBar();
    TRect column(c.Left, p.Top, c.Left + icons->Size(), p.Bottom);
    DrawClippedGradient(Canvas, column, icons->GradientDirection(), icons->ColorTo(), icons->Color(),
                        TRect(column.Left, c.Top, column.Right, c.Bottom));
    if (icons->SeparatorColor() != clNone)
        Line(Canvas, column.Right - 1, c.Top, column.Right - 1, c.Bottom, icons->SeparatorColor());
    TBackground* back = s->Background();
    TRect a(column.Right, c.Top, c.Right, c.Bottom);
    TRect full(column.Right, p.Top, c.Right, p.Bottom);
    if (back->MarginX() > 0 || back->MarginY() > 0) {
        DrawGradient(Canvas, a, gdVertical, back->Color(), back->Color());
        a.Left += back->MarginX();
        a.Right -= back->MarginX();
        a.Top += back->MarginY();
        a.Bottom -= back->MarginY();
    }
    DrawClippedGradient(Canvas, full, back->GradientDirection(), back->ColorTo(), back->Color(), a);
    if (back->HasPicture()) {
        TBitmap* cache = s->CacheBitmap();
        // Rendered again for a new size, and once per paint of the drop-down (at its first item), so a
        // picture changed in between shows.
        if (cache->Width() != p.Width() || cache->Height() != p.Height() ||
            Item == FirstVisible(Item->Parent())) {
            cache->SetSize(p.Width(), p.Height());
            // With the gradient under it: the copy below replaces what is there, and the see-through
            // parts of the picture must show the background, not an empty bitmap.
            back->Paint(cache->Canvas(), TRect(0, 0, p.Width(), p.Height()), true);
        }
        TRect src = a;
        OffsetRect(src, -p.Left, -p.Top);
        Canvas->CopyRect(a, cache->Canvas(), src);
    }
    if (Item->IsLine())
        DrawMenuSeparator(s, Canvas, c);
    else
        DrawContent(menu, Item, Canvas, c, State, false);
}

void DrawMenuCaption(TMenuItem* Item, TCanvas* Canvas, const std::string& Text, uint32_t Format,
                     TOwnerDrawState State, TRect& Rect) {
    IKvxMenu* menu = KvxMenuOf(Item);
    if (!menu)
        return;
    TCustomKvxMenuStyler* s = menu->GetStylerInUse();
    const bool selected = (State & kSelected) != 0;
    const bool bar = IsBarItem(Item);
    const bool calc = (Format & DT_CALCRECT) != 0;
    std::string text = Text;
    if (calc && (text.empty() || text == "&"))
        text += ' ';
    Canvas->Brush()->SetStyle(bsClear);
    bool bold = (Canvas->Font()->Style() & fsBold) != 0 || (State & odDefault);
    if (bar) {
        UseFont(Canvas, s->RootItem()->Font(), s->RootItem()->UseSystemFont());
        if (selected && s->RootItem()->SelectedTextColor() != clNone)
            Canvas->Font()->SetColor(s->RootItem()->SelectedTextColor());
        else if ((State & odHotLight) && s->RootItem()->HoverTextColor() != clNone)
            Canvas->Font()->SetColor(s->RootItem()->HoverTextColor());
    } else if (selected) {
        UseFont(Canvas, s->SelectedItem()->Font(), s->SelectedItem()->UseSystemFont());
    } else {
        UseFont(Canvas, s->Font(), s->UseSystemFont());
    }
    if (bold)
        Canvas->Font()->SetStyle(Canvas->Font()->Style() | fsBold);
    auto disabledColor = [&]() {
        if (selected && ColorToRGB(clHighlight) == ColorToRGB(clGrayText))
            return clBtnHighlight;
        return clGrayText;
    };
    if (State & odDisabled)
        Canvas->Font()->SetColor(disabledColor());

    if (HasNotes(menu, text)) {
        if (calc)
            return;
        std::vector<std::string> parts = SplitNotes(text);
        TFont* notes = selected ? s->SelectedItem()->NotesFont() : s->NotesFont();
        if (s->AntiAlias() != aaNone) {
            DrawAntiAliasedText(Canvas, parts[0], Rect, DT_LEFT, false, s->AntiAlias());
            int y = Rect.Top + 20;
            TFont keep;
            keep.Assign(Canvas->Font());
            Canvas->Font()->Assign(notes);
            if (State & odDisabled)
                Canvas->Font()->SetColor(disabledColor());
            int step = Canvas->TextHeight("gh");
            for (size_t i = 1; i < parts.size(); ++i, y += step) {
                TRect r(Rect.Left, y, Rect.Right, y + step);
                DrawAntiAliasedText(Canvas, parts[i], r, DT_LEFT, false, s->AntiAlias());
            }
            Canvas->Font()->Assign(&keep);
            return;
        }
        TRect r = Rect;
        DrawText(*Canvas->Handle(), parts[0], r, DT_SINGLELINE);
        int y = Rect.Top + Canvas->TextHeight("gh");
        Canvas->Font()->Assign(notes);
        if (State & odDisabled)
            Canvas->Font()->SetColor(disabledColor());
        int step = Canvas->TextHeight("gh");
        for (size_t i = 1; i < parts.size(); ++i, y += step) {
            TRect n(Rect.Left, y, Rect.Right, y + step);
            DrawText(*Canvas->Handle(), parts[i], n, DT_SINGLELINE);
        }
        return;
    }
    if (s->AntiAlias() != aaNone) {
        // Anti-aliased text lays itself out in the whole rectangle (centred vertically), so measuring
        // leaves the rectangle as it is.
        if (calc)
            return;
        DrawAntiAliasedText(Canvas, text, Rect,
                            bar                   ? DT_CENTER
                            : (Format & DT_RIGHT) ? DT_RIGHT
                                                  : DT_LEFT,
                            true, s->AntiAlias());
        return;
    }
    DrawText(*Canvas->Handle(), text, Rect, Format);
}

// The frame of a drop-down: a line in the border colour, one in the background colour inside it, and
// under the bar item that dropped it no border, so the two read as one shape.
void DrawKvxDropDownFrame(IKvxMenu* Menu, TMenuItem* Parent, TCanvas* Canvas, const TRect& Bounds) {
    TCustomKvxMenuStyler* s = Menu->GetStylerInUse();
    Frame(Canvas, Bounds, s->MenuBorderColor());
    if (IsBarItem(Parent) && Parent->Count() > 0) {
        TRect item, wr;
        HWND wnd = MenuItemWindow(FirstVisible(Parent));
        if (wnd && GetWindowRect(wnd, wr) && GetMenuItemRect(Parent, item)) {
            OffsetRect(item, -wr.Left, -wr.Top);
            if (item.Bottom <= 1)
                Line(Canvas, std::max(item.Left + 1, Bounds.Left + 1), 0,
                     std::min(item.Right - 1, Bounds.Right - 1), 0, s->Background()->Color());
        }
    }
    TRect inner = Bounds;
    InflateRect(inner, -1, -1);
    Frame(Canvas, inner, s->Background()->Color());
}

} // namespace ui
