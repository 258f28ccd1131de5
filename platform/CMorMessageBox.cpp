// Alert box over FLTK.
#include "CMorMessageBox.h"

#include <FL/fl_ask.H>

void CMorMessageBox::alert(const std::string& text)
{
    fl_message_title("Morvex");
    fl_alert("%s", text.c_str());
}
