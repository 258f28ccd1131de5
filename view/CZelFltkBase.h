// Binds a CZelWidgetBase to FLTK's OpenGL window: toolkit paints and events
// become the widget's dispatchers, and the widget's platform operations
// (redraw, idle processing, timers, clock) use the toolkit.
#pragma once

#include "CZelWidgetBase.h"

#include <FL/Fl_Gl_Window.H>

class CZelFltkBase : public Fl_Gl_Window, public CZelWidgetBase
{
    ZEL_DECLARE_CLASS(CZelFltkBase, CZelWidgetBase)

public:
    CZelFltkBase(int x, int y, int width, int height, const char* label = nullptr);
    ~CZelFltkBase() override;

    // Both bases can redraw; the widget's request lands in doRedraw.
    using CZelWidgetBase::redraw;

    void draw() override;
    int handle(int event) override;

    void disableIdleProcessing() override;
    void enableIdleProcessing() override;
    // Timers 0 to 9; other numbers are ignored.
    void enableTimeout(float seconds, int n) override;
    void disableTimeout(int n) override;
    void doRedraw() override;
    double elapsedTime() override;

    // Code of a special key for doFunctionKey, or -1 for an ordinary key.
    static int functionKeyCode(int key);

private:
    double m_startTime;
};
