// The toolkit's message boxes, titled "Morvex" and centred over the main
// window, reachable from code that must not include the toolkit.
#pragma once

#include <string>

class CMorMessageBox
{
public:
    // Shows the text as it is (no format characters) and waits until the box
    // is closed.
    static void alert(const std::string& text);
    // Asks the question (the text as it is) with "No" and "Yes"; true for Yes.
    // Return answers Yes; Escape and the close box answer No.
    static bool ask(const std::string& text);
};
