#include "app/CameraDefs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// A fresh empty folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "lumcam-test-XXXXXX").string();
        FPath = mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(FPath, ec);
    }
    std::string operator/(const std::string& name) const { return (FPath / name).string(); }
    std::string Path() const { return FPath.string(); }

private:
    fs::path FPath;
};

void Touch(const std::string& path, const std::string& content = "") {
    std::ofstream(path) << content;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CameraLibrary, LoadsFromTheGivenFolder) {
    TCameraLibrary lib;
    ASSERT_TRUE(lib.LoadFrom(LUMCAM_LIBRARY_DIR)) << lib.ErrorMessage();
    EXPECT_TRUE(lib.Loaded());
    EXPECT_EQ(lib.ErrorMessage(), "");
    EXPECT_EQ(lib.FileName(), std::string(LUMCAM_LIBRARY_DIR) + "/liblumcam32.so");
    EXPECT_NE(lib.ls_initialize(0x4000000, 4096, 32, 1, "VX_LUMETRA_DEVICE_"), 0);
    EXPECT_STREQ(lib.ls_geterrorstring(0), "OK");
    EXPECT_EQ(LibraryFileVersion(lib.FileName()), "1.0.0.0")
        << "read through the links to the versioned file";
}

TEST(CameraLibrary, MissingLibraryGivesOneMessageAndHarmlessStandIns) {
    TempFolder empty;
    TCameraLibrary lib;
    ASSERT_FALSE(lib.LoadFrom(empty.Path()));
    EXPECT_FALSE(lib.Loaded());
    EXPECT_TRUE(Contains(lib.ErrorMessage(), "liblumcam32.so")) << lib.ErrorMessage();

    EXPECT_EQ(lib.ls_initialize(0x4000000, 4096, 32, 1, "VX_LUMETRA_DEVICE_"), 0) << "not ready";
    EXPECT_EQ(lib.ls_enumdevices(), 0);
    EXPECT_EQ(lib.ls_currentdeviceindex(), -1);
    EXPECT_STREQ(lib.ls_getproductname(0), "");
    const int32_t code = lib.ls_opendevicebyindex(0);
    EXPECT_EQ(code, kCameraLibraryMissing);
    EXPECT_STREQ(lib.ls_geterrorstring(code), "CAMERA DRIVER LIBRARY NOT LOADED");
    uint8_t buf[4];
    uint32_t count = 99;
    EXPECT_EQ(lib.ls_getpipe(buf, 4, &count), kCameraLibraryMissing);
    EXPECT_EQ(count, 0u);
    // The time-out goes into the settings file from the library's answer: the user's value must survive.
    lib.ls_seteptimeout(250);
    EXPECT_EQ(lib.ls_geteptimeout(), 250);
}

TEST(CameraLibrary, MissingFunctionsAreNamed) {
    TCameraLibrary lib;
    ASSERT_FALSE(lib.LoadFrom(LUMCAM_INCOMPLETE_DIR));
    const std::string& message = lib.ErrorMessage();
    EXPECT_TRUE(Contains(message, "ls_getfps")) << message;
    EXPECT_TRUE(Contains(message, "ls_savesettings")) << message;
    EXPECT_FALSE(Contains(message, "ls_initialize")) << message;
    EXPECT_TRUE(Contains(message, std::string(LUMCAM_INCOMPLETE_DIR) + "/liblumcam32.so")) << message;
    EXPECT_STREQ(lib.ls_geterrorstring(0), "CAMERA DRIVER LIBRARY NOT LOADED") << "nothing half-bound";
}

TEST(CameraLibrary, FileThatIsNoLibraryIsReportedByPath) {
    TempFolder folder;
    Touch(folder / "liblumcam32.so", "not a library");
    TCameraLibrary lib;
    ASSERT_FALSE(lib.LoadFrom(folder.Path()));
    EXPECT_TRUE(Contains(lib.ErrorMessage(), folder / "liblumcam32.so")) << lib.ErrorMessage();

    TCameraLibrary direct;
    ASSERT_FALSE(direct.LoadFile(folder / "nothing-here.so"));
    EXPECT_TRUE(Contains(direct.ErrorMessage(), folder / "nothing-here.so")) << direct.ErrorMessage();
}

TEST(LibraryFileVersion, ReadsTheVersionFromTheVersionedName) {
    TempFolder folder;
    Touch(folder / "libcam.so.1.2.0.15");
    Touch(folder / "libplain.so");
    Touch(folder / "libshort.so.3");
    Touch(folder / "libodd.so.1.2.beta");
    Touch(folder / "libmany.so.1.2.3.4.5");
    fs::create_symlink("libcam.so.1.2.0.15", folder / "libcam.so.1");
    fs::create_symlink("libcam.so.1", folder / "libcam.so");
    fs::create_symlink("gone.so.1.0.0.0", folder / "libdangling.so");
    struct Case {
        std::string file;
        std::string version;
    } cases[] = {
        {folder / "libcam.so.1.2.0.15", "1.2.0.15"},
        {folder / "libcam.so", "1.2.0.15"},
        {folder / "libplain.so", ""},
        {folder / "libshort.so.3", "3.0.0.0"},
        {folder / "libodd.so.1.2.beta", ""},
        {folder / "libmany.so.1.2.3.4.5", ""},
        {folder / "missing.so.1.0.0.0", "-1"},
        {folder / "libdangling.so", "-1"},
        {"", "-1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LibraryFileVersion(c.file), c.version) << c.file;
}

} // namespace
