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

class RecordingWindow : public CZelFltkBase
{
public:
    RecordingWindow() : CZelFltkBase(0, 0, 100, 80, "binding") {}

    void onMouseDown(int x, int y) override { log.push_back("down " + state(x, y)); }
    void onMouseMove(int x, int y) override { log.push_back("move " + state(x, y)); }
    void onMouseUp(int x, int y) override { log.push_back("up " + state(x, y)); }
    void onKeyboard(int key, int x, int y) override { log.push_back("key " + std::to_string(key)); }
    bool onFunctionKey(int code, int x, int y) override
    {
        log.push_back("function " + std::to_string(code));
        return takeFunctionKeys;
    }
    bool onTimeout3() override
    {
        ++ticks;
        return ticks < 3;
    }

    std::string state(int x, int y) const
    {
        return std::to_string(x) + "," + std::to_string(y) + " " + (isLeftButtonDown() ? "L" : "-") +
               (isMiddleButtonDown() ? "M" : "-") + (isRightButtonDown() ? "R" : "-") + " " +
               std::to_string(getModifier());
    }

    std::vector<std::string> log;
    bool takeFunctionKeys = false;
    int ticks = 0;
};

void setEvent(int key, int x, int y)
{
    Fl::e_keysym = key;
    Fl::e_x = x;
    Fl::e_y = y;
}

} // namespace

TEST(FltkBinding, EventsBeforeTheFirstPaintReachNoDispatcher)
{
    RecordingWindow window;
    setEvent(FL_Button + 1, 5, 6);
    window.handle(FL_PUSH);
    setEvent('a', 5, 6);
    window.handle(FL_KEYBOARD);
    EXPECT_TRUE(window.log.empty());
    EXPECT_FALSE(window.isLeftButtonDown());
}

TEST(FltkBinding, ButtonsAreSetByPressAndDragAndClearedBeforeRelease)
{
    RecordingWindow window;
    window.doResize(100, 80);
    setEvent(FL_Button + 1, 10, 20);
    EXPECT_EQ(window.handle(FL_PUSH), 1);
    setEvent(FL_Button + 1, 12, 22);
    EXPECT_EQ(window.handle(FL_DRAG), 1);
    setEvent(FL_Button + 3, 13, 23);
    window.handle(FL_DRAG);
    window.handle(FL_MOVE);
    setEvent(FL_Button + 1, 14, 24);
    EXPECT_EQ(window.handle(FL_RELEASE), 1);
    EXPECT_EQ(window.log, (std::vector<std::string>{"down 10,20 L-- 3", "move 12,22 L-- 3", "move 13,23 L-R 3",
                                                    "move 13,23 L-R 3", "up 14,24 --- 3"}));
}

TEST(FltkBinding, ControlWinsOverShiftAtThePress)
{
    fl_open_display();
    RecordingWindow window;
    window.doResize(100, 80);
    ASSERT_EQ(std::system("xdotool keydown shift keydown ctrl"), 0);
    setEvent(FL_Button + 3, 1, 1);
    window.handle(FL_PUSH);
    ASSERT_EQ(std::system("xdotool keyup ctrl"), 0);
    // Sampled at the press only.
    window.handle(FL_DRAG);
    EXPECT_EQ(window.getModifier(), CZelWidgetBase::MODIFIER_CTRL);
    window.handle(FL_RELEASE);
    window.handle(FL_PUSH);
    EXPECT_EQ(window.getModifier(), CZelWidgetBase::MODIFIER_SHIFT);
    ASSERT_EQ(std::system("xdotool keyup shift"), 0);
    window.handle(FL_RELEASE);
    EXPECT_EQ(window.getModifier(), CZelWidgetBase::MODIFIER_NONE);
}

TEST(FltkBinding, SpecialKeysBecomeFunctionKeyCodes)
{
    EXPECT_EQ(CZelFltkBase::functionKeyCode(FL_Down), 11);
    EXPECT_EQ(CZelFltkBase::functionKeyCode(FL_Home), 7);
    EXPECT_EQ(CZelFltkBase::functionKeyCode(FL_F + 1), 19);
    EXPECT_EQ(CZelFltkBase::functionKeyCode(FL_F + 12), 30);
    EXPECT_EQ(CZelFltkBase::functionKeyCode(FL_KP + '0'), 31);
    EXPECT_EQ(CZelFltkBase::functionKeyCode(FL_KP + '9'), 40);
    EXPECT_EQ(CZelFltkBase::functionKeyCode(FL_KP_Enter), 41);
    EXPECT_EQ(CZelFltkBase::functionKeyCode(FL_Delete), 51);
    EXPECT_EQ(CZelFltkBase::functionKeyCode('a'), -1);
    EXPECT_EQ(CZelFltkBase::functionKeyCode(FL_F + 13), -1);
}

TEST(FltkBinding, UnusedFunctionKeysStayWithTheToolkit)
{
    RecordingWindow window;
    window.doResize(100, 80);
    setEvent(FL_Down, 1, 1);
    // Not taken: the toolkit may offer it to the menu shortcuts.
    EXPECT_EQ(window.handle(FL_KEYBOARD), 0);
    window.takeFunctionKeys = true;
    EXPECT_EQ(window.handle(FL_KEYBOARD), 1);
    setEvent('a', 1, 1);
    window.handle(FL_KEYBOARD);
    EXPECT_EQ(window.log, (std::vector<std::string>{"function 11", "function 11", "key 97"}));
}

TEST(FltkBinding, TimersRepeatWithTheirIntervalAndIgnoreUnknownNumbers)
{
    RecordingWindow window;
    window.enableTimeout(0.5f, 12);
    window.enableTimeout(0.5f, -1);
    EXPECT_EQ(window.getTimeout(12), -1.0f);
    window.enableTimeout(0.01f, 3);
    EXPECT_FLOAT_EQ(window.getTimeout(3), 0.01f);
    const double start = window.elapsedTime();
    while (window.ticks < 3 && window.elapsedTime() - start < 20.0)
        Fl::wait(0.1);
    EXPECT_EQ(window.ticks, 3);
    // The third call answered false: no further ticks.
    Fl::wait(0.05);
    EXPECT_EQ(window.ticks, 3);
    EXPECT_GT(window.elapsedTime(), 0.0);
}
