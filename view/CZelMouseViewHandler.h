// Mouse navigation: the left button turns the camera about its target, the
// right or middle button pans it, Shift with the right button moves it towards
// or away from the target; the wheel zooms towards a point. Motion scales with
// the window width and, for panning and zooming, with the camera's distance to
// its target. Keys move the camera through the same steps as drags.
#pragma once

#include "CZelCamera.h"
#include "CZelHandlerBase.h"
#include "CZelMouseDownEvent.h"
#include "CZelMouseMoveEvent.h"
#include "CZelMouseUpEvent.h"
#include "CZelPointer.h"
#include "CZelResizeEvent.h"
#include "CZelWidgetBase.h"

#include <cstdint>

class CZelMouseViewHandler : public CZelHandlerBase,
                             public CZelMouseDownEvent,
                             public CZelMouseMoveEvent,
                             public CZelMouseUpEvent,
                             public CZelResizeEvent
{
    ZEL_DECLARE_CLASS(CZelMouseViewHandler, CZelHandlerBase)

public:
    // The widget is borrowed and must outlive the handler; the camera gets a
    // reference. Registers itself on the widget's mouse and resize lists.
    CZelMouseViewHandler(CZelWidgetBase* widget, CZelCamera* camera);
    // Unregisters from the widget and releases the camera.
    ~CZelMouseViewHandler() override;
    CZelMouseViewHandler(const CZelMouseViewHandler&) = delete;
    CZelMouseViewHandler& operator=(const CZelMouseViewHandler&) = delete;

    // Listener entry points; they act only while the handler is active.
    void onMouseDown(int x, int y) override;
    void onMouseMove(int x, int y) override;
    void onMouseUp(int x, int y) override;
    void onResize(int width, int height) override;

    virtual void handleResize(int width, int height);
    virtual void handleMouseDown(int x, int y);
    virtual void handleMouseMove(int x, int y);
    virtual void handleMouseUp(int x, int y);

    // The camera motion of a drag by dx, dy pixels: turning (left button),
    // panning (right or middle button) and zooming (Shift and right button).
    void turnBy(double dx, double dy);
    void panBy(double dx, double dy);
    void zoomBy(double dy);
    // One wheel step per unit of steps: towards point for negative steps,
    // away from it for positive ones (point stays where it is on the screen).
    void zoomTowards(const CZelVec3d& point, double steps);
    // Eye and target of the camera (borrowed; null does nothing) scaled about
    // point by factor: the view direction stays, so point stays under the
    // same pixel, and the eye-target distance scales with the distance to
    // point. A factor that is not positive and finite changes nothing.
    static void scaleAbout(CZelCamera* camera, const CZelVec3d& point, double factor);
    // Factor by which one wheel step towards a point scales the distances.
    static constexpr double WHEEL_STEP = 0.85;

    void setSpeedFactor(double factor) { m_speedFactor = factor; }
    double getSpeedFactor() const { return m_speedFactor; }
    void setAutoScale(bool autoScale) { m_autoScale = autoScale; }
    bool getAutoScale() const { return m_autoScale; }
    double getPanScale() const { return m_panScale; }
    double getZoomScale() const { return m_zoomScale; }
    double getRotationScale() const { return m_rotationScale; }
    void getRotationDelta(double& dx, double& dy) const { dx = m_rotationDx; dy = m_rotationDy; }
    void getPanDelta(double& dx, double& dy) const { dx = m_panDx; dy = m_panDy; }
    void getZoomDelta(double& dx, double& dy) const { dx = m_zoomDx; dy = m_zoomDy; }
    // Borrowed.
    CZelCamera* getCamera() const { return m_camera; }

private:
    void clearDeltas();
    // The camera operations of a turn or a pan and zoom, then new scales and
    // a redraw.
    void rotate(double dx, double dy);
    void move(double panX, double panY, double zoomY);
    void moved();
    // From the eye-target distance and the window width; a window without
    // width keeps the previous scales.
    void updateScales();

    double m_rotationDx = 0.0, m_rotationDy = 0.0;
    double m_panDx = 0.0, m_panDy = 0.0;
    double m_zoomDx = 0.0, m_zoomDy = 0.0;
    int32_t m_lastX = 0, m_lastY = 0;
    int32_t m_width = 1, m_height = 1;
    double m_panScale = 0.01;
    double m_zoomScale = 0.02;
    double m_rotationScale = 0.01;
    double m_speedFactor = 1.0;
    bool m_autoScale = true;
    CZelPointer<CZelCamera> m_camera;
    CZelWidgetBase* m_widget;
};
