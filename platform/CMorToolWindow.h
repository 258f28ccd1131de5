// Shows a window as a tool window: a utility window with a small frame that the
// window manager keeps above the main window and off the task bar.
#pragma once

class Fl_Window;

class CMorToolWindow
{
public:
    // The window tool windows belong to (borrowed; null for none). The main
    // window sets itself once it is shown.
    static void setOwner(Fl_Window* owner);
    static Fl_Window* getOwner();

    // Shows the window (borrowed) at its own position, marks it as a utility
    // window and makes it transient for the owner when the owner is shown.
    static void show(Fl_Window* window);
};
