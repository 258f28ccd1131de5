// The export's progress shown in a window: a bar that appears while an export
// runs and lets the window handle its events between the steps.
#pragma once

#include "CMorExportProgress.h"

class Fl_Progress;

class CMorProgressBar : public CMorExportProgress
{
public:
    // Makes a hidden bar at x, y in the group being built; while shown it
    // keeps to the right end of that group, however wide it has become.
    CMorProgressBar(int x, int y, int width, int height);
    CMorProgressBar(const CMorProgressBar&) = delete;
    CMorProgressBar& operator=(const CMorProgressBar&) = delete;

    void onExportProgress(int done, int total) override;
    void onExportEnd() override;

    // Borrowed: the bar belongs to its group.
    Fl_Progress* getWidget() const { return m_bar; }

private:
    Fl_Progress* m_bar;
    char m_label[64] = "";
};
