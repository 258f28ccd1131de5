// Clipboard through the toolkit's image selection on X11.
#include "CMorClipboard.h"

#include <FL/Fl.H>
#include <FL/x.H>

bool CMorClipboard::copyImage(const unsigned char* rgb, int width, int height)
{
    if (rgb == nullptr || width <= 0 || height <= 0)
        return false;
    fl_open_display();
    Fl::copy_image(rgb, width, height, 1);
    return true;
}
