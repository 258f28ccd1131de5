// The toolkit's alert and question boxes, reachable from code that must not
// include the toolkit.
#pragma once

#include <string>

class CMorMessageBox
{
public:
    // Shows the text as it is (no format characters) in a window titled
    // "Morvex" and waits until it is closed.
    static void alert(const std::string& text);
    // Shows the text as alert does, with the buttons "Yes" (Return) and "No"
    // (Escape, and closing the box); true for "Yes".
    static bool ask(const std::string& text);
};
