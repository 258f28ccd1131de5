// Polyline building and arc-length queries.
#include "CZelLine3d.h"

CZelLine3d::CZelLine3d() : m_start(new CZelVec3d()), m_end(new CZelVec3d()) {}

void CZelLine3d::setSize(int n)
{
    m_pointCount = n < 2 ? -1 : n;
    rebuild();
}

void CZelLine3d::copyFrom(CZelLine3d* other)
{
    // Rebuilding would wipe the very points to be copied.
    if (other == this)
        return;
    const int count = other->getPointCount();
    m_pointCount = count < 2 ? -1 : count;
    rebuild();
    for (int i = 0; i < getPointCount(); ++i)
        *m_points[static_cast<size_t>(i)] = *other->getPoint(i);
}

void CZelLine3d::rebuild()
{
    m_segments.clear();
    m_points.clear();
    // A chain of fewer than two points keeps nothing of an earlier one, so that
    // its count, length and positions agree.
    if (m_pointCount < 2) {
        m_start = new CZelVec3d();
        m_end = new CZelVec3d();
        return;
    }
    for (int i = 0; i < m_pointCount; ++i)
        m_points.emplace_back(new CZelVec3d());
    for (int i = 0; i + 1 < m_pointCount; ++i) {
        CZelLineSegment3d* segment = new CZelLineSegment3d();
        m_segments.emplace_back(segment);
        segment->setFirstPoint(m_points[static_cast<size_t>(i)]);
        segment->setSecondPoint(m_points[static_cast<size_t>(i) + 1]);
    }
    m_start = m_points.front();
    m_end = m_points.back();
}

CZelVec3d* CZelLine3d::getPoint(int i)
{
    if (i < 0 || i >= getPointCount())
        return nullptr;
    return m_points[static_cast<size_t>(i)];
}

CZelLineSegment3d* CZelLine3d::getSegment(int i)
{
    if (i < 0 || i >= getSegmentCount())
        return nullptr;
    return m_segments[static_cast<size_t>(i)];
}

double CZelLine3d::getLength() const
{
    double length = 0.0;
    for (int i = 0; i + 1 < m_pointCount; ++i)
        length += m_segments[static_cast<size_t>(i)]->getLength();
    return length;
}

CZelVec3d* CZelLine3d::getPosition(double s)
{
    if (s <= 0.0)
        return m_start;
    if (m_segments.empty())
        return m_end;
    double acc = 0.0;
    for (CZelLineSegment3d* segment : m_segments) {
        const double length = segment->getLength();
        // A segment of length 0 gives an infinite or undefined quotient, which
        // never counts as at most 1: the search passes over it.
        const double u = (s - acc) / length;
        if (u <= 1.0)
            return segment->getPosition(u);
        acc += length;
    }
    return m_end;
}
