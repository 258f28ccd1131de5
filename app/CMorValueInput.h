// A value input that shows its number with ten significant digits, so that map
// coordinates of seven or more digits stay readable and editable in place.
#pragma once

#include <FL/Fl_Value_Input.H>

class CMorValueInput : public Fl_Value_Input
{
public:
    CMorValueInput(int x, int y, int width, int height, const char* label = nullptr);

    // Writes the value into buffer (at least 128 characters).
    int format(char* buffer) override;
};
