// Number formatting and range checks of the dialogs' value inputs.
#include "CMorValueInput.h"

#include "CMorMessageLine.h"

#include <cstdio>

CMorValueInput::CMorValueInput(int x, int y, int width, int height, const char* label)
    : Fl_Value_Input(x, y, width, height, label)
{
    // Not on every keystroke: on the way to 0.05 or 120 the field reads 0 or
    // 12, which would be refused or reach the view.
    when(FL_WHEN_RELEASE | FL_WHEN_ENTER_KEY);
}

int CMorValueInput::format(char* buffer)
{
    // The toolkit's default keeps six digits: 6542425.38 would read 6.54243e+06.
    return std::snprintf(buffer, 128, "%.10g", value());
}

bool CMorValueInput::checkRange(const CMorSettingRanges::Range& range, double lastGood, CMorMessageLine* messages)
{
    if (range.contains(value())) {
        messages->setText(std::string());
        return true;
    }
    messages->setText(range.refusal());
    value(lastGood);
    return false;
}
