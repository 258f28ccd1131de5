// A non-drawing polyline of shared points joined by straight segments: its total
// length and the point a given arc length along it.
#pragma once

#include "CZelLineSegment3d.h"
#include "CZelMathBase.h"
#include "CZelPointer.h"
#include "CZelRTTIBase.h"
#include "CZelVec3d.h"

#include <cstdint>
#include <vector>

class CZelLine3d : public CZelMathBase
{
    ZEL_DECLARE_CLASS(CZelLine3d, CZelMathBase)
public:
    CZelLine3d();

    // Replaces all points by n new zero points joined by n - 1 segments. Fewer
    // than two points make an empty chain.
    void setSize(int n);
    // Takes over the other chain's point values (its vector objects are not
    // shared). other is borrowed.
    void copyFrom(CZelLine3d* other);

    int getPointCount() const { return static_cast<int>(m_points.size()); }
    // Borrowed; null when i is out of range. Writing through it moves the point
    // and the ends of the segments that share it.
    CZelVec3d* getPoint(int i);
    int getSegmentCount() const { return static_cast<int>(m_segments.size()); }
    // Borrowed; null when i is out of range.
    CZelLineSegment3d* getSegment(int i);

    double getLength() const;
    // The point at arc length s from point 0; before the start the first point,
    // past the end the last one. Borrowed: a shared point or a segment's result
    // vector that the next query may overwrite, so callers copy it at once.
    CZelVec3d* getPosition(double s);

private:
    void rebuild();

    int32_t m_pointCount = -1;
    std::vector<CZelPointer<CZelLineSegment3d>> m_segments;
    std::vector<CZelPointer<CZelVec3d>> m_points;
    // Point 0 and the last point once the chain is built; zero vectors before.
    CZelPointer<CZelVec3d> m_start;
    CZelPointer<CZelVec3d> m_end;
};
