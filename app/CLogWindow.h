// The log window: takes over the program's standard output and shows every
// line written to it in a scrolling text field, while still passing the same
// lines on to the standard output the program started with.
#pragma once

#include "basic_editstreambuf.h"

#include <streambuf>

class Fl_Double_Window;
class Fl_Text_Display;

class CLogWindow
{
public:
    // Builds the window hidden and redirects std::cout at once.
    CLogWindow();
    // Gives std::cout its own stream buffer back.
    ~CLogWindow();
    CLogWindow(const CLogWindow&) = delete;
    CLogWindow& operator=(const CLogWindow&) = delete;

    void show();
    void hide();

    // Borrowed: the window and its text display, owned by this object.
    Fl_Double_Window* getWindow() const { return m_window; }
    Fl_Text_Display* getDisplay() const { return m_display; }

private:
    Fl_Double_Window* m_window;
    Fl_Text_Display* m_display;
    editstreambuf m_streambuf;
    std::streambuf* m_previous;
};
