// A perspective camera looking from a position at a target, with stereo eyes,
// sub-pixel jitter for accumulation antialiasing and a sub-window of the
// frustum for tiled rendering. Invalid input never reaches the orientation:
// setters answer false and keep the last valid values.
#pragma once

#include "CZelVec3d.h"
#include "CZelView.h"

class CZelCamera : public CZelView
{
    ZEL_DECLARE_CLASS(CZelCamera, CZelView)
public:
    enum Mode { TARGET_MODE = 0, FORWARD_MODE = 1 };

    CZelCamera();

    void getViewFrustum(CZelViewFrustum& frustum) override;
    void viewTransform() override;
    void projectionTransform() override;

    // Store the point and update the orientation; false (nothing changed) for
    // coordinates that are not finite.
    bool setPosition(double x, double y, double z);
    bool setTarget(double x, double y, double z);
    void getPosition(double& x, double& y, double& z) const { m_position.getComponents(x, y, z); }
    void getTarget(double& x, double& y, double& z) const { m_target.getComponents(x, y, z); }
    const CZelVec3d& getPosition() const { return m_position; }
    const CZelVec3d& getTarget() const { return m_target; }
    const CZelVec3d& getForward() const { return m_forward; }
    const CZelVec3d& getSide() const { return m_side; }
    const CZelVec3d& getUp() const { return m_up; }

    // Field of view in degrees. Any finite values are stored as given, also a
    // near plane of 0 or a far plane before the near one (the picture may then
    // be empty); values that are not finite answer false and change nothing.
    bool setPerspective(double fieldOfView, double nearDistance, double farDistance);
    void getPerspective(double& fieldOfView, double& nearDistance, double& farDistance) const;
    // Width over height of the viewport (width - x without height); 1 when
    // the viewport gives no usable ratio.
    double getAspect() const;

    void setMode(int mode) { m_mode = mode; }
    int getMode() const { return m_mode; }
    // The view direction of forward mode; false for a vector without direction.
    bool setForward(double x, double y, double z);

    void setUseJitter(bool use) { m_useJitter = use; }
    bool getUseJitter() const { return m_useJitter; }
    // Offset in pixels; false for values that are not finite.
    bool setJitter(double x, double y);
    void getJitter(double& x, double& y) const;
    void setUseViewWindow(bool use) { m_useViewWindow = use; }
    bool getUseViewWindow() const { return m_useViewWindow; }
    // Fractions of the full frustum's half extents, -1 to 1; false unless
    // left < right and bottom < top.
    bool setViewWindow(double left, double right, double bottom, double top);
    void getViewWindow(double& left, double& right, double& bottom, double& top) const;

    void setStereo(bool stereo) { m_stereo = stereo; }
    bool getStereo() const { return m_stereo; }
    void setEye(int eye) { m_eye = eye == 0 ? 0 : 1; }
    int getEye() const { return m_eye; }
    bool setEyeSeparation(double separation);
    double getEyeSeparation() const { return m_eyeSeparation; }

    // The point the geometry of the scene is given relative to: the view
    // transform is computed in double precision from the position and target
    // minus this origin, so that GL's single precision only ever sees small
    // numbers. Position, target and every getter stay in world units.
    void setRenderOrigin(double x, double y, double z) { m_renderOrigin.setComponents(x, y, z); }
    const CZelVec3d& getRenderOrigin() const { return m_renderOrigin; }

    // Recomputes forward, side and up. A position equal to the target keeps
    // the previous orientation; a view straight up or down keeps the previous
    // side vector, which is horizontal and so still perpendicular.
    void updateOrientation();

    // Angles in radians, distances in world units.
    void rotatePositionX(double angle);
    void rotatePositionY(double angle);
    void moveDepth(double distance);
    void moveSideways(double distance);
    void moveVertical(double distance);

private:
    // Whether the perspective has a proper frustum of that half height at the near plane.
    bool hasFrustum(double halfHeight) const;
    void frustumWithJitter(double left, double right, double bottom, double top, double jitterX,
                           double jitterY) const;
    // Stores both points unless one of them is not finite.
    bool place(const CZelVec3d& position, const CZelVec3d& target);

    double m_far = 50.0;
    double m_near = 1.0;
    double m_fieldOfView = 45.0;
    double m_jitterX = 0.0;
    double m_jitterY = 0.0;
    double m_windowLeft = -1.0;
    double m_windowRight = 1.0;
    double m_windowBottom = -1.0;
    double m_windowTop = 1.0;
    int m_mode = TARGET_MODE;
    bool m_useJitter = false;
    bool m_useViewWindow = false;
    bool m_stereo = false;
    int m_eye = 0;
    double m_eyeSeparation = 1.0;
    CZelVec3d m_up{0.0, 1.0, 0.0};
    CZelVec3d m_side{1.0, 0.0, 0.0};
    CZelVec3d m_forward{0.0, 0.0, 1.0};
    CZelVec3d m_position{0.0, 0.0, -10.0};
    CZelVec3d m_target{0.0, 0.0, 0.0};
    CZelVec3d m_renderOrigin;
};
