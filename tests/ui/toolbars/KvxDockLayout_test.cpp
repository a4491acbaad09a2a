#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/rtl/FormText.h"
#include "platform/rtl/IniFile.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/SettingsPaths.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "ui/toolbars/KvxDockPanel.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStore.h"

using namespace plat;
using namespace ui;
using namespace ui::toolbar;

namespace {

// The chart window's dock with its layout kept in an INI file.
std::string ChartDock(const std::string& iniFile, const std::string& key = "", bool enabled = true) {
    std::ostringstream s;
    s << "object ChartForm: TForm\n"
         "  ClientWidth = 722\n"
         "  ClientHeight = 273\n"
         "  object Dock: TKvxDockPanel\n"
         "    Width = 722\n"
         "    Height = 54\n"
         "    UseRunTimeHeight = True\n"
         "    Persistence.Enabled = "
      << (enabled ? "True" : "False") << "\n    Persistence.Location = plIniFile\n    Persistence.Key = '"
      << (key.empty() ? iniFile : key) << "'\n    Persistence.Section = 'ChartDock'\n";
    const struct {
        const char* name;
        int left, width;
    } bars[] = {{"Frames", 3, 112}, {"Toolbox", 575, 144}, {"Chart", 117, 456}};
    for (const auto& b : bars)
        s << "    object " << b.name << ": TKvxToolBar\n      Left = " << b.left
          << "\n      Top = 1\n      Width = " << b.width
          << "\n      Height = 52\n      AutoSize = False\n    end\n";
    s << "  end\nend\n";
    return s.str();
}

class DockLayoutTest : public ::testing::Test {
protected:
    TForm* Load(const std::string& text) {
        auto* form = NewForm<TForm>(Application);
        ReadComponentFromText(text, form);
        form->SetBounds(0, 0, 730, 300);
        return form;
    }
    static TKvxDockPanel* Dock(TForm* form) {
        return dynamic_cast<TKvxDockPanel*>(form->FindComponent("Dock"));
    }
    static TKvxToolBar* Bar(TForm* form, const char* name) {
        return dynamic_cast<TKvxToolBar*>(form->FindComponent(name));
    }
    std::string File(const std::string& name) {
        const std::string path = TestOutputDir("toolbars") + "/" + name;
        std::filesystem::remove(path);
        return path;
    }
    static void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
    // Every shown toolbar in exactly the row it names, and no row left empty.
    static void ExpectConsistentRows(TKvxDockPanel* dock) {
        for (int r = 0; r < dock->RowCount(); ++r) {
            EXPECT_GT(dock->Rows()->Rows(r)->Count(), 0) << "row " << r << " is empty";
            for (int i = 0; i < dock->Rows()->Rows(r)->Count(); ++i)
                EXPECT_EQ(dock->Rows()->Rows(r)->ToolBars(i)->RowIndex(), r);
        }
        for (int i = 0; i < dock->ToolBarCount(); ++i) {
            TKvxCustomToolBar* bar = dock->ToolBars(i);
            if (bar->Visible()) {
                EXPECT_EQ(dock->Rows()->FindRowOf(bar), bar->RowIndex()) << bar->Name();
            }
        }
    }

    TTestDriver Driver;
};

TEST_F(DockLayoutTest, ArrangementSurvivesTheFormAndHiddenToolBarsComeBackHidden) {
    const std::string ini = File("dock-layout.ini");
    TForm* form = Load(ChartDock(ini));
    TKvxDockPanel* dock = Dock(form);
    ASSERT_EQ(dock->RowCount(), 1);
    // Toolbox to a second row, Chart hidden.
    dock->Rows()->AddRow();
    dock->Rows()->MoveToRow(Bar(form, "Toolbox"), 1);
    Bar(form, "Chart")->SetVisible(false);
    ASSERT_EQ(dock->RowCount(), 2);
    const TRect frames = Bar(form, "Frames")->BoundsRect();
    const TRect toolbox = Bar(form, "Toolbox")->BoundsRect();
    form->Free();

    TIniFile store(ini);
    EXPECT_EQ(store.ReadInteger("ChartDock", "ToolBarCount", -1), 3);
    EXPECT_EQ(store.ReadInteger("ChartDock", "RowCount", -1), 2);
    EXPECT_EQ(store.ReadString("ChartDock", "Name3", ""), "Chart") << "hidden toolbars come after the rows";
    EXPECT_EQ(store.ReadInteger("ChartDock", "Chart.Visible", -1), 0);

    form = Load(ChartDock(ini));
    dock = Dock(form);
    EXPECT_EQ(dock->RowCount(), 2);
    EXPECT_EQ(Bar(form, "Frames")->RowIndex(), 0);
    EXPECT_EQ(Bar(form, "Toolbox")->RowIndex(), 1);
    EXPECT_EQ(Bar(form, "Frames")->BoundsRect(), frames);
    EXPECT_EQ(Bar(form, "Toolbox")->BoundsRect(), toolbox);
    EXPECT_FALSE(Bar(form, "Chart")->Visible());
    ASSERT_EQ(dock->HiddenToolBars().size(), 1u);
    ExpectConsistentRows(dock);

    // Shown again, the hidden toolbar finds a row like any other.
    Bar(form, "Chart")->SetVisible(true);
    ExpectConsistentRows(dock);
    EXPECT_GE(Bar(form, "Chart")->RowIndex(), 0);
}

// Stores that are damaged, hand-edited or from an older form still give a sound arrangement.
TEST_F(DockLayoutTest, StoredValuesOutsideThePanelGiveSoundRows) {
    const struct {
        const char* what;
        const char* section;
        int rows; // expected
    } cases[] = {
        {"more rows than toolbars, rows outside the panel",
         "ToolBarCount=3\nRowCount=99\nName1=Frames\nFrames.Row=0\nName2=Toolbox\nToolbox.Row=7\n"
         "Name3=Chart\nChart.Row=-3\n",
         3},
        {"negative row count", "ToolBarCount=2\nRowCount=-5\nName1=Frames\nFrames.Row=0\nName2=Chart\n", 2},
        {"names in other case, a repeated and an unknown name; Toolbox not stored",
         "ToolBarCount=4\nRowCount=1\nName1=FRAMES\nFRAMES.Row=0\nName2=frames\nName3=Nobody\n"
         "Name4=chart\nchart.Row=0\nchart.Left=200\n",
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string ini = File("dock-layout-damaged.ini");
        Write(ini, std::string("[ChartDock]\n") + c.section);
        TForm* form = Load(ChartDock(ini));
        TKvxDockPanel* dock = Dock(form);
        EXPECT_EQ(dock->RowCount(), c.rows);
        for (const char* name : {"Frames", "Toolbox", "Chart"}) {
            EXPECT_TRUE(Bar(form, name)->Visible()) << name;
            EXPECT_EQ(Bar(form, name)->DockPanel(), dock) << name;
        }
        ExpectConsistentRows(dock);
        form->Free();
    }
}

TEST_F(DockLayoutTest, NothingIsReadOrWrittenWithoutASettingOrAStore) {
    const std::string ini = File("dock-layout-unused.ini");
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"disabled", ChartDock(ini, "", false)},
        {"no section",
         [&] {
             std::string t = ChartDock(ini);
             t.replace(t.find("'ChartDock'"), 11, "''");
             return t;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TForm* form = Load(c.text);
        EXPECT_EQ(Dock(form)->RowCount(), 1);
        form->Free();
        EXPECT_FALSE(std::filesystem::exists(ini));
    }
    // A store that says "no toolbars" leaves the streamed arrangement as it is.
    Write(ini, "[ChartDock]\nToolBarCount=0\nRowCount=3\n");
    TForm* form = Load(ChartDock(ini));
    EXPECT_EQ(Dock(form)->RowCount(), 1);
    EXPECT_EQ(Bar(form, "Toolbox")->BoundsRect(), Bounds(575, 1, 144, 52));
    form->Free();
}

TEST_F(DockLayoutTest, RelativeStoreNamesLiveInTheConfigFolder) {
    const std::string home = TestOutputDir("toolbars") + "/config-home";
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    const std::string folder = ConfigFolder();
    EXPECT_EQ(ResolveStoreFileName(".\\untitled.ini"), folder + "untitled.ini");
    EXPECT_EQ(ResolveStoreFileName("untitled.ini"), folder + "untitled.ini");
    EXPECT_EQ(ResolveStoreFileName("layouts\\chart.ini"), folder + "layouts/chart.ini");
    EXPECT_EQ(ResolveStoreFileName("/tmp/x.ini"), "/tmp/x.ini");

    std::filesystem::remove(folder + "untitled.ini");
    TForm* form = Load(ChartDock("", ".\\untitled.ini"));
    form->Free();
    EXPECT_EQ(TIniFile(folder + "untitled.ini").ReadInteger("ChartDock", "ToolBarCount", 0), 3);

    // The settings registry keeps the same values under the key, one subkey per section.
    form = Load(ChartDock(""));
    TPersistence* p = Dock(form)->Persistence();
    p->SetLocation(plRegistry);
    p->SetKey("Software\\Lumetra\\Layouts");
    Dock(form)->SaveDockLayout();
    TRegistryIniFile registry("Software\\Lumetra\\Layouts");
    EXPECT_EQ(registry.ReadInteger("ChartDock", "ToolBarCount", 0), 3);
    EXPECT_EQ(registry.ReadString("ChartDock", "Name1", ""), "Frames");
    form->Free();
    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

} // namespace
