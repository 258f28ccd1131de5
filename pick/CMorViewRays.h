// The view of a camera in double precision, as GL draws it: the ray through
// a point of the picture, and where a scene point falls in the picture. The
// picture's points are normalised device coordinates, -1 to 1, y upwards.
#pragma once

#include "CZelCamera.h"
#include "CZelVec3d.h"

class CMorViewRays
{
public:
    // The camera's view as it stands now, for a picture width / height as
    // wide as high (aspect). The camera is only read.
    CMorViewRays(const CZelCamera& camera, double aspect);

    // The point of the picture at the centre of pixel (x, y) of a width x
    // height picture, origin top left.
    static void pixelCentre(double x, double y, double width, double height, double& ndcX, double& ndcY);

    // The ray through a point of the picture, in world units: from the eye,
    // with a direction whose component along the view is 1, so that a point
    // eye + t * direction lies t in front of the eye.
    void rayThrough(double ndcX, double ndcY, CZelVec3d& eye, CZelVec3d& direction) const;
    // Where a world point falls in the picture, and how far in front of the
    // eye it lies (negative behind it).
    void project(const CZelVec3d& point, double& ndcX, double& ndcY, double& depth) const;

    // The depths GL draws between.
    double getNear() const { return m_near; }
    double getFar() const { return m_far; }

private:
    CZelVec3d m_eye;
    CZelVec3d m_forward;
    CZelVec3d m_right;
    CZelVec3d m_up;
    double m_halfWidth = 1.0;
    double m_halfHeight = 1.0;
    double m_near = 0.0;
    double m_far = 0.0;
};
