// Sends WM_DELETE_WINDOW to a window, as a window manager does when its close
// box is pressed (Xvfb runs no window manager). Usage: morvex_sendclose ID
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    Display* display = argc != 2 ? nullptr : XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "usage (with a display): morvex_sendclose WINDOW-ID\n");
        return 2;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return sent != 0 ? 0 : 1;
}
