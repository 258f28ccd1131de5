// Message boxes over FLTK's common dialog.
#include "CMorMessageBox.h"

#include "CMorToolWindow.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>

namespace {

// The toolkit shows its box where it stood last (at the pointer with the
// hotspot on), and sizes it to the text only just before showing it. The box
// is moved on the first turn of its event loop, before it is first drawn:
// over the main window, or over the screen while there is none.
void centreShownBox(void*)
{
    Fl_Window* box = fl_message_icon()->window();
    if (!box->shown())
        return;
    Fl::remove_check(centreShownBox);
    int x = 0, y = 0, w = 0, h = 0;
    Fl_Window* owner = CMorToolWindow::getOwner();
    if (owner != nullptr && owner->shown()) {
        x = owner->x();
        y = owner->y();
        w = owner->w();
        h = owner->h();
    } else {
        Fl::screen_work_area(x, y, w, h);
    }
    box->position(x + w / 2 - box->w() / 2, y + h / 2 - box->h() / 2);
}

// Every box goes through here: the title and the place are the same for all.
template <class Box>
int runBox(Box box)
{
    fl_message_title("Morvex");
    fl_message_hotspot(0);
    Fl::add_check(centreShownBox);
    const int answer = box();
    Fl::remove_check(centreShownBox);
    return answer;
}

} // namespace

void CMorMessageBox::alert(const std::string& text)
{
    runBox([&text] {
        fl_alert("%s", text.c_str());
        return 0;
    });
}

bool CMorMessageBox::ask(const std::string& text)
{
    return runBox([&text] { return fl_choice("%s", "No", "Yes", nullptr, text.c_str()); }) == 1;
}
