// Whether an X display can be reached, asked before any window is made so that
// the program can say so plainly instead of failing inside the toolkit.
#pragma once

#include <string>

class CMorDisplay
{
public:
    // True when the display named by DISPLAY accepts a connection; otherwise
    // false with the reason in a sentence.
    static bool isAvailable(std::string& reason);
};
