// Shows a window as a tool window: a utility window with a small frame that the
// window manager keeps off the task bar.
#pragma once

class Fl_Window;

class CMorToolWindow
{
public:
    // Shows the window (borrowed) at its own position and marks it as a
    // utility window.
    static void show(Fl_Window* window);
};
