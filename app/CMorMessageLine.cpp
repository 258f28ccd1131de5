// The dialogs' message line: dark red, wrapped within its box.
#include "CMorMessageLine.h"

CMorMessageLine::CMorMessageLine(int x, int y, int width, int height) : Fl_Box(x, y, width, height)
{
    // A box of its own colour, so that a shorter text leaves nothing behind.
    box(FL_FLAT_BOX);
    labelsize(11);
    labelcolor(FL_DARK_RED);
    align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
}

void CMorMessageLine::setText(const std::string& text)
{
    if (text == m_text)
        return;
    m_text = text;
    // The label points into m_text, which lives as long as the line.
    label(m_text.empty() ? nullptr : m_text.c_str());
    redraw();
}
