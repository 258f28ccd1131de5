// A value input that shows its number with ten significant digits, so that map
// coordinates of seven or more digits stay readable and editable in place. A
// typed value is taken when Enter is pressed or the field loses the keyboard,
// and checked against its allowed range then.
#pragma once

#include "CMorSettingRanges.h"

#include <FL/Fl_Value_Input.H>

class CMorMessageLine;

class CMorValueInput : public Fl_Value_Input
{
public:
    CMorValueInput(int x, int y, int width, int height, const char* label = nullptr);

    // Writes the value into buffer (at least 128 characters).
    int format(char* buffer) override;

    // A value outside range is refused: the field shows lastGood again and
    // messages (borrowed) says why. A value inside clears messages. True
    // when the value may be used.
    bool checkRange(const CMorSettingRanges::Range& range, double lastGood, CMorMessageLine* messages);
};
