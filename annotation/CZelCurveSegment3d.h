// A piece of a curve in space that interpolates between two shared end points;
// the polyline walks its pieces through this interface.
#pragma once

#include "CZelMathBase.h"
#include "CZelRTTIBase.h"
#include "CZelVec3d.h"

class CZelCurveSegment3d : public CZelMathBase
{
    ZEL_DECLARE_CLASS(CZelCurveSegment3d, CZelMathBase)
public:
    // Borrowed: the segment's own output vector, overwritten by the next call;
    // callers copy it at once.
    virtual CZelVec3d* getPosition(double t) = 0;
    // Borrowed: the shared end points.
    virtual CZelVec3d* getFirstPoint() = 0;
    virtual CZelVec3d* getSecondPoint() = 0;
};
