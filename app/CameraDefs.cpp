#include "app/CameraDefs.h"

#include "platform/rtl/FileUtils.h"

#include <atomic>
#include <dlfcn.h>
#include <filesystem>
#include <vector>

const char* const CameraLibraryFileName = "liblumcam32.so";

// Every function of the library, in one list for binding and stand-ins alike.
#define LUMCAM_FUNCTIONS(X)                                                                                  \
    X(ls_initialize)                                                                                         \
    X(ls_enumdevices)                                                                                        \
    X(ls_getproductname)                                                                                     \
    X(ls_getserialnumber)                                                                                    \
    X(ls_getfwversion)                                                                                       \
    X(ls_currentdeviceindex)                                                                                 \
    X(ls_opendevicebyindex)                                                                                  \
    X(ls_closedevice)                                                                                        \
    X(ls_getpipe)                                                                                            \
    X(ls_setpacketlength)                                                                                    \
    X(ls_getpacketlength)                                                                                    \
    X(ls_seteptimeout)                                                                                       \
    X(ls_geteptimeout)                                                                                       \
    X(ls_getfps)                                                                                             \
    X(ls_getsensortype)                                                                                      \
    X(ls_getmcusensortype)                                                                                   \
    X(ls_getsensorname)                                                                                      \
    X(ls_geterrorstring)                                                                                     \
    X(ls_setmode)                                                                                            \
    X(ls_getmode)                                                                                            \
    X(ls_setstate)                                                                                           \
    X(ls_getstate)                                                                                           \
    X(ls_setcfg1)                                                                                            \
    X(ls_getcfg1)                                                                                            \
    X(ls_setinttime)                                                                                         \
    X(ls_getinttime)                                                                                         \
    X(ls_setsofttrigtime)                                                                                    \
    X(ls_getsofttrigtime)                                                                                    \
    X(ls_getminmaxtime)                                                                                      \
    X(ls_getminmaxtrigtime)                                                                                  \
    X(ls_setadcconfig)                                                                                       \
    X(ls_getadcconfig)                                                                                       \
    X(ls_setadcpga1)                                                                                         \
    X(ls_getadcpga1)                                                                                         \
    X(ls_setadcoffset1)                                                                                      \
    X(ls_getadcoffset1)                                                                                      \
    X(ls_customfirmware)                                                                                     \
    X(ls_savesettings)

namespace {

// Stand-ins while no library is loaded. Functions that return a code report kCameraLibraryMissing.
template <class F> struct TMissing;
template <class... A> struct TMissing<int32_t (*)(A...)> {
    static int32_t Call(A...) { return kCameraLibraryMissing; }
};

// The end-point time-out is written to the settings file from the library's answer, so the stand-in
// keeps the value it was given rather than lose the user's setting.
std::atomic<int32_t> MissingEpTimeout{100};

const char* MissingText = "CAMERA DRIVER LIBRARY NOT LOADED";

} // namespace

TCameraLibrary::TCameraLibrary() {
    UseStandIns();
}

void TCameraLibrary::UseStandIns() {
    ls_initialize = [](uint32_t, uint32_t, int32_t, int32_t, const char*) -> int32_t { return 0; };
    ls_enumdevices = []() -> int32_t { return 0; };
    ls_getproductname = [](int32_t) -> const char* { return ""; };
    ls_getserialnumber = [](int32_t) -> const char* { return ""; };
    ls_getfwversion = [](int32_t) -> uint16_t { return 0; };
    ls_currentdeviceindex = []() -> int32_t { return -1; };
    ls_opendevicebyindex = TMissing<decltype(ls_opendevicebyindex)>::Call;
    ls_closedevice = TMissing<decltype(ls_closedevice)>::Call;
    ls_getpipe = [](void*, uint32_t, uint32_t* count) -> int32_t {
        if (count)
            *count = 0;
        return kCameraLibraryMissing;
    };
    ls_setpacketlength = TMissing<decltype(ls_setpacketlength)>::Call;
    ls_getpacketlength = TMissing<decltype(ls_getpacketlength)>::Call;
    ls_seteptimeout = [](int32_t ms) -> int32_t {
        MissingEpTimeout = ms;
        return kCameraLibraryMissing;
    };
    ls_geteptimeout = []() -> int32_t { return MissingEpTimeout; };
    ls_getfps = []() -> uint32_t { return 0; };
    ls_getsensortype = TMissing<decltype(ls_getsensortype)>::Call;
    ls_getmcusensortype = TMissing<decltype(ls_getmcusensortype)>::Call;
    ls_getsensorname = [](uint16_t) -> const char* { return ""; };
    ls_geterrorstring = [](int32_t) -> const char* { return MissingText; };
    ls_setmode = TMissing<decltype(ls_setmode)>::Call;
    ls_getmode = TMissing<decltype(ls_getmode)>::Call;
    ls_setstate = TMissing<decltype(ls_setstate)>::Call;
    ls_getstate = TMissing<decltype(ls_getstate)>::Call;
    ls_setcfg1 = TMissing<decltype(ls_setcfg1)>::Call;
    ls_getcfg1 = TMissing<decltype(ls_getcfg1)>::Call;
    ls_setinttime = TMissing<decltype(ls_setinttime)>::Call;
    ls_getinttime = TMissing<decltype(ls_getinttime)>::Call;
    ls_setsofttrigtime = TMissing<decltype(ls_setsofttrigtime)>::Call;
    ls_getsofttrigtime = TMissing<decltype(ls_getsofttrigtime)>::Call;
    ls_getminmaxtime = TMissing<decltype(ls_getminmaxtime)>::Call;
    ls_getminmaxtrigtime = TMissing<decltype(ls_getminmaxtrigtime)>::Call;
    ls_setadcconfig = TMissing<decltype(ls_setadcconfig)>::Call;
    ls_getadcconfig = TMissing<decltype(ls_getadcconfig)>::Call;
    ls_setadcpga1 = TMissing<decltype(ls_setadcpga1)>::Call;
    ls_getadcpga1 = TMissing<decltype(ls_getadcpga1)>::Call;
    ls_setadcoffset1 = TMissing<decltype(ls_setadcoffset1)>::Call;
    ls_getadcoffset1 = TMissing<decltype(ls_getadcoffset1)>::Call;
    ls_customfirmware = TMissing<decltype(ls_customfirmware)>::Call;
    ls_savesettings = TMissing<decltype(ls_savesettings)>::Call;
}

bool TCameraLibrary::Bind(void* handle, const std::string& shownName) {
    std::vector<std::string> missing;
#define LUMCAM_RESOLVE(name)                                                                                 \
    void* name##_address = dlsym(handle, #name);                                                             \
    if (!name##_address)                                                                                     \
        missing.push_back(#name);
    LUMCAM_FUNCTIONS(LUMCAM_RESOLVE)
#undef LUMCAM_RESOLVE
    if (!missing.empty()) {
        std::string names;
        for (const std::string& name : missing)
            names += (names.empty() ? "" : ", ") + name;
        FErrorMessage = "The camera driver library " + shownName + " lacks the function" +
                        (missing.size() > 1 ? "s " : " ") + names + ".";
        dlclose(handle);
        return false;
    }
#define LUMCAM_ASSIGN(name) name = reinterpret_cast<decltype(name)>(name##_address);
    LUMCAM_FUNCTIONS(LUMCAM_ASSIGN)
#undef LUMCAM_ASSIGN

    Dl_info info{};
    FFileName = dladdr(ls_initialize_address, &info) && info.dli_fname ? info.dli_fname : shownName;
    FErrorMessage.clear();
    FLoaded = true;
    return true;
}

bool TCameraLibrary::LoadFile(const std::string& fileName) {
    if (FLoaded)
        return true;
    dlerror();
    void* handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        FErrorMessage =
            "Cannot load the camera driver library " + fileName + ": " + (why ? why : "unknown error");
        return false;
    }
    return Bind(handle, fileName);
}

bool TCameraLibrary::LoadFrom(const std::string& folder) {
    if (FLoaded)
        return true;
    std::string besideError;
    if (!folder.empty()) {
        std::string path = folder;
        if (path.back() != '/')
            path += '/';
        path += CameraLibraryFileName;
        std::error_code ec;
        if (std::filesystem::exists(path, ec)) {
            if (LoadFile(path))
                return true;
            besideError = FErrorMessage;
        }
    }
    dlerror();
    void* handle = dlopen(CameraLibraryFileName, RTLD_NOW | RTLD_LOCAL);
    if (handle && Bind(handle, CameraLibraryFileName))
        return true;
    // The copy beside the program is the one the user meant; its fault is the one worth reporting.
    if (!besideError.empty())
        FErrorMessage = besideError;
    else if (!handle)
        FErrorMessage = std::string("The camera driver library ") + CameraLibraryFileName +
                        " was found neither in the program's folder nor on the system's library path.";
    return false;
}

bool TCameraLibrary::Load() {
    return LoadFrom(plat::ApplicationFolder());
}

TCameraLibrary& CameraLibrary() {
    // Never destroyed, for the same reason the library is never unloaded.
    static TCameraLibrary* library = [] {
        auto* l = new TCameraLibrary;
        l->Load();
        return l;
    }();
    return *library;
}

std::string LibraryFileVersion(const std::string& fileName) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fileName.empty() || !fs::exists(fileName, ec))
        return "-1";
    const fs::path real = fs::canonical(fileName, ec);
    const std::string name = (ec ? fs::path(fileName) : real).filename().string();
    const size_t so = name.rfind(".so.");
    if (so == std::string::npos)
        return "";
    std::vector<unsigned long> parts;
    std::string digits;
    const std::string tail = name.substr(so + 4) + ".";
    for (char c : tail) {
        if (c == '.') {
            if (digits.empty() || digits.size() > 9)
                return "";
            parts.push_back(std::stoul(digits));
            digits.clear();
        } else if (c >= '0' && c <= '9') {
            digits += c;
        } else {
            return "";
        }
    }
    if (parts.empty() || parts.size() > 4)
        return "";
    parts.resize(4, 0);
    return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) + "." +
           std::to_string(parts[3]);
}
