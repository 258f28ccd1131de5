// The splash and about window: the program's picture with its version and
// build time, and a Close button; as start-up splash it hides itself.
#pragma once

#include "CMorCanvas.h"

#include <string>

class Fl_Box;
class Fl_Button;
class Fl_Double_Window;
class Fl_Output;
class Fl_RGB_Image;
class Fl_Window;

class CSplashFrame
{
public:
    // Builds the window hidden.
    CSplashFrame();
    virtual ~CSplashFrame();
    CSplashFrame(const CSplashFrame&) = delete;
    CSplashFrame& operator=(const CSplashFrame&) = delete;

    // With automatic closing, show hides the window again after 4 seconds.
    void setAutoClose(bool autoClose) { m_autoClose = autoClose; }
    // Centres this window over the other one (borrowed), keeping its size.
    void centerOn(Fl_Window* other);
    void show();
    void hide();
    bool isShown() const;
    // Borrowed.
    Fl_Double_Window* getWindow() const { return m_window; }
    // "Morvex version 1.0.11" and the time and date of the build.
    static std::string getVersionText();

private:
    bool m_autoClose = false;
    Fl_Double_Window* m_window;
    Fl_Box* m_picture;
    Fl_Button* m_close;
    Fl_Output* m_text;
    CMorCanvas m_pixels;
    Fl_RGB_Image* m_image;
};
