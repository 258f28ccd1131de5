// Number formatting of the dialogs' value inputs.
#include "CMorValueInput.h"

#include <cstdio>

CMorValueInput::CMorValueInput(int x, int y, int width, int height, const char* label)
    : Fl_Value_Input(x, y, width, height, label)
{
}

int CMorValueInput::format(char* buffer)
{
    // The toolkit's default keeps six digits: 6542425.38 would read 6.54243e+06.
    return std::snprintf(buffer, 128, "%.10g", value());
}
