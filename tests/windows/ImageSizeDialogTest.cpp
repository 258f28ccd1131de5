// The export's size dialog: its widgets, and the answers of OK, Cancel and the
// close box while it runs modally.
#include <gtest/gtest.h>

#include "CImageSizeDialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Value_Slider.H>

#include <string>

namespace {

struct Answer {
    CImageSizeDialog* dialog;
    double value;
    int how; // 0 OK, 1 Cancel, 2 close box
};

// Answers once the dialog's loop runs.
void answer(void* data)
{
    Answer* a = static_cast<Answer*>(data);
    a->dialog->getSlider()->value(a->value);
    if (a->how == 0)
        a->dialog->getOkButton()->do_callback();
    else if (a->how == 1)
        a->dialog->getCancelButton()->do_callback();
    else
        a->dialog->getWindow()->do_callback();
}

bool run(CImageSizeDialog& dialog, double value, int how)
{
    Answer a{&dialog, value, how};
    Fl::add_timeout(0.0, answer, &a);
    return dialog.showModal();
}

} // namespace

TEST(ImageSizeDialog, Widgets)
{
    CImageSizeDialog dialog;
    Fl_Double_Window* window = dialog.getWindow();
    EXPECT_EQ(window->w(), 208);
    EXPECT_EQ(window->h(), 79);
    EXPECT_EQ(std::string(window->label()), "Image size");
    EXPECT_TRUE(window->modal());
    EXPECT_FALSE(window->shown());
    Fl_Value_Slider* slider = dialog.getSlider();
    EXPECT_EQ(std::string(slider->label()), "Image size multiplier");
    EXPECT_EQ(slider->minimum(), 1.0);
    EXPECT_EQ(slider->maximum(), 8.0);
    EXPECT_EQ(slider->step(), 1.0);
    EXPECT_EQ(slider->value(), 1.0);
    EXPECT_EQ(slider->type(), FL_HOR_NICE_SLIDER);
    EXPECT_EQ(std::string(slider->tooltip()),
              "[n x n] images of the final image. A value of 1 produces an image of the same size as the current view.");
    EXPECT_EQ(std::string(dialog.getOkButton()->label()), "OK");
    EXPECT_EQ(dialog.getOkButton()->x(), 34);
    EXPECT_EQ(std::string(dialog.getCancelButton()->label()), "Cancel");
    EXPECT_EQ(dialog.getCancelButton()->x(), 104);
}

TEST(ImageSizeDialog, OkGivesTheMultiplierCancelAndCloseBoxGiveNothing)
{
    CImageSizeDialog dialog;
    EXPECT_TRUE(run(dialog, 3.0, 0));
    EXPECT_FALSE(dialog.getWindow()->shown());
    int x = 0, y = 0;
    dialog.getSize(x, y);
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 3);

    CImageSizeDialog cancelled;
    EXPECT_FALSE(run(cancelled, 5.0, 1));
    EXPECT_FALSE(cancelled.getWindow()->shown());
    CImageSizeDialog closed;
    EXPECT_FALSE(run(closed, 5.0, 2));
    EXPECT_FALSE(closed.getWindow()->shown());
}
