// The colour chooser of the parameter dialogs and the button colour of a
// setting's colour. Tests put their own chooser in place of the modal one.
#pragma once

#include <FL/Enumerations.H>

class CMorColorChooser
{
public:
    // Shows r, g, b (0 to 1) and replaces them with the user's choice; false,
    // with r, g, b unchanged, when the user cancels.
    using Function = bool (*)(const char* title, double& r, double& g, double& b);

    static bool choose(const char* title, double& r, double& g, double& b);
    // Null puts the toolkit's modal chooser back.
    static void setFunction(Function function);

    // Each component times 255, truncated; components outside 0 to 1 are
    // taken as the nearest end.
    static Fl_Color toButtonColor(float r, float g, float b);
};
