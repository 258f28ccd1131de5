// A straight segment between two shared point vectors: neighbouring segments of
// a polyline hold the same vector for their common point.
#pragma once

#include "CZelCurveSegment3d.h"
#include "CZelPointer.h"

class CZelLineSegment3d : public CZelCurveSegment3d
{
    ZEL_DECLARE_CLASS(CZelLineSegment3d, CZelCurveSegment3d)
public:
    CZelLineSegment3d();

    // Adds a reference to the vector object itself (shared, not copied); the
    // previous one is released.
    void setFirstPoint(CZelVec3d* point) { m_first = point; }
    void setSecondPoint(CZelVec3d* point) { m_second = point; }
    CZelVec3d* getFirstPoint() override { return m_first; }
    CZelVec3d* getSecondPoint() override { return m_second; }

    double getLength() const;
    // The point at fraction t of the way, t clamped to [0, 1]. Borrowed: the
    // segment's result vector, which the next call overwrites.
    CZelVec3d* getPosition(double t) override;

private:
    CZelPointer<CZelVec3d> m_first;
    CZelPointer<CZelVec3d> m_second;
    CZelPointer<CZelVec3d> m_result;
};
