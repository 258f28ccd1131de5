// Listener of a running export: the window shows its progress and keeps
// handling events between the steps.
#pragma once

class CMorExportProgress
{
public:
    virtual ~CMorExportProgress() = default;
    // done of total steps (tiles drawn, tool runs) are finished; called
    // before each step and once more at the end with done equal to total.
    virtual void onExportProgress(int done, int total) {}
    // The export is over, whatever its outcome.
    virtual void onExportEnd() {}
};
