// A line of text at the foot of a dialog that says why a typed value was
// refused; empty while every value was taken.
#pragma once

#include <FL/Fl_Box.H>

#include <string>

class CMorMessageLine : public Fl_Box
{
public:
    CMorMessageLine(int x, int y, int width, int height);

    // An empty text clears the line.
    void setText(const std::string& text);
    const std::string& getText() const { return m_text; }

private:
    std::string m_text;
};
