// Tool windows through the EWMH window-type and state hints.
#include "CMorToolWindow.h"

#include <FL/Fl_Window.H>
#include <FL/x.H>

namespace {

Fl_Window* toolOwner = nullptr;

} // namespace

void CMorToolWindow::setOwner(Fl_Window* owner)
{
    toolOwner = owner;
}

Fl_Window* CMorToolWindow::getOwner()
{
    return toolOwner;
}

void CMorToolWindow::show(Fl_Window* window)
{
    const bool wasShown = window->shown();
    window->show();
    if (wasShown)
        return;
    const Window xid = fl_xid(window);
    if (xid == 0)
        return;
    Atom type = XInternAtom(fl_display, "_NET_WM_WINDOW_TYPE", False);
    Atom utility = XInternAtom(fl_display, "_NET_WM_WINDOW_TYPE_UTILITY", False);
    XChangeProperty(fl_display, xid, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&utility), 1);
    Atom state = XInternAtom(fl_display, "_NET_WM_STATE", False);
    Atom skip = XInternAtom(fl_display, "_NET_WM_STATE_SKIP_TASKBAR", False);
    XChangeProperty(fl_display, xid, state, XA_ATOM, 32, PropModeAppend,
                    reinterpret_cast<unsigned char*>(&skip), 1);
    // The toolkit makes a non-modal window transient for whichever window it
    // showed last, which may be the log or the about window; a tool window
    // belongs to the main window.
    if (toolOwner != nullptr && toolOwner != window && toolOwner->shown())
        XSetTransientForHint(fl_display, xid, fl_xid(toolOwner));
    // Keep the window where it was last put, whatever the manager chose.
    XMoveWindow(fl_display, xid, window->x(), window->y());
    XFlush(fl_display);
}
