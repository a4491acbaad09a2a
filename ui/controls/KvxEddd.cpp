#include "ui/controls/KvxEddd.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/rtl/StringUtils.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/ModalLoop.h"
#include "ui/controls/KvxEdit.h"

using namespace plat;

namespace ui {

namespace {

std::map<HWND, IDropTarget*>& Targets() {
    static std::map<HWND, IDropTarget*> targets;
    return targets;
}

uint32_t EffectOf(TDragKeys Keys) {
    return (Keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

// The three formats the dragged text is offered in, in enumeration order.
TFormatEtc OfferedFormat(int Index) {
    static const UINT formats[] = {CF_TEXT, CF_UNICODETEXT, 0};
    TFormatEtc f;
    f.Format = Index == 2 ? RichTextFormat() : formats[Index];
    return f;
}

uint32_t ReadU32(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v = 0;
    if (at + 4 <= b.size())
        std::memcpy(&v, b.data() + at, 4);
    return v;
}

} // namespace

UINT RichTextFormat() {
    static UINT id = RegisterClipboardFormat("Rich Text Format");
    return id;
}

// ---- Reading a foreign data object ------------------------------------------------------------------

TEnumFormats::TEnumFormats(IDataObject* Data) : FData(Data) {
    if (FData && FData->EnumFormatEtc(DATADIR_GET, FEnum) != S_OK)
        FEnum.reset();
}

bool TEnumFormats::HasFormat(UINT Format) {
    // Data that cannot list its formats offers none: the drop is refused.
    if (!FEnum)
        return false;
    FEnum->Reset();
    FSteps = 0;
    while (true) {
        uint32_t fetched = 0;
        FValid = FEnum->Next(1, &FFormat, &fetched) == S_OK && fetched == 1;
        if (!FValid)
            return false;
        ++FSteps;
        if (FFormat.Format == Format)
            return true;
    }
}

std::string TEnumFormats::GetText() {
    if (!HasFormat(CF_TEXT))
        return {};
    TFormatEtc f;
    f.Format = CF_TEXT;
    TStgMedium m;
    if (FData->GetData(f, m) != S_OK)
        return {};
    auto end = std::find(m.Global.begin(), m.Global.end(), uint8_t{0});
    return std::string(m.Global.begin(), end);
}

bool TEnumFormats::GetFileNames() {
    FFileNames.Clear();
    if (!HasFormat(CF_HDROP))
        return false;
    TFormatEtc f;
    f.Format = CF_HDROP;
    TStgMedium m;
    if (FData->GetData(f, m) != S_OK)
        return false;
    // The block: offset of the names, the drop point, a non-client flag, a wide flag; then names each
    // ended by a zero character, the list ended by an empty name.
    const std::vector<uint8_t>& b = m.Global;
    size_t at = ReadU32(b, 0);
    bool wide = ReadU32(b, 16) != 0;
    while (at < b.size()) {
        if (wide) {
            std::u32string name;
            while (at + 2 <= b.size()) {
                char16_t ch = static_cast<char16_t>(b[at] | (b[at + 1] << 8));
                at += 2;
                if (ch == 0)
                    break;
                name += static_cast<char32_t>(ch);
            }
            if (name.empty())
                break;
            FFileNames.Add(Utf8Encode(name));
        } else {
            std::string name;
            while (at < b.size() && b[at] != 0)
                name += static_cast<char>(b[at++]);
            ++at;
            if (name.empty())
                break;
            FFileNames.Add(name);
        }
    }
    return FFileNames.Count() > 0;
}

// ---- Drop targets -----------------------------------------------------------------------------------------

HRESULT TAEDropTarget::DragEnter(IDataObject* Data, TDragKeys Keys, TPoint, uint32_t& Effect) {
    TEnumFormats formats(Data);
    FAccepted = formats.HasFormat(CF_TEXT) || formats.HasFormat(CF_HDROP);
    Effect = FAccepted ? EffectOf(Keys) : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT TAEDropTarget::DragOver(TDragKeys Keys, TPoint Point, uint32_t& Effect) {
    Effect = FAccepted ? EffectOf(Keys) : DROPEFFECT_NONE;
    bool accept = true;
    DragOverCheck(Point, accept);
    if (!accept)
        Effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT TAEDropTarget::DragLeave() {
    return S_OK;
}

HRESULT TAEDropTarget::Drop(IDataObject* Data, TDragKeys Keys, TPoint Point, uint32_t& Effect) {
    if (!FAccepted) {
        Effect = DROPEFFECT_NONE;
        return S_OK;
    }
    FKeys = Keys;
    FDropRefused = false;
    TEnumFormats formats(Data);
    if (formats.HasFormat(CF_TEXT))
        DropText(Point, formats.GetText());
    if (formats.HasFormat(CF_HDROP) && formats.GetFileNames())
        DropFiles(Point, formats.FileNames());
    Effect = FDropRefused ? DROPEFFECT_NONE : EffectOf(Keys);
    return S_OK;
}

HRESULT TEditDropTarget::DragLeave() {
    FEdit->HideDropCaret();
    return S_OK;
}

void TEditDropTarget::DragOverCheck(TPoint Point, bool& Accept) {
    Accept = true;
    FEdit->TrackDropCaret(Point);
}

void TEditDropTarget::DropText(TPoint Point, const std::string& Text) {
    FDropRefused = !FEdit->DropText(Point, Text, (FKeys & MK_CONTROL) != 0);
}

// ---- Drop source and data object -------------------------------------------------------------------------

HRESULT TAEDropSource::QueryContinueDrag(bool EscapePressed, TDragKeys Keys) {
    if (EscapePressed)
        return DRAGDROP_S_CANCEL;
    if (!(Keys & MK_LBUTTON))
        return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT TAEDropSource::GiveFeedback(uint32_t Effect) {
    FNoneFeedback = Effect == DROPEFFECT_NONE;
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

HRESULT TSourceDataObject::QueryGetData(const TFormatEtc& Format) {
    if (Format.Aspect == DVASPECT_CONTENT && (Format.Format == CF_TEXT || Format.Format == CF_UNICODETEXT) &&
        Format.Tymed == TYMED_HGLOBAL)
        return S_OK;
    return DV_E_FORMATETC;
}

HRESULT TSourceDataObject::GetData(const TFormatEtc& Format, TStgMedium& Medium) {
    Medium = TStgMedium();
    if (QueryGetData(Format) != S_OK)
        return DV_E_FORMATETC;
    if (Format.Format == CF_TEXT) {
        Medium.Global.assign(FText.begin(), FText.end());
        Medium.Global.push_back(0);
    } else {
        for (char32_t c : Utf8Decode(FText)) {
            // Characters beyond the basic plane go as surrogate pairs.
            auto put = [&](uint16_t u) {
                Medium.Global.push_back(static_cast<uint8_t>(u & 0xFF));
                Medium.Global.push_back(static_cast<uint8_t>(u >> 8));
            };
            if (c >= 0x10000) {
                c -= 0x10000;
                put(static_cast<uint16_t>(0xD800 + (c >> 10)));
                put(static_cast<uint16_t>(0xDC00 + (c & 0x3FF)));
            } else {
                put(static_cast<uint16_t>(c));
            }
        }
        Medium.Global.push_back(0);
        Medium.Global.push_back(0);
    }
    Medium.Tymed = TYMED_HGLOBAL;
    return S_OK;
}

HRESULT TSourceDataObject::GetDataHere(const TFormatEtc&, TStgMedium&) {
    return DV_E_FORMATETC;
}

HRESULT TSourceDataObject::GetCanonicalFormatEtc(const TFormatEtc&, TFormatEtc& Out) {
    Out.Target = nullptr;
    return E_NOTIMPL;
}

HRESULT TSourceDataObject::SetData(const TFormatEtc&, const TStgMedium&) {
    return DV_E_FORMATETC;
}

HRESULT TSourceDataObject::EnumFormatEtc(uint32_t Direction, std::shared_ptr<IEnumFormatEtc>& Enum) {
    if (Direction == DATADIR_GET) {
        Enum = std::make_shared<TSourceEnumFormatEtc>(0);
        return S_OK;
    }
    Enum.reset();
    return E_NOTIMPL;
}

HRESULT TSourceDataObject::DAdvise() {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TSourceDataObject::DUnadvise() {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TSourceDataObject::EnumDAdvise(void*& Enum) {
    Enum = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TSourceEnumFormatEtc::Next(uint32_t Count, TFormatEtc* Formats, uint32_t* Fetched) {
    uint32_t filled = 0;
    while (filled < Count && FIndex < 3)
        Formats[filled++] = OfferedFormat(FIndex++);
    if (Fetched)
        *Fetched = filled;
    return filled == Count ? S_OK : S_FALSE;
}

HRESULT TSourceEnumFormatEtc::Skip(uint32_t Count) {
    int64_t next = static_cast<int64_t>(FIndex) + Count;
    if (next < 4) {
        FIndex = static_cast<int>(next);
        return S_OK;
    }
    FIndex = 3;
    return S_FALSE;
}

HRESULT TSourceEnumFormatEtc::Reset() {
    FIndex = 0;
    return S_OK;
}

HRESULT TSourceEnumFormatEtc::Clone(std::shared_ptr<IEnumFormatEtc>& Enum) {
    Enum = std::make_shared<TSourceEnumFormatEtc>(FIndex);
    return S_OK;
}

// ---- The drag ------------------------------------------------------------------------------------------

bool RegisterDragDrop(HWND Wnd, IDropTarget* Target) {
    if (!Wnd || !Target || Targets().count(Wnd))
        return false;
    Targets()[Wnd] = Target;
    return true;
}

bool RevokeDragDrop(HWND Wnd) {
    return Targets().erase(Wnd) > 0;
}

IDropTarget* DropTargetOf(HWND Wnd) {
    for (HWND w = Wnd; w; w = GetParent(w)) {
        auto it = Targets().find(w);
        if (it != Targets().end())
            return it->second;
        if (!(static_cast<uint32_t>(GetWindowLongPtr(w, GWL_STYLE)) & WS_CHILD))
            break;
    }
    return nullptr;
}

HRESULT DoDragDrop(HWND From, IDataObject* Data, IDropSource* Source, uint32_t OkEffects, uint32_t& Effect) {
    Effect = DROPEFFECT_NONE;
    TModalLoop loop;
    loop.Capture(From);
    IDropTarget* target = nullptr;
    TDragKeys keys = MK_LBUTTON | (GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0);
    TPoint pos;
    GetCursorPos(pos);
    auto leave = [&] {
        if (target)
            target->DragLeave();
        target = nullptr;
    };
    while (loop.HasCapture()) {
        TMsg msg;
        if (!GetMessage(msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            leave();
            return DRAGDROP_S_CANCEL;
        }
        bool escape = false;
        bool input = true;
        switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        case WM_LBUTTONDOWN:
            keys = static_cast<TDragKeys>(msg.wParam) & (MK_LBUTTON | MK_CONTROL | MK_SHIFT);
            if (msg.message == WM_LBUTTONUP)
                keys &= ~MK_LBUTTON;
            pos = msg.pt;
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
            escape = msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE;
            if (msg.wParam == VK_CONTROL)
                keys = msg.message == WM_KEYDOWN ? (keys | MK_CONTROL) : (keys & ~MK_CONTROL);
            break;
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            break;
        default:
            input = false;
        }
        if (!input) {
            if (!loop.Dispatch(msg)) {
                leave();
                return DRAGDROP_S_CANCEL;
            }
            continue;
        }
        HRESULT go = Source->QueryContinueDrag(escape, keys);
        if (go == DRAGDROP_S_CANCEL) {
            leave();
            Effect = DROPEFFECT_NONE;
            return DRAGDROP_S_CANCEL;
        }
        if (go == DRAGDROP_S_DROP) {
            loop.ReleaseCapture();
            if (target && Effect != DROPEFFECT_NONE) {
                uint32_t effect = Effect;
                target->Drop(Data, keys, pos, effect);
                Effect = effect & OkEffects;
                return Effect != DROPEFFECT_NONE ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
            }
            leave();
            Effect = DROPEFFECT_NONE;
            return DRAGDROP_S_CANCEL;
        }
        if (msg.message != WM_MOUSEMOVE && msg.message != WM_KEYDOWN && msg.message != WM_KEYUP)
            continue;
        HWND under = WindowFromPoint(pos);
        IDropTarget* now = under ? DropTargetOf(under) : nullptr;
        uint32_t effect = OkEffects;
        if (now != target) {
            leave();
            target = now;
            if (target) {
                target->DragEnter(Data, keys, pos, effect);
                target->DragOver(keys, pos, effect);
            } else {
                effect = DROPEFFECT_NONE;
            }
        } else if (target) {
            target->DragOver(keys, pos, effect);
        } else {
            effect = DROPEFFECT_NONE;
        }
        Effect = effect & OkEffects;
        Source->GiveFeedback(Effect);
        loop.SetCursor(LoadCursor(Effect != DROPEFFECT_NONE ? IDC_DRAG : IDC_NODROP));
    }
    leave();
    return DRAGDROP_S_CANCEL;
}

HRESULT StartTextDrag(HWND From, const std::string& Text, const std::string& RichText, uint32_t& Effect) {
    TSourceDataObject data(Text, RichText);
    TAEDropSource source;
    HRESULT r = DoDragDrop(From, &data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, Effect);
    return source.NoneFeedback() ? DRAGDROP_S_CANCEL : r;
}

} // namespace ui
