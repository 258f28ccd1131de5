// The toolkit's alert box, reachable from code that must not include the toolkit.
#pragma once

#include <string>

class CMorMessageBox
{
public:
    // Shows the text as it is (no format characters) in a window titled
    // "Morvex" and waits until it is closed.
    static void alert(const std::string& text);
};
