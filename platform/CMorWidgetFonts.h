// The widget fonts: the toolkit's standard fonts become the installed fonts
// nearest to the program's widget faces, "Segoe UI" and "Tahoma bold", as
// fontconfig finds them, falling back to the system's sans-serif font.
#pragma once

#include <string>

class CMorWidgetFonts
{
public:
    // Toolkit fonts 0, 2 and 3 become the nearest regular face to "Segoe UI",
    // font 1 the nearest bold face to "Tahoma". Call before any window shows.
    static void install();

    // The family of fontconfig's best installed match for the family in the
    // weight, with sans-serif as the fallback; empty when fontconfig finds
    // nothing.
    static std::string findNearestFamily(const std::string& family, bool bold);
};
