// A tool-bar button that lies flat until the pointer is over it, then shows
// raised and one step lighter, and sunken while pressed.
#pragma once

#include <FL/Fl_Button.H>

class Fl_HoverButton : public Fl_Button
{
public:
    Fl_HoverButton(int x, int y, int width, int height, const char* label = nullptr);

    int handle(int event) override;
    void draw() override;
};
