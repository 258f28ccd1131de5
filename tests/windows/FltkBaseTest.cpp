// The FLTK binding: events before and after initialisation, buttons and
// modifiers, special keys, and timers.
// gtest before the toolkit: X11 defines macros that clash with its names.
#include <gtest/gtest.h>

#include "CZelFltkBase.h"

#include <FL/Fl.H>
#include <FL/x.H>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

class RecordingWindow : public CZelFltkBase
{
public:
    explicit RecordingWindow(bool initialised = true) : CZelFltkBase(0, 0, 100, 80, "binding")
    {
        if (initialised)
            doResize(100, 80);
    }
    void onMouseDown(int x, int y) override { log.push_back("down " + state(x, y)); }
    void onMouseMove(int x, int y) override { log.push_back("move " + state(x, y)); }
    void onMouseUp(int x, int y) override { log.push_back("up " + state(x, y)); }
    void onKeyboard(int key, int x, int y) override { log.push_back("key " + std::to_string(key)); }
    bool onFunctionKey(int code, int x, int y) override
    {
        log.push_back("function " + std::to_string(code));
        return takeFunctionKeys;
    }
    bool onTimeout3() override { return ++ticks < 3; }
    std::string state(int x, int y) const
    {
        return std::to_string(x) + "," + std::to_string(y) + " " + (isLeftButtonDown() ? "L" : "-") +
               (isMiddleButtonDown() ? "M" : "-") + (isRightButtonDown() ? "R" : "-") + " " +
               std::to_string(getModifier());
    }
    Log log;
    bool takeFunctionKeys = false;
    int ticks = 0;
};

int send(RecordingWindow& window, int event, int key, int x = 1, int y = 1)
{
    Fl::e_keysym = key;
    Fl::e_x = x;
    Fl::e_y = y;
    return window.handle(event);
}

} // namespace

TEST(FltkBinding, ButtonsAreSetByPressAndDragAndClearedBeforeReleaseOnceInitialised)
{
    RecordingWindow early(false);
    send(early, FL_PUSH, FL_Button + 1);
    send(early, FL_KEYBOARD, 'a');
    EXPECT_TRUE(early.log.empty()) << "events before the first paint reach no dispatcher";
    EXPECT_FALSE(early.isLeftButtonDown());

    RecordingWindow window;
    EXPECT_EQ(send(window, FL_PUSH, FL_Button + 1, 10, 20), 1);
    EXPECT_EQ(send(window, FL_DRAG, FL_Button + 1, 12, 22), 1);
    send(window, FL_DRAG, FL_Button + 3, 13, 23);
    window.handle(FL_MOVE);
    EXPECT_EQ(send(window, FL_RELEASE, FL_Button + 1, 14, 24), 1);
    EXPECT_EQ(window.log,
              (Log{"down 10,20 L-- 3", "move 12,22 L-- 3", "move 13,23 L-R 3", "move 13,23 L-R 3", "up 14,24 --- 3"}));
}

TEST(FltkBinding, ControlWinsOverShiftSampledAtThePress)
{
    fl_open_display();
    RecordingWindow window;
    ASSERT_EQ(std::system("xdotool keydown shift keydown ctrl"), 0);
    send(window, FL_PUSH, FL_Button + 3);
    ASSERT_EQ(std::system("xdotool keyup ctrl"), 0);
    window.handle(FL_DRAG);
    EXPECT_EQ(window.getModifier(), CZelWidgetBase::MODIFIER_CTRL);
    window.handle(FL_RELEASE);
    window.handle(FL_PUSH);
    EXPECT_EQ(window.getModifier(), CZelWidgetBase::MODIFIER_SHIFT);
    ASSERT_EQ(std::system("xdotool keyup shift"), 0);
    window.handle(FL_RELEASE);
    EXPECT_EQ(window.getModifier(), CZelWidgetBase::MODIFIER_NONE);
}

TEST(FltkBinding, SpecialKeysAreFunctionKeysReportedAsUsedOnlyWhenTaken)
{
    // Arrows, Home and the keypad run end to end in the GUI test of the keys.
    const int codes[][2] = {{FL_F + 1, 19}, {FL_F + 12, 30}, {FL_KP_Enter, 41},
                            {FL_Delete, 51}, {'a', -1},      {FL_F + 13, -1}};
    for (const auto& [key, code] : codes)
        EXPECT_EQ(CZelFltkBase::functionKeyCode(key), code) << key;
    RecordingWindow window;
    // Not taken: the toolkit may offer it to the menu shortcuts.
    EXPECT_EQ(send(window, FL_KEYBOARD, FL_Down), 0);
    window.takeFunctionKeys = true;
    EXPECT_EQ(send(window, FL_KEYBOARD, FL_Down), 1);
    send(window, FL_KEYBOARD, 'a');
    EXPECT_EQ(window.log, (Log{"function 11", "function 11", "key 97"}));
}

TEST(FltkBinding, TimersRepeatWithTheirIntervalAndIgnoreUnknownNumbers)
{
    RecordingWindow window(false);
    window.enableTimeout(0.5f, 12);
    window.enableTimeout(0.5f, -1);
    EXPECT_EQ(window.getTimeout(12), -1.0f);
    EXPECT_FALSE(window.doTimeout(12));
    window.enableTimeout(0.01f, 3);
    EXPECT_FLOAT_EQ(window.getTimeout(3), 0.01f);
    const double start = window.elapsedTime();
    while (window.ticks < 3 && window.elapsedTime() - start < 20.0)
        Fl::wait(0.1);
    EXPECT_EQ(window.ticks, 3);
    Fl::wait(0.05);
    EXPECT_EQ(window.ticks, 3) << "the third call answered false";
    EXPECT_GT(window.elapsedTime(), 0.0);
}
