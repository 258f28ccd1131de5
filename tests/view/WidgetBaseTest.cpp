// The widget base: dispatch order, listener lists and the frame sequence; and
// mouse navigation, compared with a second camera moved by hand.
#include "CZelCamera.h"
#include "CZelMouseViewHandler.h"
#include "CZelPointer.h"
#include "CZelWidgetBase.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

std::string size(int w, int h)
{
    return std::to_string(w) + "x" + std::to_string(h);
}

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
    Log& m_log;
};

// Logs what it hears; on its first mouse press it may register another listener.
class Listener : public CZelResizeEvent, public CZelMouseDownEvent, public CZelInitEvent, public CZelDestroyEvent
{
public:
    Listener(Log& log, std::string name) : m_log(log), m_name(std::move(name)) {}
    void onResize(int w, int h) override { m_log.push_back(m_name + " resize"); }
    void onMouseDown(int x, int y) override
    {
        m_log.push_back(m_name + " down " + std::to_string(x) + "," + std::to_string(y));
        if (late != nullptr)
            widget->addMouseDownEvent(late);
        late = nullptr;
    }
    void onInit(int w, int h) override { m_log.push_back(m_name + " init"); }
    void onDestroy() override { m_log.push_back(m_name + " destroy"); }
    CZelWidgetBase* widget = nullptr;
    CZelMouseDownEvent* late = nullptr;

private:
    Log& m_log;
    std::string m_name;
};

// A camera 20 units from its target in a window 400 pixels wide, and a second camera for the expected moves.
struct Navigation {
    Navigation()
    {
        for (CZelCamera* camera : {this->camera.get(), expected.get()}) {
            camera->setPosition(0.0, 12.0, 16.0);
            camera->setTarget(0.0, 0.0, 0.0);
        }
        handler = new CZelMouseViewHandler(&widget, camera);
        handler->activate();
        widget.doResize(400, 300);
    }
    void drag(bool left, bool right, int modifier, int x, int y, bool middle = false)
    {
        widget.setLeftButton(left);
        widget.setMiddleButton(middle);
        widget.setRightButton(right);
        widget.setModifier(modifier);
        widget.doMouseDown(100, 100);
        widget.doMouseMove(x, y);
    }
    void expectCameraAsExpected()
    {
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(camera->getPosition()[i], expected->getPosition()[i], 1e-12) << i;
            EXPECT_NEAR(camera->getTarget()[i], expected->getTarget()[i], 1e-12) << i;
        }
    }
    std::vector<double> deltas()
    {
        std::vector<double> d(6);
        handler->getRotationDelta(d[0], d[1]);
        handler->getPanDelta(d[2], d[3]);
        handler->getZoomDelta(d[4], d[5]);
        return d;
    }
    CZelWidgetBase widget;
    CZelPointer<CZelCamera> camera{new CZelCamera()};
    CZelPointer<CZelCamera> expected{new CZelCamera()};
    CZelPointer<CZelMouseViewHandler> handler;
};

} // namespace

TEST_F(OffscreenGLTest, WidgetResizeInitialisesOnceAndListenersReplaceTheOwnHook)
{
    Log log;
    RecordingWidget widget(log);
    widget.doResize(40, 30);
    widget.doResize(50, 20);
    EXPECT_EQ(log, (Log{"onInit 40x30", "onInitContext 40x30", "onResize 40x30", "onInitContext 50x20",
                        "onResize 50x20"}));
    EXPECT_TRUE(widget.isInitDone());
    EXPECT_EQ(std::make_pair(widget.getWidth(), widget.getHeight()), std::make_pair(50, 20));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    log.clear();
    RecordingWidget listened(log);
    Listener first(log, "first"), second(log, "second");
    listened.addInitEvent(&first);
    listened.addResizeEvent(&first);
    listened.addResizeEvent(&second);
    listened.doResize(10, 10);
    EXPECT_EQ(log, (Log{"first init", "onInitContext 10x10", "first resize", "second resize"}));
    listened.removeResizeEvent(&first);
    listened.removeResizeEvent(&first); // no longer there: ignored
    log.clear();
    listened.doResize(10, 10);
    EXPECT_EQ(log, (Log{"onInitContext 10x10", "second resize"}));
    listened.removeResizeEvent(&second); // the last one gone, the own hook is back
    log.clear();
    listened.doResize(10, 10);
    EXPECT_EQ(log, (Log{"onInitContext 10x10", "onResize 10x10"}));
}

TEST(WidgetBase, ListenersRegisteredTwiceAddedDuringDispatchRemovedOrDestroyed)
{
    Log log;
    RecordingWidget widget(log);
    Listener a(log, "a"), b(log, "b");
    widget.addMouseDownEvent(&a);
    widget.addMouseDownEvent(&b);
    widget.addMouseDownEvent(&a);
    widget.doMouseDown(3, 4);
    EXPECT_EQ(log, (Log{"a down 3,4", "b down 3,4", "a down 3,4"}));
    log.clear();
    widget.removeMouseDownEvent(&a);
    widget.doMouseDown(5, 6);
    EXPECT_EQ(log, (Log{"b down 5,6", "a down 5,6"}));

    // A listener added from inside a dispatch hears the same event.
    log.clear();
    RecordingWidget other(log);
    Listener registrar(log, "registrar"), late(log, "late");
    registrar.widget = &other;
    registrar.late = &late;
    other.addMouseDownEvent(&registrar);
    other.doMouseDown(1, 2);
    EXPECT_EQ(log, (Log{"registrar down 1,2", "late down 1,2"}));

    // Destruction goes to the listeners or to the widget's own hook, once.
    log.clear();
    {
        RecordingWidget plain(log), listened(log);
        listened.addDestroyEvent(&a);
    }
    EXPECT_EQ(log, (Log{"a destroy", "onDestroy"}));
}

TEST_F(OffscreenGLTest, WidgetFrameWithAndWithoutOverlay)
{
    Log log;
    RecordingWidget widget(log);
    Listener listener(log, "l");
    widget.doResize(64, 32);
    log.clear();
    widget.doDraw();
    EXPECT_EQ(log, (Log{"onClear", "onRender depth 2"}));
    EXPECT_EQ(readInteger(GL_MODELVIEW_STACK_DEPTH), 1);

    widget.addResizeEvent(&listener);
    widget.setOverlay(true);
    log.clear();
    glDisable(GL_LIGHTING);
    glEnable(GL_FOG);
    widget.doDraw();
    EXPECT_EQ(log, (Log{"onClear", "onRender depth 2", "onOverlay", "onInitContext 64x32", "l resize"}));
    // Enable bits come back from the attribute stack; the re-run resize switches lighting on again.
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

// The scales at 400 pixels show in the drags below.
TEST(MouseViewHandler, ScalesFollowWidthAndSpeedButNotAWindowWithoutWidth)
{
    Navigation n;
    n.handler->setSpeedFactor(2.0);
    n.widget.doResize(200, 100);
    EXPECT_DOUBLE_EQ(n.handler->getPanScale(), 20.0 * 2 / 200);
    EXPECT_DOUBLE_EQ(n.handler->getZoomScale(), 20.0 * 4 / 200);
    // A window without width keeps the last scales instead of dividing by 0.
    n.widget.doResize(0, 100);
    EXPECT_DOUBLE_EQ(n.handler->getRotationScale(), 4.0 / 200);
}

TEST(MouseViewHandler, DragsTurnPanOrZoomTheCamera)
{
    const int NONE = CZelWidgetBase::MODIFIER_NONE, SHIFT = CZelWidgetBase::MODIFIER_SHIFT;
    // Dragged from (100, 100): one radian per quarter width, 0.05 units per pixel.
    const struct {
        bool left, right;
        int modifier, x, y;
        double turnY, turnX, sideways, up, depth;
        std::vector<double> deltas; // rotation, pan, zoom
        bool middle = false;
    } drags[] = {
        // Left turns, right and middle pan, Shift+right zooms in the GUI test of navigation.
        {false, false, NONE, 150, 40, 0, 0, 0, 0, 0, {0, 0, 0, 0, 0, 0}},
        {true, false, SHIFT, 200, 120, 1.0, 0.2, 0, 0, 0, {100, 20, 0, 0, 0, 0}}, // Shift does not change the left button
        {true, true, NONE, 140, 100, 0.4, 0, 0, 0, 0, {40, 0, 0, 0, 0, 0}}, // both buttons turn only
        {false, false, SHIFT, 90, 110, 0, 0, -0.5, 0.5, 0, {0, 0, -10, 10, 0, 0}, true}, // middle pans, Shift or not
    };
    for (const auto& d : drags) {
        SCOPED_TRACE(testing::Message() << d.left << d.right << " " << d.modifier << " to " << d.x << "," << d.y);
        Navigation n;
        n.drag(d.left, d.right, d.modifier, d.x, d.y, d.middle);
        n.expected->rotatePositionY(d.turnY);
        n.expected->rotatePositionX(d.turnX);
        n.expected->moveSideways(d.sideways);
        n.expected->moveVertical(d.up);
        n.expected->moveDepth(d.depth);
        n.expectCameraAsExpected();
        EXPECT_EQ(n.deltas(), d.deltas);
        n.widget.doMouseUp(d.x, d.y);
        EXPECT_EQ(n.deltas(), std::vector<double>(6, 0.0));
    }
    // A handler that is gone leaves the camera.
    Navigation n;
    n.handler = nullptr;
    n.drag(true, false, NONE, 200, 100);
    n.expectCameraAsExpected();
}

// Zooming towards a point scales eye and target about it: the view direction
// and the line of sight to the point stay, steps in and out undo each other,
// map coordinates in the millions included.
TEST(MouseViewHandler, WheelZoomsTowardsAPointThatStaysUnderThePointer)
{
    const struct {
        CZelVec3d eye, target, point;
        double steps;
    } cases[] = {
        // Towards a point and, over the background, the target: in the GUI test of the wheel.
        {{0, 12, 16}, {0, 0, 0}, {-4, 2, 5}, 2}, // away from the point
        {{512000.5, 900, 6541000.25}, {513700, -40, 6542300}, {513400.75, 210, 6541850.5}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        Navigation n;
        n.camera->setPosition(c.eye.x(), c.eye.y(), c.eye.z());
        n.camera->setTarget(c.target.x(), c.target.y(), c.target.z());
        const CZelVec3d forward = n.camera->getForward();
        n.handler->zoomTowards(c.point, c.steps);
        const double factor = std::pow(CZelMouseViewHandler::WHEEL_STEP, -c.steps);
        const CZelVec3d eye = n.camera->getPosition(), target = n.camera->getTarget();
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(eye[i], c.point[i] + (c.eye[i] - c.point[i]) * factor, 1e-6) << i;
            EXPECT_NEAR(target[i], c.point[i] + (c.target[i] - c.point[i]) * factor, 1e-6) << i;
            EXPECT_NEAR(n.camera->getForward()[i], forward[i], 1e-9) << i;
        }
        EXPECT_NEAR(n.handler->getPanScale(), (target - eye).length() / 400, 1e-9) << "scales follow";
        n.handler->zoomTowards(c.point, -c.steps);
        EXPECT_NEAR((n.camera->getPosition() - c.eye).length(), 0.0, 1e-6);
        EXPECT_NEAR((n.camera->getTarget() - c.target).length(), 0.0, 1e-6);
    }
}
