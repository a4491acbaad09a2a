// The open and save dialogs: a file browser over the file system (folder path, up one level, home, the
// folders and then the files of the chosen type, a name edit and a type list) that answers the chosen
// file name or names.
#pragma once

#include <iterator>
#include <memory>
#include <string>

#include "platform/rtl/StringList.h"
#include "platform/ui/Dialogs.h"

namespace plat {

// Dialog options; ofReadOnly and ofExtensionDifferent are also answers of Execute.
using TOpenOptions = uint32_t;
inline constexpr TOpenOptions ofReadOnly = 1u << 0;        // "Open as read-only" was checked
inline constexpr TOpenOptions ofOverwritePrompt = 1u << 1; // save: ask before replacing a file
inline constexpr TOpenOptions ofHideReadOnly = 1u << 2;    // open: no "Open as read-only" box
inline constexpr TOpenOptions ofNoChangeDir = 1u << 3;     // keep the current folder of the program
inline constexpr TOpenOptions ofAllowMultiSelect = 1u << 6;
inline constexpr TOpenOptions ofExtensionDifferent = 1u << 7; // the chosen name's extension is not DefaultExt
inline constexpr TOpenOptions ofPathMustExist = 1u << 8;
inline constexpr TOpenOptions ofFileMustExist = 1u << 9;
inline constexpr TOpenOptions ofEnableSizing = 1u << 19; // the dialog can be resized

// Every option by its bit, for the component streams.
inline constexpr const char* kOpenOptionNames[] = {
    "ofReadOnly",         "ofOverwritePrompt",    "ofHideReadOnly",        "ofNoChangeDir",
    "ofShowHelp",         "ofNoValidate",         "ofAllowMultiSelect",    "ofExtensionDifferent",
    "ofPathMustExist",    "ofFileMustExist",      "ofCreatePrompt",        "ofShareAware",
    "ofNoReadOnlyReturn", "ofNoTestFileCreate",   "ofNoNetworkButton",     "ofNoLongNames",
    "ofOldStyleDialog",   "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing"};
static_assert(TOpenOptions(1) << (std::size(kOpenOptionNames) - 1) == ofEnableSizing);

class TOpenDialog : public TCommonDialog {
    PLAT_CLASS(TOpenDialog)
public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;

    // True when the user chose a file: FileName holds its full path, Files every chosen file (several
    // with ofAllowMultiSelect), FilterIndex the type shown last. Without ofNoChangeDir the program's
    // current folder becomes the file's folder.
    bool Execute() override;

    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    TStrings* Files() const { return FFiles.get(); }
    // Pairs of a description and its patterns: "Text|*.txt|Pictures|*.bmp;*.png".
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& Value) { FFilter = Value; }
    // The type shown, from 1 (0 and values past the end show the first).
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    // Added to a typed name without extension (a leading "*." is ignored); the extension of the chosen
    // type takes its place when that type names exactly one extension.
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& Value) { FDefaultExt = Value; }
    const std::string& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
    // The window caption; empty shows "Open" or "Save As".
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }

protected:
    // Save dialogs ask before replacing a file and name their button "Save".
    virtual bool IsSaveDialog() const { return false; }

private:
    std::string FFileName;
    std::unique_ptr<TStringList> FFiles;
    std::string FFilter;
    int FFilterIndex = 1;
    std::string FDefaultExt;
    std::string FInitialDir;
    std::string FTitle;
    TOpenOptions FOptions = ofHideReadOnly | ofEnableSizing;
};

class TSaveDialog : public TOpenDialog {
    PLAT_CLASS(TSaveDialog)
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    bool IsSaveDialog() const override { return true; }
};

} // namespace plat
