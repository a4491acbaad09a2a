#include "platform/rtl/SettingsPaths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StringUtils.h"

using namespace plat;
namespace fs = std::filesystem;

namespace {

// Sets or clears an environment variable for the test and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : FName(name) {
        if (const char* old = std::getenv(name))
            FOld = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { FOld ? setenv(FName, FOld->c_str(), 1) : unsetenv(FName); }

private:
    const char* FName;
    std::optional<std::string> FOld;
};

class SettingsPathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lumetra-paths-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        FDir = std::string(tmpl) + "/";
    }
    void TearDown() override {
        SetProgramFolderOverride("");
        fs::remove_all(FDir);
    }
    std::string FDir;
};

TEST_F(SettingsPathsTest, ConfigFolderFollowsTheEnvironmentAndIsCreated) {
    ScopedEnv home("HOME", (FDir + "home").c_str());
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", (FDir + "xdg").c_str());
        EXPECT_EQ(ConfigFolder(), FDir + "xdg/lumetra/");
        EXPECT_TRUE(DirectoryExists(FDir + "xdg/lumetra"));
        EXPECT_EQ(RegistryFilePath(), FDir + "xdg/lumetra/registry.ini");
    }
    for (const char* ignored : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        ScopedEnv xdg("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(ConfigFolder(), FDir + "home/.config/lumetra/") << (ignored ? ignored : "unset");
    }
    EXPECT_TRUE(DirectoryExists(FDir + "home/.config/lumetra"));
}

TEST_F(SettingsPathsTest, FilesLieBesideTheProgramOnlyWhenItsFolderIsWritable) {
    ScopedEnv xdg("XDG_CONFIG_HOME", (FDir + "xdg").c_str());
    const std::string log = ChangeFileExt(ExtractFileName(ApplicationExeName()), ".error.log");

    SetProgramFolderOverride(FDir + "program"); // the trailing separator is added
    fs::create_directory(FDir + "program");
    EXPECT_EQ(ProgramFolder(), FDir + "program/");
    EXPECT_EQ(SettingsFilePath("lumcam.Ini"), FDir + "program/lumcam.Ini");
    EXPECT_EQ(ErrorLogFilePath(), FDir + "program/" + log);

    // A program folder nothing can be created in, even by root: a name below a regular file.
    std::ofstream(FDir + "file") << "x";
    SetProgramFolderOverride(FDir + "file/program/");
    EXPECT_EQ(SettingsFilePath("lumcam.Ini"), FDir + "xdg/lumetra/lumcam.Ini");
    EXPECT_EQ(ErrorLogFilePath(), FDir + "xdg/lumetra/" + log);

    SetProgramFolderOverride("");
    EXPECT_EQ(ProgramFolder(), ApplicationFolder());
}

} // namespace
