// Polylines and straight segments: arc-length positions, shared points, copies
// and degenerate chains.
#include "CZelLine3d.h"
#include "CZelLineSegment3d.h"
#include "CZelPointer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

CZelLine3d* makeChain(const std::vector<CZelVec3d>& points)
{
    CZelLine3d* line = new CZelLine3d();
    line->setSize(static_cast<int>(points.size()));
    for (size_t i = 0; i < points.size(); ++i)
        *line->getPoint(static_cast<int>(i)) = points[i];
    return line;
}

CZelVec3d at(CZelLine3d* line, double s)
{
    return *line->getPosition(s);
}

} // namespace

TEST(LineGeometry, ChainLengthAndPositionsAlongBothSegments)
{
    CZelPointer<CZelLine3d> line = makeChain({{0, 0, 0}, {3, 0, 0}, {3, 4, 0}});
    EXPECT_EQ(line->getPointCount(), 3);
    EXPECT_EQ(line->getSegmentCount(), 2);
    EXPECT_DOUBLE_EQ(line->getLength(), 7.0);
    EXPECT_EQ(at(line, 0.0), CZelVec3d(0, 0, 0));
    EXPECT_EQ(at(line, 1.5), CZelVec3d(1.5, 0, 0));
    EXPECT_EQ(at(line, 3.0), CZelVec3d(3, 0, 0));
    EXPECT_EQ(at(line, 5.0), CZelVec3d(3, 2, 0));
    EXPECT_EQ(at(line, 7.0), CZelVec3d(3, 4, 0));
    EXPECT_EQ(at(line, 9.0), CZelVec3d(3, 4, 0));
    EXPECT_EQ(at(line, -1.0), CZelVec3d(0, 0, 0));
    EXPECT_TRUE(line->isClass("CZelLine3d"));
    EXPECT_TRUE(line->isClass("CZelMathBase"));
}

TEST(LineGeometry, MapCoordinatesKeepTheirPrecision)
{
    CZelPointer<CZelLine3d> line = makeChain({{4512345.25, 812.5, 5612345.75}, {4512345.25 + 600.0, 812.5, 5612345.75}});
    EXPECT_DOUBLE_EQ(line->getLength(), 600.0);
    const CZelVec3d p = at(line, 150.0);
    EXPECT_DOUBLE_EQ(p.x(), 4512495.25);
    EXPECT_DOUBLE_EQ(p.z(), 5612345.75);
}

TEST(LineGeometry, FewerThanTwoPointsMakeAnEmptyChain)
{
    CZelPointer<CZelLine3d> fresh = new CZelLine3d();
    EXPECT_EQ(fresh->getPointCount(), 0);
    EXPECT_EQ(fresh->getSegment(0), nullptr);
    EXPECT_DOUBLE_EQ(fresh->getLength(), 0.0);
    EXPECT_EQ(at(fresh, 5.0), CZelVec3d(0, 0, 0));

    CZelPointer<CZelLine3d> one = new CZelLine3d();
    one->setSize(1);
    EXPECT_EQ(one->getPointCount(), 0);
    EXPECT_EQ(one->getSegmentCount(), 0);
    EXPECT_EQ(one->getPoint(0), nullptr);
    EXPECT_EQ(one->getSegment(0), nullptr);
    EXPECT_DOUBLE_EQ(one->getLength(), 0.0);

    // A chain that held points and is cut below two keeps none of them, so its
    // count, length and positions still agree.
    CZelPointer<CZelLine3d> shrunk = makeChain({{1, 1, 1}, {5, 1, 1}});
    shrunk->setSize(0);
    EXPECT_EQ(shrunk->getPointCount(), 0);
    EXPECT_EQ(shrunk->getSegmentCount(), 0);
    EXPECT_DOUBLE_EQ(shrunk->getLength(), 0.0);
    EXPECT_EQ(at(shrunk, 2.0), CZelVec3d(0, 0, 0));
}

TEST(LineGeometry, ZeroLengthSegmentsArePassedOverWithoutNaN)
{
    CZelPointer<CZelLine3d> line = makeChain({{0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {2, 0, 0}});
    EXPECT_DOUBLE_EQ(line->getLength(), 2.0);
    EXPECT_EQ(at(line, 1.0), CZelVec3d(1, 0, 0));
    EXPECT_EQ(at(line, 1.5), CZelVec3d(1.5, 0, 0));

    CZelPointer<CZelLine3d> still = makeChain({{2, 3, 4}, {2, 3, 4}, {2, 3, 4}});
    EXPECT_DOUBLE_EQ(still->getLength(), 0.0);
    const CZelVec3d p = at(still, 0.5);
    EXPECT_FALSE(std::isnan(p.x()) || std::isnan(p.y()) || std::isnan(p.z()));
    EXPECT_EQ(p, CZelVec3d(2, 3, 4));
}

TEST(LineGeometry, SegmentInterpolatesAndClamps)
{
    CZelPointer<CZelLineSegment3d> segment = new CZelLineSegment3d();
    segment->setFirstPoint(new CZelVec3d(0, 0, 0));
    segment->setSecondPoint(new CZelVec3d(2, 2, 2));
    EXPECT_DOUBLE_EQ(segment->getLength(), std::sqrt(12.0));
    EXPECT_EQ(*segment->getPosition(0.25), CZelVec3d(0.5, 0.5, 0.5));
    EXPECT_EQ(*segment->getPosition(2.0), CZelVec3d(2, 2, 2));
    EXPECT_EQ(*segment->getPosition(-1.0), CZelVec3d(0, 0, 0));
    EXPECT_EQ(*segment->getPosition(std::nan("")), CZelVec3d(0, 0, 0));
    // The result is the segment's own vector, overwritten by the next call.
    EXPECT_EQ(segment->getPosition(0.5), segment->getPosition(1.0));
    EXPECT_TRUE(segment->isClass("CZelCurveSegment3d"));
}

TEST(LineGeometry, NeighbouringSegmentsShareTheirCommonPoint)
{
    CZelPointer<CZelLine3d> line = makeChain({{0, 0, 0}, {3, 0, 0}, {3, 4, 0}});
    CZelLineSegment3d* first = line->getSegment(0);
    CZelLineSegment3d* second = line->getSegment(1);
    EXPECT_EQ(first->getSecondPoint(), second->getFirstPoint());
    EXPECT_EQ(first->getSecondPoint(), line->getPoint(1));

    line->getPoint(1)->setComponents(0, 4, 0);
    EXPECT_DOUBLE_EQ(first->getLength(), 4.0);
    EXPECT_DOUBLE_EQ(second->getLength(), 3.0);
    EXPECT_EQ(at(line, 5.0), CZelVec3d(1, 4, 0));
}

TEST(LineGeometry, CopyTakesValuesNotVectorObjects)
{
    CZelPointer<CZelLine3d> source = makeChain({{0, 0, 0}, {3, 0, 0}, {3, 4, 0}});
    CZelPointer<CZelLine3d> copy = new CZelLine3d();
    copy->copyFrom(source);
    ASSERT_EQ(copy->getPointCount(), 3);
    EXPECT_NE(copy->getPoint(1), source->getPoint(1));
    EXPECT_EQ(*copy->getPoint(2), CZelVec3d(3, 4, 0));
    EXPECT_DOUBLE_EQ(copy->getLength(), 7.0);
    source->getPoint(2)->setComponents(9, 9, 9);
    EXPECT_EQ(*copy->getPoint(2), CZelVec3d(3, 4, 0));

    // Copying a chain onto itself keeps its points.
    copy->copyFrom(copy);
    EXPECT_EQ(*copy->getPoint(1), CZelVec3d(3, 0, 0));

    CZelPointer<CZelLine3d> empty = new CZelLine3d();
    copy->copyFrom(empty);
    EXPECT_EQ(copy->getPointCount(), 0);
    EXPECT_DOUBLE_EQ(copy->getLength(), 0.0);
}
