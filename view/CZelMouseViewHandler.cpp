// Camera navigation by mouse drags.
#include "CZelMouseViewHandler.h"

#include <cmath>

CZelMouseViewHandler::CZelMouseViewHandler(CZelWidgetBase* widget, CZelCamera* camera)
    : m_camera(camera), m_widget(widget)
{
    setActive(true);
    if (m_widget != nullptr) {
        m_widget->addMouseMoveEvent(this);
        m_widget->addMouseDownEvent(this);
        m_widget->addMouseUpEvent(this);
        m_widget->addResizeEvent(this);
    }
}

CZelMouseViewHandler::~CZelMouseViewHandler()
{
    if (m_widget != nullptr) {
        m_widget->removeMouseMoveEvent(this);
        m_widget->removeMouseDownEvent(this);
        m_widget->removeMouseUpEvent(this);
        m_widget->removeResizeEvent(this);
    }
}

void CZelMouseViewHandler::onMouseDown(int x, int y)
{
    if (isActive())
        handleMouseDown(x, y);
}

void CZelMouseViewHandler::onMouseMove(int x, int y)
{
    if (isActive())
        handleMouseMove(x, y);
}

void CZelMouseViewHandler::onMouseUp(int x, int y)
{
    if (isActive())
        handleMouseUp(x, y);
}

void CZelMouseViewHandler::onResize(int width, int height)
{
    m_width = width;
    m_height = height;
    if (isActive())
        handleResize(width, height);
}

void CZelMouseViewHandler::handleResize(int width, int height)
{
    m_width = width;
    m_height = height;
    if (m_autoScale)
        updateScales();
}

void CZelMouseViewHandler::handleMouseDown(int x, int y)
{
    m_lastX = x;
    m_lastY = y;
    // The camera may have been moved by other means since the last drag.
    if (m_autoScale)
        updateScales();
}

void CZelMouseViewHandler::handleMouseMove(int x, int y)
{
    if (m_widget == nullptr)
        return;
    clearDeltas();
    if (m_widget->isLeftButtonDown()) {
        m_rotationDx = x - m_lastX;
        m_rotationDy = y - m_lastY;
        m_lastX = x;
        m_lastY = y;
        rotate(m_rotationDx, m_rotationDy);
    }
    const bool right = m_widget->isRightButtonDown();
    if (right || m_widget->isMiddleButtonDown()) {
        if (right && m_widget->getModifier() == CZelWidgetBase::MODIFIER_SHIFT) {
            m_zoomDx = x - m_lastX;
            m_zoomDy = y - m_lastY;
        } else {
            m_panDx = x - m_lastX;
            m_panDy = y - m_lastY;
        }
        m_lastX = x;
        m_lastY = y;
        move(m_panDx, m_panDy, m_zoomDy);
    }
}

void CZelMouseViewHandler::handleMouseUp(int x, int y)
{
    clearDeltas();
}

void CZelMouseViewHandler::turnBy(double dx, double dy)
{
    if (m_autoScale)
        updateScales();
    rotate(dx, dy);
}

void CZelMouseViewHandler::panBy(double dx, double dy)
{
    if (m_autoScale)
        updateScales();
    move(dx, dy, 0.0);
}

void CZelMouseViewHandler::zoomBy(double dy)
{
    if (m_autoScale)
        updateScales();
    move(0.0, 0.0, dy);
}

void CZelMouseViewHandler::zoomTowards(const CZelVec3d& point, double steps)
{
    scaleAbout(m_camera, point, std::pow(WHEEL_STEP, -steps));
    moved();
}

void CZelMouseViewHandler::scaleAbout(CZelCamera* camera, const CZelVec3d& point, double factor)
{
    if (camera == nullptr || !(factor > 0.0) || !std::isfinite(factor))
        return;
    const CZelVec3d position = point + (camera->getPosition() - point) * factor;
    const CZelVec3d target = point + (camera->getTarget() - point) * factor;
    camera->setPosition(position.x(), position.y(), position.z());
    camera->setTarget(target.x(), target.y(), target.z());
}

void CZelMouseViewHandler::rotate(double dx, double dy)
{
    if (m_camera != nullptr) {
        m_camera->rotatePositionY(m_rotationScale * dx);
        m_camera->rotatePositionX(m_rotationScale * dy);
    }
    moved();
}

// All three, also those of the mode not in use, whose deltas are 0.
void CZelMouseViewHandler::move(double panX, double panY, double zoomY)
{
    if (m_camera != nullptr) {
        m_camera->moveSideways(m_panScale * panX);
        m_camera->moveVertical(m_panScale * panY);
        m_camera->moveDepth(m_zoomScale * zoomY);
    }
    moved();
}

void CZelMouseViewHandler::moved()
{
    if (m_autoScale)
        updateScales();
    if (m_widget != nullptr)
        m_widget->doRedraw();
}

void CZelMouseViewHandler::clearDeltas()
{
    m_rotationDx = m_rotationDy = 0.0;
    m_panDx = m_panDy = 0.0;
    m_zoomDx = m_zoomDy = 0.0;
}

void CZelMouseViewHandler::updateScales()
{
    if (m_camera == nullptr || m_width <= 0)
        return;
    const double distance = (m_camera->getTarget() - m_camera->getPosition()).length();
    m_panScale = distance * m_speedFactor / m_width;
    m_zoomScale = distance * m_speedFactor * m_speedFactor / m_width;
    m_rotationScale = 4.0 / m_width;
}
