#include "platform/ui/Frame.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Form.h"

using namespace plat;

// A frame is a container of its own: what is put on it belongs to it, not to the form, and goes with it.
TEST(Frame, OwnsWhatIsPutOnItAndTakesItAlong) {
    TTestDriver driver;
    TForm* form = NewForm<TForm>(Application);
    auto* frame = new TFrame(form);
    frame->SetParent(form);
    EXPECT_TRUE(frame->ControlStyle() & csAcceptsControls);
    auto* button = new TButton(frame);
    button->SetParent(frame);
    button->SetName("btn_inner");

    EXPECT_EQ(form->ComponentCount(), 1);
    EXPECT_EQ(form->FindComponent("btn_inner"), nullptr);
    EXPECT_EQ(frame->FindComponent("btn_inner"), button);
    // Names only need to differ within their owner.
    auto* outer = new TButton(form);
    outer->SetName("btn_inner");

    frame->Free();
    EXPECT_EQ(form->ControlCount(), 0) << "the frame left the form";
    EXPECT_EQ(form->ComponentCount(), 1);
    form->Free();
}
