// X11 display probe.
#include "CMorDisplay.h"

#include <X11/Xlib.h>

#include <cstdlib>

bool CMorDisplay::isAvailable(std::string& reason)
{
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        reason = "the environment variable DISPLAY is not set";
        return false;
    }
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        reason = std::string("the X display \"") + name + "\" cannot be opened";
        return false;
    }
    XCloseDisplay(display);
    return true;
}
