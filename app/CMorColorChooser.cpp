// The toolkit's colour chooser behind a replaceable function.
#include "CMorColorChooser.h"

#include <FL/Fl.H>
#include <FL/Fl_Color_Chooser.H>

namespace {

bool toolkitChooser(const char* title, double& r, double& g, double& b)
{
    double chosen[3] = {r, g, b};
    if (fl_color_chooser(title, chosen[0], chosen[1], chosen[2]) == 0)
        return false;
    r = chosen[0];
    g = chosen[1];
    b = chosen[2];
    return true;
}

CMorColorChooser::Function currentChooser = toolkitChooser;

uchar toByte(float component)
{
    // Also catches NaN, which fails both comparisons.
    if (!(component > 0.0f))
        return 0;
    if (component >= 1.0f)
        return 255;
    return static_cast<uchar>(component * 255.0f);
}

} // namespace

bool CMorColorChooser::choose(const char* title, double& r, double& g, double& b)
{
    return currentChooser(title, r, g, b);
}

void CMorColorChooser::setFunction(Function function)
{
    currentChooser = function != nullptr ? function : toolkitChooser;
}

Fl_Color CMorColorChooser::toButtonColor(float r, float g, float b)
{
    return fl_rgb_color(toByte(r), toByte(g), toByte(b));
}
