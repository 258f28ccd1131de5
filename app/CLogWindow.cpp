// Log window over an FLTK text display.
#include "CLogWindow.h"

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>

#include <iostream>

CLogWindow::CLogWindow()
{
    m_window = new Fl_Double_Window(791, 168, "Log output window");
    m_window->user_data(this);
    m_display = new Fl_Text_Display(5, 5, 780, 155);
    m_display->textfont(FL_COURIER);
    m_display->textsize(11);
    // The text buffer lives as long as the program.
    m_display->buffer(new Fl_Text_Buffer(0, 1024));
    m_window->end();
    m_window->resizable(m_window);

    m_streambuf.setDisplay(m_display);
    // About 20000 lines: enough to look back, bounded in a long session.
    m_streambuf.setLimit(1 << 20);
    m_previous = std::cout.rdbuf(&m_streambuf);
    m_streambuf.setEcho(m_previous);
}

CLogWindow::~CLogWindow()
{
    std::cout.flush();
    std::cout.rdbuf(m_previous);
    m_streambuf.setDisplay(nullptr);
    delete m_window;
}

void CLogWindow::show()
{
    m_window->show();
}

void CLogWindow::hide()
{
    m_window->hide();
}
