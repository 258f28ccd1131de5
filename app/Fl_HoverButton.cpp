// Tool-bar button with a hover look.
#include "Fl_HoverButton.h"

#include <FL/Fl.H>

Fl_HoverButton::Fl_HoverButton(int x, int y, int width, int height, const char* label)
    : Fl_Button(x, y, width, height, label)
{
}

int Fl_HoverButton::handle(int event)
{
    if (event == FL_ENTER || event == FL_LEAVE) {
        redraw();
        return 1;
    }
    return Fl_Button::handle(event);
}

void Fl_HoverButton::draw()
{
    if (type() == FL_HIDDEN_BUTTON || box() == FL_NO_BOX)
        return;
    const bool hovered = Fl::belowmouse() == this;
    Fl_Color colour = value() ? selection_color() : color();
    if (colour == FL_BACKGROUND_COLOR && hovered)
        colour = FL_BACKGROUND_COLOR + 1;
    Fl_Boxtype boxType = FL_FLAT_BOX;
    if (value())
        boxType = down_box() ? down_box() : fl_down(box());
    else if (hovered && active_r())
        boxType = box();
    draw_box(boxType, colour);
    draw_label();
}
