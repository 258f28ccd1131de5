// Export progress bar.
#include "CMorProgressBar.h"

#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Progress.H>

#include <cstdio>

namespace {

const int RIGHT_MARGIN = 8;

} // namespace

CMorProgressBar::CMorProgressBar(int x, int y, int width, int height)
{
    m_bar = new Fl_Progress(x, y, width, height);
    m_bar->minimum(0.0f);
    m_bar->maximum(1.0f);
    m_bar->selection_color(FL_BLUE);
    m_bar->labelsize(11);
    m_bar->hide();
}

void CMorProgressBar::onExportProgress(int done, int total)
{
    std::snprintf(m_label, sizeof m_label, "Exporting %d / %d", done, total);
    m_bar->label(m_label);
    m_bar->value(total > 0 ? static_cast<float>(done) / total : 0.0f);
    if (!m_bar->visible()) {
        // Groups that scroll move their children but never stretch them.
        if (Fl_Group* group = m_bar->parent()) {
            const int right = group->x() + group->w() - RIGHT_MARGIN;
            if (right - m_bar->w() > group->x())
                m_bar->position(right - m_bar->w(), m_bar->y());
        }
        m_bar->show();
    }
    // The bar and every other damaged widget are drawn now, and waiting
    // events handled, so the window stays alive during a long export.
    Fl::check();
}

void CMorProgressBar::onExportEnd()
{
    m_bar->hide();
    Fl::check();
}
