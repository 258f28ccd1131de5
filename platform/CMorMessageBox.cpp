// Alert and question boxes over FLTK.
#include "CMorMessageBox.h"

#include <FL/fl_ask.H>

namespace {

// What every box of the program gets before it is shown.
void prepareBox()
{
    fl_message_title("Morvex");
}

} // namespace

void CMorMessageBox::alert(const std::string& text)
{
    prepareBox();
    fl_alert("%s", text.c_str());
}

bool CMorMessageBox::ask(const std::string& text)
{
    prepareBox();
    // Button 0 answers Escape and the close box, button 1 Return.
    return fl_choice("%s", "No", "Yes", nullptr, text.c_str()) == 1;
}
