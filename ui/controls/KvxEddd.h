// Dragging text out of and dropping text onto the typed edits, within the program: a data object that
// offers the dragged text with its format enumerator, a reader of another data object's formats, a drop
// source that follows the keys and a drop target that the edits register for their windows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/rtl/Types.h"
#include "platform/ui/Window.h"

namespace ui {

using HRESULT = int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT DV_E_FORMATETC = static_cast<HRESULT>(0x80040064u);
inline constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = static_cast<HRESULT>(0x80040003u);
inline constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
inline constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
inline constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;

inline constexpr uint32_t DROPEFFECT_NONE = 0;
inline constexpr uint32_t DROPEFFECT_COPY = 1;
inline constexpr uint32_t DROPEFFECT_MOVE = 2;

inline constexpr plat::UINT CF_HDROP = 15;
inline constexpr uint32_t DVASPECT_CONTENT = 1;
inline constexpr uint32_t TYMED_HGLOBAL = 1;
inline constexpr uint32_t DATADIR_GET = 1;

// The key bits of a drag (MK_LBUTTON, MK_CONTROL, ... of the mouse messages).
using TDragKeys = uint32_t;

struct TFormatEtc {
    plat::UINT Format = 0;
    const void* Target = nullptr;
    uint32_t Aspect = DVASPECT_CONTENT;
    int Index = -1;
    uint32_t Tymed = TYMED_HGLOBAL;
};

// A medium handed over with the data: its bytes belong to the receiver.
struct TStgMedium {
    uint32_t Tymed = 0;
    std::vector<uint8_t> Global;
};

class IEnumFormatEtc {
public:
    virtual ~IEnumFormatEtc() = default;
    virtual HRESULT Next(uint32_t Count, TFormatEtc* Formats, uint32_t* Fetched) = 0;
    virtual HRESULT Skip(uint32_t Count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(std::shared_ptr<IEnumFormatEtc>& Enum) = 0;
};

class IDataObject {
public:
    virtual ~IDataObject() = default;
    virtual HRESULT GetData(const TFormatEtc& Format, TStgMedium& Medium) = 0;
    virtual HRESULT GetDataHere(const TFormatEtc& Format, TStgMedium& Medium) = 0;
    virtual HRESULT QueryGetData(const TFormatEtc& Format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(const TFormatEtc& In, TFormatEtc& Out) = 0;
    virtual HRESULT SetData(const TFormatEtc& Format, const TStgMedium& Medium) = 0;
    virtual HRESULT EnumFormatEtc(uint32_t Direction, std::shared_ptr<IEnumFormatEtc>& Enum) = 0;
    virtual HRESULT DAdvise() = 0;
    virtual HRESULT DUnadvise() = 0;
    virtual HRESULT EnumDAdvise(void*& Enum) = 0;
};

class IDropSource {
public:
    virtual ~IDropSource() = default;
    virtual HRESULT QueryContinueDrag(bool EscapePressed, TDragKeys Keys) = 0;
    virtual HRESULT GiveFeedback(uint32_t Effect) = 0;
};

class IDropTarget {
public:
    virtual ~IDropTarget() = default;
    virtual HRESULT DragEnter(IDataObject* Data, TDragKeys Keys, plat::TPoint Point, uint32_t& Effect) = 0;
    virtual HRESULT DragOver(TDragKeys Keys, plat::TPoint Point, uint32_t& Effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(IDataObject* Data, TDragKeys Keys, plat::TPoint Point, uint32_t& Effect) = 0;
};

// The clipboard format id of rich text (registered on first use).
plat::UINT RichTextFormat();

// Reads what a foreign data object offers.
class TEnumFormats {
public:
    explicit TEnumFormats(IDataObject* Data);
    // Whether the object lists that format; an object without a format enumerator offers nothing.
    bool HasFormat(plat::UINT Format);
    std::string GetText();
    bool GetFileNames();
    plat::TStringList& FileNames() { return FFileNames; }
    bool HasEnumerator() const { return FEnum != nullptr; }

private:
    IDataObject* FData;
    std::shared_ptr<IEnumFormatEtc> FEnum;
    TFormatEtc FFormat;
    bool FValid = false;
    int FSteps = 0;
    plat::TStringList FFileNames;
};

class TAEDropTarget : public IDropTarget {
public:
    HRESULT DragEnter(IDataObject* Data, TDragKeys Keys, plat::TPoint Point, uint32_t& Effect) override;
    HRESULT DragOver(TDragKeys Keys, plat::TPoint Point, uint32_t& Effect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(IDataObject* Data, TDragKeys Keys, plat::TPoint Point, uint32_t& Effect) override;

    virtual void DropText(plat::TPoint Point, const std::string& Text) {}
    virtual void DropRichText(plat::TPoint Point, const std::string& Text) {}
    virtual void DropFiles(plat::TPoint Point, plat::TStrings& Names) {}
    virtual void DragOverCheck(plat::TPoint Point, bool& Accept) { Accept = true; }

protected:
    // The keys of the drop being handled (Control copies).
    TDragKeys FKeys = 0;
    // Set by a handler that took nothing: the drop reports no effect, so a source does not remove what
    // it dragged.
    bool FDropRefused = false;

private:
    bool FAccepted = false;
};

class TKvxEdit;

class TEditDropTarget : public TAEDropTarget {
public:
    explicit TEditDropTarget(TKvxEdit* Edit) : FEdit(Edit) {}
    HRESULT DragLeave() override;
    void DropText(plat::TPoint Point, const std::string& Text) override;
    void DragOverCheck(plat::TPoint Point, bool& Accept) override;

private:
    TKvxEdit* FEdit;
};

class TAEDropSource : public IDropSource {
public:
    HRESULT QueryContinueDrag(bool EscapePressed, TDragKeys Keys) override;
    HRESULT GiveFeedback(uint32_t Effect) override;
    bool NoneFeedback() const { return FNoneFeedback; }

private:
    bool FNoneFeedback = false;
};

class TSourceDataObject : public IDataObject {
public:
    TSourceDataObject(std::string Text, std::string RichText)
        : FText(std::move(Text)), FRichText(std::move(RichText)) {}
    HRESULT GetData(const TFormatEtc& Format, TStgMedium& Medium) override;
    HRESULT GetDataHere(const TFormatEtc& Format, TStgMedium& Medium) override;
    HRESULT QueryGetData(const TFormatEtc& Format) override;
    HRESULT GetCanonicalFormatEtc(const TFormatEtc& In, TFormatEtc& Out) override;
    HRESULT SetData(const TFormatEtc& Format, const TStgMedium& Medium) override;
    HRESULT EnumFormatEtc(uint32_t Direction, std::shared_ptr<IEnumFormatEtc>& Enum) override;
    HRESULT DAdvise() override;
    HRESULT DUnadvise() override;
    HRESULT EnumDAdvise(void*& Enum) override;

private:
    std::string FText;
    std::string FRichText;
};

class TSourceEnumFormatEtc : public IEnumFormatEtc {
public:
    explicit TSourceEnumFormatEtc(int Index = 0) : FIndex(Index) {}
    HRESULT Next(uint32_t Count, TFormatEtc* Formats, uint32_t* Fetched) override;
    HRESULT Skip(uint32_t Count) override;
    HRESULT Reset() override;
    HRESULT Clone(std::shared_ptr<IEnumFormatEtc>& Enum) override;

private:
    int FIndex;
};

// The program's drop targets by window: a drag finds them under the mouse.
bool RegisterDragDrop(plat::HWND Wnd, IDropTarget* Target);
bool RevokeDragDrop(plat::HWND Wnd);
IDropTarget* DropTargetOf(plat::HWND Wnd);

// Runs a drag from the window that holds the mouse until the source ends it; answers DRAGDROP_S_DROP
// (Effect: what the target did) or DRAGDROP_S_CANCEL.
HRESULT DoDragDrop(plat::HWND From, IDataObject* Data, IDropSource* Source, uint32_t OkEffects,
                   uint32_t& Effect);
// Drags text; DRAGDROP_S_CANCEL also when the last feedback said no drop was possible.
HRESULT StartTextDrag(plat::HWND From, const std::string& Text, const std::string& RichText,
                      uint32_t& Effect);

} // namespace ui
