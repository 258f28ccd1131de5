// The export's size dialog: the answers of OK, Cancel and the
// close box while it runs modally.
#include <gtest/gtest.h>

#include "CImageSizeDialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Value_Slider.H>

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

TEST(ImageSizeDialog, OkGivesTheMultiplierCancelAndCloseBoxGiveNothing)
{
    CImageSizeDialog dialog;
    EXPECT_TRUE(dialog.getWindow()->modal());
    EXPECT_EQ(dialog.getSlider()->maximum(), 8.0);
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
