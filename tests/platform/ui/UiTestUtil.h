// Helpers of the window-system tests: a window class that records the messages it gets and can be told
// to answer some of them, and shorthand to make windows of it.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Window.h"

namespace uitest {

using namespace plat;

struct TLogEntry {
    HWND Wnd;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
};

struct TRecorder {
    std::vector<TLogEntry> Log;
    // Answers for messages of one window; the default handling runs when none is given.
    std::map<std::pair<HWND, UINT>, std::function<LRESULT(WPARAM, LPARAM)>> Answers;
    // Fills the client area in this colour on WM_PAINT (per window).
    std::map<HWND, TColor> PaintColor;

    // The messages of one window, in order, of the given kinds (all kinds when empty).
    std::vector<UINT> Of(HWND w, std::vector<UINT> kinds = {}) const {
        std::vector<UINT> out;
        for (const auto& e : Log)
            if (e.Wnd == w && (kinds.empty() || std::find(kinds.begin(), kinds.end(), e.Msg) != kinds.end()))
                out.push_back(e.Msg);
        return out;
    }
    int Count(HWND w, UINT msg) const {
        int n = 0;
        for (const auto& e : Log)
            n += e.Wnd == w && e.Msg == msg;
        return n;
    }
    const TLogEntry* Last(HWND w, UINT msg) const {
        for (auto it = Log.rbegin(); it != Log.rend(); ++it)
            if (it->Wnd == w && it->Msg == msg)
                return &*it;
        return nullptr;
    }
};

inline TRecorder& Rec() {
    static TRecorder r;
    return r;
}

inline LRESULT RecordingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    Rec().Log.push_back({w, msg, wp, lp});
    auto it = Rec().Answers.find({w, msg});
    if (it != Rec().Answers.end())
        return it->second(wp, lp);
    if (msg == WM_PAINT) {
        auto c = Rec().PaintColor.find(w);
        if (c != Rec().PaintColor.end()) {
            TPaintStruct ps;
            HDC dc = BeginPaint(w, ps);
            TRect r;
            GetClientRect(w, r);
            dc->FillSolidRect(r, c->second);
            EndPaint(w, ps);
            return 0;
        }
    }
    return DefWindowProc(w, msg, wp, lp);
}

inline void RegisterRecorder(uint32_t classStyle = CS_DBLCLKS, TColor background = clNone) {
    TWndClass cls;
    cls.Name = "Recorder";
    cls.Style = classStyle;
    cls.WndProc = RecordingProc;
    cls.Background = background;
    RegisterWindowClass(cls);
    Rec() = TRecorder();
}

inline HWND Top(TRect r, uint32_t style = WS_OVERLAPPEDWINDOW, uint32_t exStyle = 0, const char* text = "") {
    return CreateWindowEx(exStyle, "Recorder", text, style, r.Left, r.Top, r.Width(), r.Height(), nullptr, 0);
}

inline HWND Child(HWND parent, TRect r, uint32_t style = WS_VISIBLE, uint32_t exStyle = 0) {
    return CreateWindowEx(exStyle, "Recorder", "", WS_CHILD | style, r.Left, r.Top, r.Width(), r.Height(),
                          parent, 0);
}

} // namespace uitest
