// The application's binding to the camera driver library. The library is loaded at run time, from the
// program's folder first and then through the system's library search path, so that a real camera's
// library with the same 38 functions can take the simulator's place.
#pragma once

#include "camera/lumcam.h"

#include <string>

// File name of the camera driver library.
extern const char* const CameraLibraryFileName;

// Code every function answers while the library is not loaded.
constexpr int32_t kCameraLibraryMissing = -1;

class TCameraLibrary {
public:
    // Until a load succeeds every function is a stand-in that reports kCameraLibraryMissing (and texts
    // saying so), so callers never jump through a null pointer.
    TCameraLibrary();
    // The library stays loaded: a reading thread may still be inside it.
    ~TCameraLibrary() = default;
    TCameraLibrary(const TCameraLibrary&) = delete;
    TCameraLibrary& operator=(const TCameraLibrary&) = delete;

    // Loads from the program's folder, else through the system's search path.
    bool Load();
    // Same, with the given folder in place of the program's folder.
    bool LoadFrom(const std::string& folder);
    // Loads exactly this file.
    bool LoadFile(const std::string& fileName);

    bool Loaded() const { return FLoaded; }
    // Why the last load failed, naming the library or the missing functions; empty after success.
    const std::string& ErrorMessage() const { return FErrorMessage; }
    // Path of the loaded library file.
    const std::string& FileName() const { return FFileName; }
    // The library's text for a code, copied at once; "" where the library gives none.
    std::string ErrorText(int32_t Code) const {
        const char* text = ls_geterrorstring(Code);
        return text != nullptr ? text : "";
    }

    decltype(&::ls_initialize) ls_initialize;
    decltype(&::ls_enumdevices) ls_enumdevices;
    decltype(&::ls_getproductname) ls_getproductname;
    decltype(&::ls_getserialnumber) ls_getserialnumber;
    decltype(&::ls_getfwversion) ls_getfwversion;
    decltype(&::ls_currentdeviceindex) ls_currentdeviceindex;
    decltype(&::ls_opendevicebyindex) ls_opendevicebyindex;
    decltype(&::ls_closedevice) ls_closedevice;
    decltype(&::ls_getpipe) ls_getpipe;
    decltype(&::ls_setpacketlength) ls_setpacketlength;
    decltype(&::ls_getpacketlength) ls_getpacketlength;
    decltype(&::ls_seteptimeout) ls_seteptimeout;
    decltype(&::ls_geteptimeout) ls_geteptimeout;
    decltype(&::ls_getfps) ls_getfps;
    decltype(&::ls_getsensortype) ls_getsensortype;
    decltype(&::ls_getmcusensortype) ls_getmcusensortype;
    decltype(&::ls_getsensorname) ls_getsensorname;
    decltype(&::ls_geterrorstring) ls_geterrorstring;
    decltype(&::ls_setmode) ls_setmode;
    decltype(&::ls_getmode) ls_getmode;
    decltype(&::ls_setstate) ls_setstate;
    decltype(&::ls_getstate) ls_getstate;
    decltype(&::ls_setcfg1) ls_setcfg1;
    decltype(&::ls_getcfg1) ls_getcfg1;
    decltype(&::ls_setinttime) ls_setinttime;
    decltype(&::ls_getinttime) ls_getinttime;
    decltype(&::ls_setsofttrigtime) ls_setsofttrigtime;
    decltype(&::ls_getsofttrigtime) ls_getsofttrigtime;
    decltype(&::ls_getminmaxtime) ls_getminmaxtime;
    decltype(&::ls_getminmaxtrigtime) ls_getminmaxtrigtime;
    decltype(&::ls_setadcconfig) ls_setadcconfig;
    decltype(&::ls_getadcconfig) ls_getadcconfig;
    decltype(&::ls_setadcpga1) ls_setadcpga1;
    decltype(&::ls_getadcpga1) ls_getadcpga1;
    decltype(&::ls_setadcoffset1) ls_setadcoffset1;
    decltype(&::ls_getadcoffset1) ls_getadcoffset1;
    decltype(&::ls_customfirmware) ls_customfirmware;
    decltype(&::ls_savesettings) ls_savesettings;

private:
    void UseStandIns();
    // Resolves every function of an opened library; false (and the library closed) when any is missing.
    bool Bind(void* handle, const std::string& shownName);

    bool FLoaded = false;
    std::string FErrorMessage;
    std::string FFileName;
};

// The program's binding, loaded on first use.
TCameraLibrary& CameraLibrary();

// Version of a library file read from its versioned name (liblumcam32.so.A.B.C.D behind its links):
// the four numbers joined by ".", fewer numbers padded with 0; empty when the name carries no version;
// "-1" when the file does not exist.
std::string LibraryFileVersion(const std::string& fileName);
