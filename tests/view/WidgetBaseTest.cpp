// Dispatch order, listener lists and frame sequence of the widget base.
#include "CZelWidgetBase.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

class RecordingWidget : public CZelWidgetBase
{
public:
    explicit RecordingWidget(Log& log) : m_log(log) {}
    ~RecordingWidget() override { notifyDestroy(); }

    void onInit(int w, int h) override { m_log.push_back("onInit " + size(w, h)); }
    void onInitContext(int w, int h) override
    {
        m_log.push_back("onInitContext " + size(w, h));
        CZelWidgetBase::onInitContext(w, h);
    }
    void onResize(int w, int h) override { m_log.push_back("onResize " + size(w, h)); }
    void onClear() override { m_log.push_back("onClear"); }
    void onRender() override
    {
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        m_log.push_back("onRender depth " + std::to_string(depth));
    }
    void onOverlay() override { m_log.push_back("onOverlay"); }
    void onMouseDown(int x, int y) override { m_log.push_back("onMouseDown"); }
    void onDestroy() override { m_log.push_back("onDestroy"); }

private:
    static std::string size(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }
    Log& m_log;
};

class Listener : public CZelResizeEvent, public CZelMouseDownEvent, public CZelInitEvent,
                 public CZelDestroyEvent
{
public:
    Listener(Log& log, std::string name) : m_log(log), m_name(std::move(name)) {}
    void onResize(int w, int h) override { m_log.push_back(m_name + " resize"); }
    void onMouseDown(int x, int y) override
    {
        m_log.push_back(m_name + " down " + std::to_string(x) + "," + std::to_string(y));
    }
    void onInit(int w, int h) override { m_log.push_back(m_name + " init"); }
    void onDestroy() override { m_log.push_back(m_name + " destroy"); }

private:
    Log& m_log;
    std::string m_name;
};

// Registers a second listener from inside the first dispatch.
class Registrar : public CZelMouseDownEvent
{
public:
    Registrar(CZelWidgetBase& widget, CZelMouseDownEvent* late) : m_widget(widget), m_late(late) {}
    void onMouseDown(int x, int y) override
    {
        if (m_late != nullptr)
            m_widget.addMouseDownEvent(m_late);
        m_late = nullptr;
    }

private:
    CZelWidgetBase& m_widget;
    CZelMouseDownEvent* m_late;
};

} // namespace

TEST(WidgetBase, TimeoutsOutOfRange)
{
    Log log;
    RecordingWidget widget(log);
    for (int n : {-1, 0, 9, 10, 12})
        EXPECT_FLOAT_EQ(widget.getTimeout(n), -1.0f) << n;
    EXPECT_FALSE(widget.doTimeout(12));
}

TEST_F(OffscreenGLTest, WidgetResizeWithoutListenersInitialisesOnce)
{
    Log log;
    RecordingWidget widget(log);
    widget.doResize(40, 30);
    widget.doResize(50, 20);
    EXPECT_EQ(log, (Log{"onInit 40x30", "onInitContext 40x30", "onResize 40x30",
                        "onInitContext 50x20", "onResize 50x20"}));
    EXPECT_TRUE(widget.isInitDone());
    EXPECT_EQ(widget.getWidth(), 50);
    EXPECT_EQ(widget.getHeight(), 20);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(OffscreenGLTest, WidgetResizeListenersReplaceOwnHook)
{
    Log log;
    RecordingWidget widget(log);
    Listener first(log, "first");
    Listener second(log, "second");
    widget.addInitEvent(&first);
    widget.addResizeEvent(&first);
    widget.addResizeEvent(&second);
    widget.doResize(10, 10);
    EXPECT_EQ(log, (Log{"first init", "onInitContext 10x10", "first resize", "second resize"}));

    log.clear();
    widget.removeResizeEvent(&first);
    widget.removeResizeEvent(&first); // no longer there: ignored
    widget.doResize(10, 10);
    EXPECT_EQ(log, (Log{"onInitContext 10x10", "second resize"}));

    log.clear();
    widget.removeResizeEvent(&second);
    widget.doResize(10, 10);
    EXPECT_EQ(log, (Log{"onInitContext 10x10", "onResize 10x10"}));
}

TEST(WidgetBase, DoubleRegistrationAndRemoval)
{
    Log log;
    RecordingWidget widget(log);
    Listener a(log, "a");
    Listener b(log, "b");
    widget.addMouseDownEvent(&a);
    widget.addMouseDownEvent(&b);
    widget.addMouseDownEvent(&a);
    widget.doMouseDown(3, 4);
    EXPECT_EQ(log, (Log{"a down 3,4", "b down 3,4", "a down 3,4"}));

    log.clear();
    widget.removeMouseDownEvent(&a);
    widget.doMouseDown(5, 6);
    EXPECT_EQ(log, (Log{"b down 5,6", "a down 5,6"}));
}

TEST(WidgetBase, ListenerAddedDuringDispatchIsCalledInTheSameEvent)
{
    Log log;
    RecordingWidget widget(log);
    Listener late(log, "late");
    Registrar registrar(widget, &late);
    widget.addMouseDownEvent(&registrar);
    widget.doMouseDown(1, 2);
    EXPECT_EQ(log, (Log{"late down 1,2"}));
}

TEST(WidgetBase, DestroyGoesToListenersOrOwnHookOnce)
{
    Log log;
    {
        RecordingWidget widget(log);
    }
    EXPECT_EQ(log, (Log{"onDestroy"}));

    log.clear();
    Listener listener(log, "l");
    {
        RecordingWidget widget(log);
        widget.addDestroyEvent(&listener);
    }
    EXPECT_EQ(log, (Log{"l destroy"}));
}

TEST_F(OffscreenGLTest, WidgetFrameWithoutOverlay)
{
    Log log;
    RecordingWidget widget(log);
    widget.doResize(64, 64);
    log.clear();
    widget.doDraw();
    EXPECT_EQ(log, (Log{"onClear", "onRender depth 2"}));
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST_F(OffscreenGLTest, WidgetOverlayPassRestoresStateAndProjection)
{
    Log log;
    RecordingWidget widget(log);
    Listener listener(log, "l");
    widget.doResize(64, 32);
    widget.addResizeEvent(&listener);
    widget.setOverlay(true);
    log.clear();
    glDisable(GL_LIGHTING);
    glEnable(GL_FOG);
    widget.doDraw();
    EXPECT_EQ(log, (Log{"onClear", "onRender depth 2", "onOverlay", "onInitContext 64x32", "l resize"}));
    // Enable bits come back from the attribute stack; the re-run resize then
    // switches depth test and lighting on again.
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(OffscreenGLTest, WidgetDefaultClearIsOpaqueBlack)
{
    Log log;
    CZelWidgetBase widget;
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    widget.onClear();
    EXPECT_EQ(m_context->readPixel(5, 5), (std::vector<unsigned char>{0, 0, 0, 255}));
}
