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

TEST(LineGeometry, PositionsAlongTheChainClampedToItsEnds)
{
    CZelPointer<CZelLine3d> line = makeChain({{0, 0, 0}, {3, 0, 0}, {3, 4, 0}});
    EXPECT_EQ(line->getSegmentCount(), 2);
    EXPECT_DOUBLE_EQ(line->getLength(), 7.0);
    const std::vector<std::pair<double, CZelVec3d>> positions = {
        {0, {0, 0, 0}}, {1.5, {1.5, 0, 0}}, {3, {3, 0, 0}}, {5, {3, 2, 0}}, {7, {3, 4, 0}}, {9, {3, 4, 0}}, {-1, {0, 0, 0}}};
    for (const auto& p : positions)
        EXPECT_EQ(at(line, p.first), p.second) << p.first;

    // Map coordinates keep their precision.
    line = makeChain({{4512345.25, 812.5, 5612345.75}, {4512345.25 + 600.0, 812.5, 5612345.75}});
    EXPECT_DOUBLE_EQ(line->getLength(), 600.0);
    EXPECT_DOUBLE_EQ(at(line, 150.0).x(), 4512495.25);
    EXPECT_DOUBLE_EQ(at(line, 150.0).z(), 5612345.75);

    // Zero-length segments are passed over without NaN.
    line = makeChain({{0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {2, 0, 0}});
    EXPECT_DOUBLE_EQ(line->getLength(), 2.0);
    EXPECT_EQ(at(line, 1.0), CZelVec3d(1, 0, 0));
    EXPECT_EQ(at(line, 1.5), CZelVec3d(1.5, 0, 0));
    line = makeChain({{2, 3, 4}, {2, 3, 4}, {2, 3, 4}});
    EXPECT_DOUBLE_EQ(line->getLength(), 0.0);
    EXPECT_EQ(at(line, 0.5), CZelVec3d(2, 3, 4));

    // A segment of its own clamps too, a position that is not a number to its start.
    CZelPointer<CZelLineSegment3d> segment = new CZelLineSegment3d();
    segment->setFirstPoint(new CZelVec3d(0, 0, 0));
    segment->setSecondPoint(new CZelVec3d(2, 2, 2));
    EXPECT_DOUBLE_EQ(segment->getLength(), std::sqrt(12.0));
    EXPECT_EQ(*segment->getPosition(0.25), CZelVec3d(0.5, 0.5, 0.5));
    EXPECT_EQ(*segment->getPosition(2.0), CZelVec3d(2, 2, 2));
    EXPECT_EQ(*segment->getPosition(-1.0), CZelVec3d(0, 0, 0));
    EXPECT_EQ(*segment->getPosition(std::nan("")), CZelVec3d(0, 0, 0));
}

TEST(LineGeometry, FewerThanTwoPointsMakeAnEmptyChain)
{
    // New, sized to one point, and cut below two: no points, so count, length and positions agree.
    CZelPointer<CZelLine3d> lines[] = {new CZelLine3d(), new CZelLine3d(), makeChain({{1, 1, 1}, {5, 1, 1}})};
    lines[1]->setSize(1);
    lines[2]->setSize(0);
    for (CZelLine3d* line : lines) {
        EXPECT_EQ(line->getPointCount() + line->getSegmentCount(), 0);
        EXPECT_EQ(line->getPoint(0), nullptr);
        EXPECT_EQ(line->getSegment(0), nullptr);
        EXPECT_DOUBLE_EQ(line->getLength(), 0.0);
        EXPECT_EQ(at(line, 2.0), CZelVec3d(0, 0, 0));
    }
}

TEST(LineGeometry, NeighboursShareTheirPointAndCopiesTakeValues)
{
    CZelPointer<CZelLine3d> line = makeChain({{0, 0, 0}, {3, 0, 0}, {3, 4, 0}});
    CZelLineSegment3d *first = line->getSegment(0), *second = line->getSegment(1);
    EXPECT_EQ(first->getSecondPoint(), second->getFirstPoint());
    EXPECT_EQ(first->getSecondPoint(), line->getPoint(1));

    CZelPointer<CZelLine3d> copy = new CZelLine3d();
    copy->copyFrom(line);
    ASSERT_EQ(copy->getPointCount(), 3);
    EXPECT_NE(copy->getPoint(1), line->getPoint(1));
    copy->copyFrom(copy); // onto itself: keeps its points
    EXPECT_EQ(*copy->getPoint(1), CZelVec3d(3, 0, 0));

    line->getPoint(1)->setComponents(0, 4, 0);
    EXPECT_DOUBLE_EQ(first->getLength(), 4.0);
    EXPECT_DOUBLE_EQ(second->getLength(), 3.0);
    EXPECT_EQ(at(line, 5.0), CZelVec3d(1, 4, 0));
    EXPECT_DOUBLE_EQ(copy->getLength(), 7.0);

    CZelPointer<CZelLine3d> empty = new CZelLine3d();
    copy->copyFrom(empty);
    EXPECT_EQ(copy->getPointCount(), 0);
    EXPECT_DOUBLE_EQ(copy->getLength(), 0.0);
}
