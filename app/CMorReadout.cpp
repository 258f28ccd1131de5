// Readout text in the tool bar.
#include "CMorReadout.h"

#include <FL/Fl_Group.H>

#include <algorithm>

namespace {

const int RIGHT_MARGIN = 8;

} // namespace

CMorReadout::CMorReadout(int x, int y, int height) : Fl_Box(x, y, 1, height)
{
    box(FL_NO_BOX);
    labelfont(FL_COURIER);
    labelsize(12);
    align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    setText("-");
    resize(x, y, 1, height);
}

void CMorReadout::setText(const std::string& text)
{
    if (text == m_text)
        return;
    m_text = text;
    // A label's "@" would name a symbol and "&" mark a shortcut.
    std::string shown;
    for (const char c : text) {
        if (c == '@' || c == '&')
            shown += c;
        shown += c;
    }
    copy_label(shown.c_str());
    // Without a box the tool bar's face must show through afresh.
    if (parent() != nullptr)
        parent()->damage(FL_DAMAGE_ALL, x(), y(), w(), h());
    else
        redraw();
}

void CMorReadout::setReserve(int pixels)
{
    m_reserve = std::max(0, pixels);
    resize(x(), y(), w(), h());
    if (parent() != nullptr)
        parent()->redraw();
}

void CMorReadout::resize(int x, int y, int width, int height)
{
    if (const Fl_Group* bar = parent())
        width = std::max(1, bar->x() + bar->w() - RIGHT_MARGIN - m_reserve - x);
    Fl_Box::resize(x, y, width, height);
}
