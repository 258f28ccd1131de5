// The help window: the three mouse bindings of the view, each with a picture.
#pragma once

#include "CMorCanvas.h"

class Fl_Double_Window;
class Fl_Button;
class Fl_RGB_Image;

class CMorHelpWindow
{
public:
    // Builds the window hidden.
    CMorHelpWindow();
    virtual ~CMorHelpWindow();
    CMorHelpWindow(const CMorHelpWindow&) = delete;
    CMorHelpWindow& operator=(const CMorHelpWindow&) = delete;

    // Shows it as a tool window at its last position.
    void show();
    void hide();
    // Borrowed.
    Fl_Double_Window* getWindow() const { return m_window; }

private:
    Fl_Double_Window* m_window;
    Fl_Button* m_close;
    // The pictures' pixels; the images point into them.
    CMorCanvas m_rotate;
    CMorCanvas m_pan;
    CMorCanvas m_zoom;
    Fl_RGB_Image* m_images[3];
};
