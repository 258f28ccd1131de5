// A group of shapes kept turned toward a camera: about the vertical axis,
// about the horizontal axis, or both.
#pragma once

#include "CZelCamera.h"
#include "CZelComposite.h"

class CZelBillboard : public CZelComposite
{
    ZEL_DECLARE_CLASS(CZelBillboard, CZelComposite)
public:
    enum Type { VERTICAL_AXIS = 0, HORIZONTAL_AXIS = 1, BOTH_AXES = 2 };

    void doCreateGeometry() override;

    // Borrowed: the camera must outlive the billboard or be unset first.
    // Without a camera the children keep the last turn (none at first).
    void setView(CZelCamera* camera) { m_view = camera; }
    CZelCamera* getView() const { return m_view; }
    // 0 turns about the vertical axis only, 1 about the horizontal axis
    // only, any other value about both.
    void setBillboardType(int type) { m_type = type; }
    int getBillboardType() const { return m_type; }
    // 1 faces the fixed direction; any other value the camera's forward vector.
    void setDirectionMode(int mode) { m_directionMode = mode; }
    int getDirectionMode() const { return m_directionMode; }
    void setDirection(double x, double y, double z);
    // The turn of the last drawing, in radians.
    double getAlpha() const { return m_alpha; }
    double getBeta() const { return m_beta; }

private:
    CZelCamera* m_view = nullptr;
    // Both at a quarter turn: no rotation at all.
    double m_alpha = 1.5707963267948966;
    double m_beta = 1.5707963267948966;
    int m_type = VERTICAL_AXIS;
    int m_directionMode = 0;
    double m_direction[3] = {0.0, 0.0, 1.0};
};
