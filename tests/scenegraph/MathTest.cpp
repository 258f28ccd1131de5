// Vectors, matrices, the matrix stack and the temporary rings.
#include "CZelBoundingSphere.h"
#include "CZelMat4d.h"
#include "CZelMatrixStack.h"
#include "CZelPlane.h"
#include "CZelPointer.h"
#include "CZelTemporaries.h"
#include "CZelVec3d.h"
#include "CZelVec4d.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Math, TemporaryRingWrapsOnThe33rdCallZeroed)
{
    CZelVec3d& first = getTempVec3d();
    first.setComponents(1.0, 2.0, 3.0);
    for (int i = 0; i < 31; ++i)
        EXPECT_NE(&getTempVec3d(), &first);
    CZelVec3d& again = getTempVec3d();
    EXPECT_EQ(&again, &first);
    EXPECT_EQ(again, CZelVec3d(0.0, 0.0, 0.0));

    CZelMat4d& m = getTempMat4d();
    m.setIdentity();
    for (int i = 0; i < 15; ++i)
        getTempMat4d();
    EXPECT_EQ(&getTempMat4d(), &m);
    EXPECT_EQ(m.at(0, 0), 0.0);
}

TEST(Math, VectorArithmetic)
{
    const CZelVec3d a(0.0, 0.0, 1.0);
    const CZelVec3d b(1.0, 0.0, 0.0);
    EXPECT_EQ(CZelVec3d::cross(a, b), CZelVec3d(0.0, 1.0, 0.0));
    EXPECT_EQ(CZelVec3d::cross(b, a), CZelVec3d(0.0, -1.0, 0.0));
    EXPECT_EQ(a + b, CZelVec3d(1.0, 0.0, 1.0));
    EXPECT_EQ(a - b, CZelVec3d(-1.0, 0.0, 1.0));
    EXPECT_EQ(2.0 * a, CZelVec3d(0.0, 0.0, 2.0));
    EXPECT_DOUBLE_EQ(CZelVec3d(3.0, 4.0, 12.0).length(), 13.0);

    CZelVec3d c;
    c = a + b;
    double x, y, z;
    c.getComponents(x, y, z);
    EXPECT_EQ(x, 1.0);
    EXPECT_EQ(z, 1.0);
}

TEST(Math, NormalizeLeavesAVectorWithoutDirectionUsable)
{
    CZelVec3d v(0.0, 3.0, 4.0);
    EXPECT_TRUE(v.normalize());
    EXPECT_DOUBLE_EQ(v.y(), 0.6);
    EXPECT_DOUBLE_EQ(v.z(), 0.8);

    CZelVec3d zero;
    EXPECT_FALSE(zero.normalize());
    EXPECT_EQ(zero, CZelVec3d(0.0, 0.0, 0.0));

    CZelVec3d infinite(INFINITY, 0.0, 0.0);
    EXPECT_FALSE(infinite.normalize());
    EXPECT_FALSE(std::isnan(infinite.x()));
}

TEST(Math, MatrixProductsWithColumnVectors)
{
    CZelMat4d a;
    a.setIdentity();
    a.at(0, 3) = 5.0; // translation by x
    CZelMat4d b;
    b.setIdentity();
    b.at(0, 0) = 2.0; // scale x
    const CZelVec4d p(1.0, 1.0, 1.0, 1.0);
    // Translate after scaling: (1 * 2) + 5.
    const CZelVec4d& q = (a * b) * p;
    EXPECT_DOUBLE_EQ(q[0], 7.0);
    EXPECT_DOUBLE_EQ(q[1], 1.0);
    EXPECT_DOUBLE_EQ(q[3], 1.0);

    double columns[16];
    a.getColumnMajor(columns);
    EXPECT_EQ(columns[12], 5.0);
    CZelMat4d back;
    back.setColumnMajor(columns);
    EXPECT_EQ(back.at(0, 3), 5.0);
}

TEST(Math, MatrixStackDepthIsBounded)
{
    CZelMatrixStack stack;
    EXPECT_EQ(stack.getTop().at(0, 0), 1.0);
    stack.pop();
    EXPECT_EQ(stack.getDepth(), 0);
    stack.translate(1.0, 2.0, 3.0);
    for (int i = 0; i < 40; ++i)
        stack.push();
    EXPECT_EQ(stack.getDepth(), 31);
    // Every level copied the one below.
    EXPECT_EQ(stack.getTop().at(1, 3), 2.0);
    stack.translate(1.0, 0.0, 0.0);
    stack.pop();
    EXPECT_EQ(stack.getDepth(), 30);
    EXPECT_EQ(stack.getTop().at(0, 3), 1.0);
}

TEST(Math, RotateAboutZTurnsXIntoY)
{
    CZelMatrixStack stack;
    stack.rotate(0.0, 0.0, 1.0, 90.0);
    const CZelVec4d& p = stack.getTop() * CZelVec4d(1.0, 0.0, 0.0, 1.0);
    EXPECT_NEAR(p[0], 0.0, 1e-12);
    EXPECT_NEAR(p[1], 1.0, 1e-12);
    EXPECT_NEAR(p[2], 0.0, 1e-12);

    // Translation then rotation applies the rotation to the point first.
    CZelMatrixStack moved;
    moved.translate(10.0, 0.0, 0.0);
    moved.rotate(0.0, 0.0, 1.0, 90.0);
    const CZelVec4d& r = moved.getTop() * CZelVec4d(1.0, 0.0, 0.0, 1.0);
    EXPECT_NEAR(r[0], 10.0, 1e-12);
    EXPECT_NEAR(r[1], 1.0, 1e-12);
}

TEST(Math, PlaneAndSphere)
{
    CZelPlane plane;
    EXPECT_DOUBLE_EQ(plane.getSignedValue(CZelVec3d(5.0, 5.0, 2.0)), 2.0);
    plane.setPlane(1.0, 0.0, 0.0, -3.0);
    EXPECT_DOUBLE_EQ(plane.getSignedValue(1.0, 9.0, 9.0), -2.0);

    CZelPointer<CZelBoundingSphere> sphere(new CZelBoundingSphere());
    EXPECT_EQ(sphere->getRadius(), 0.0);
    sphere->setCenter(1.0, 2.0, 3.0);
    sphere->setRadius(4.0);
    EXPECT_EQ(sphere->getCenter(), CZelVec3d(1.0, 2.0, 3.0));
}
