// Mouse navigation: which camera moves a drag makes and by how much, compared
// with a second camera moved by hand.
#include "CZelCamera.h"
#include "CZelMouseViewHandler.h"
#include "CZelPointer.h"
#include "CZelWidgetBase.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class MouseViewHandler : public ::testing::Test
{
protected:
    // Camera 20 units from its target, window 400 pixels wide.
    MouseViewHandler()
    {
        for (CZelCamera* camera : {m_camera.get(), m_expected.get()}) {
            camera->setPosition(0.0, 12.0, 16.0);
            camera->setTarget(0.0, 0.0, 0.0);
        }
        m_handler = new CZelMouseViewHandler(&m_widget, m_camera);
        m_handler->activate();
        m_widget.doResize(400, 300);
    }

    void press(bool left, bool right, int modifier, int x, int y)
    {
        m_widget.setLeftButton(left);
        m_widget.setRightButton(right);
        m_widget.setModifier(modifier);
        m_widget.doMouseDown(x, y);
    }

    void expectCameraAsExpected()
    {
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(m_camera->getPosition()[i], m_expected->getPosition()[i], 1e-12) << i;
            EXPECT_NEAR(m_camera->getTarget()[i], m_expected->getTarget()[i], 1e-12) << i;
        }
    }

    void expectDeltas(double rx, double ry, double px, double py, double zx, double zy)
    {
        double a = 0, b = 0;
        m_handler->getRotationDelta(a, b);
        EXPECT_EQ(a, rx);
        EXPECT_EQ(b, ry);
        m_handler->getPanDelta(a, b);
        EXPECT_EQ(a, px);
        EXPECT_EQ(b, py);
        m_handler->getZoomDelta(a, b);
        EXPECT_EQ(a, zx);
        EXPECT_EQ(b, zy);
    }

    CZelWidgetBase m_widget;
    CZelPointer<CZelCamera> m_camera{new CZelCamera()};
    CZelPointer<CZelCamera> m_expected{new CZelCamera()};
    CZelPointer<CZelMouseViewHandler> m_handler;
};

} // namespace

TEST_F(MouseViewHandler, ScalesFollowWidthAndDistance)
{
    EXPECT_DOUBLE_EQ(m_handler->getPanScale(), 20.0 / 400);
    EXPECT_DOUBLE_EQ(m_handler->getZoomScale(), 20.0 / 400);
    EXPECT_DOUBLE_EQ(m_handler->getRotationScale(), 4.0 / 400);
    m_handler->setSpeedFactor(2.0);
    m_widget.doResize(200, 100);
    EXPECT_DOUBLE_EQ(m_handler->getPanScale(), 20.0 * 2 / 200);
    EXPECT_DOUBLE_EQ(m_handler->getZoomScale(), 20.0 * 4 / 200);
    // A window without width keeps the last scales instead of dividing by 0.
    m_widget.doResize(0, 100);
    EXPECT_DOUBLE_EQ(m_handler->getRotationScale(), 4.0 / 200);
}

TEST_F(MouseViewHandler, PlainMoveChangesNothing)
{
    m_widget.doMouseMove(50, 60);
    m_widget.doMouseMove(90, 10);
    expectCameraAsExpected();
    expectDeltas(0, 0, 0, 0, 0, 0);
}

TEST_F(MouseViewHandler, LeftDragTurnsOneRadianPerQuarterWidth)
{
    press(true, false, CZelWidgetBase::MODIFIER_NONE, 100, 100);
    m_widget.doMouseMove(200, 100);
    m_expected->rotatePositionY(1.0);
    m_expected->rotatePositionX(0.0);
    expectCameraAsExpected();
    expectDeltas(100, 0, 0, 0, 0, 0);
}

TEST_F(MouseViewHandler, ShiftDoesNotChangeTheLeftButton)
{
    press(true, false, CZelWidgetBase::MODIFIER_SHIFT, 100, 100);
    m_widget.doMouseMove(200, 120);
    m_expected->rotatePositionY(1.0);
    m_expected->rotatePositionX(0.2);
    expectCameraAsExpected();
}

TEST_F(MouseViewHandler, RightDragPansAndShiftRightDragZooms)
{
    press(false, true, CZelWidgetBase::MODIFIER_NONE, 100, 100);
    m_widget.doMouseMove(100, 110);
    m_expected->moveSideways(0.0);
    m_expected->moveVertical(0.5);
    m_expected->moveDepth(0.0);
    expectCameraAsExpected();
    expectDeltas(0, 0, 0, 10, 0, 0);
    m_widget.doMouseUp(100, 110);
    expectDeltas(0, 0, 0, 0, 0, 0);

    // The pan kept the distance, so the scales are unchanged.
    press(false, true, CZelWidgetBase::MODIFIER_SHIFT, 100, 100);
    m_widget.doMouseMove(107, 110);
    m_expected->moveSideways(0.0);
    m_expected->moveVertical(0.0);
    m_expected->moveDepth(0.5);
    expectCameraAsExpected();
    expectDeltas(0, 0, 0, 0, 7, 10);
}

TEST_F(MouseViewHandler, BothButtonsTurnOnly)
{
    press(true, true, CZelWidgetBase::MODIFIER_NONE, 100, 100);
    m_widget.doMouseMove(140, 100);
    m_expected->rotatePositionY(0.4);
    m_expected->rotatePositionX(0.0);
    expectCameraAsExpected();
}

TEST_F(MouseViewHandler, InactiveOrGoneHandlerLeavesTheCamera)
{
    m_handler = nullptr; // unregisters
    press(true, false, CZelWidgetBase::MODIFIER_NONE, 0, 0);
    m_widget.doMouseMove(100, 0);
    expectCameraAsExpected();
}
