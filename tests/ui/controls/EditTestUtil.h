// A form with typed edits on the headless display, for the edit tests.
#pragma once

#include <gtest/gtest.h>

#include "platform/rtl/Locale.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "ui/controls/KvxEdit.h"

namespace edittest {

// English separators: '.' decimal, ',' thousands.
inline plat::TFormatSettings English() {
    return plat::TFormatSettings();
}

// German separators: ',' decimal, '.' thousands.
inline plat::TFormatSettings German() {
    plat::TFormatSettings fs;
    fs.DecimalSeparator = ',';
    fs.ThousandSeparator = '.';
    return fs;
}

class EditFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Form = plat::NewForm<plat::TForm>(plat::Application);
        Form->SetBounds(100, 100, 420, 300);
        Other = New(20, 240);
        Edit = New(120, 20);
        Form->Show();
        Driver.Pump();
    }

    template <class T = ui::TKvxEdit> T* New(int x, int y, int w = 150) {
        auto* e = new T(Form);
        e->SetParent(Form);
        e->SetBounds(x, y, w, 21);
        return e;
    }

    // Focuses the edit, puts the caret (and selection) where given and types.
    void TypeAt(ui::TKvxEdit* e, int selStart, int selLength, const std::string& text) {
        e->SetFocus();
        Driver.Pump();
        e->SetSelStart(selStart);
        e->SetSelLength(selLength);
        Driver.Type(text);
    }

    plat::TScopedFormatSettings Locale{English()};
    plat::TTestDriver Driver;
    plat::TForm* Form = nullptr;
    ui::TKvxEdit* Edit = nullptr;
    ui::TKvxEdit* Other = nullptr;
};

} // namespace edittest
