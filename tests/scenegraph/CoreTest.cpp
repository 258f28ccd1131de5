// Vectors, the matrix stack and the object model.
#include "CZelBase.h"
#include "CZelMatrixStack.h"
#include "CZelPointer.h"
#include "CZelVec3d.h"
#include "CZelVec4d.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Counts its own destructions so that tests can see when a holder deletes it.
class Counted : public CZelBase
{
public:
    explicit Counted(int* destroyed) : m_destroyed(destroyed) {}
    ~Counted() override { ++*m_destroyed; }

private:
    int* m_destroyed;
};

} // namespace

TEST(Math, NormalizeLeavesAVectorWithoutDirectionAsItWas)
{
    CZelVec3d v(0.0, 3.0, 4.0);
    EXPECT_TRUE(v.normalize());
    EXPECT_DOUBLE_EQ(v.z(), 0.8);
    // Without a direction the vector stays as it was, never NaN.
    CZelVec3d zero, infinite(INFINITY, 0.0, 0.0);
    EXPECT_FALSE(zero.normalize());
    EXPECT_EQ(zero, CZelVec3d(0.0, 0.0, 0.0));
    EXPECT_FALSE(infinite.normalize());
    EXPECT_FALSE(std::isnan(infinite.x()));
}

TEST(Math, MatrixStackDepthIsBoundedAndRotateAboutZTurnsXIntoY)
{
    CZelMatrixStack stack;
    stack.pop();
    EXPECT_EQ(stack.getDepth(), 0);
    stack.translate(10.0, 0.0, 0.0);
    for (int i = 0; i < 40; ++i)
        stack.push();
    EXPECT_EQ(stack.getDepth(), 31);
    stack.translate(1.0, 0.0, 0.0);
    stack.pop();
    EXPECT_EQ(stack.getDepth(), 30);
    EXPECT_EQ(stack.getTop().at(0, 3), 10.0); // every level copied the one below

    // The rotation applies to the point first, then the translation.
    stack.rotate(0.0, 0.0, 1.0, 90.0);
    const CZelVec4d& p = stack.getTop() * CZelVec4d(1.0, 0.0, 0.0, 1.0);
    EXPECT_NEAR(p[0], 10.0, 1e-12);
    EXPECT_NEAR(p[1], 1.0, 1e-12);
    EXPECT_NEAR(p[2], 0.0, 1e-12);
}

TEST(ObjectModel, ReferenceCountsAndPointers)
{
    CZelBase object;
    object.deleteReference();
    EXPECT_EQ(object.getReferenceCount(), 0); // never negative

    int destroyed = 0;
    Counted* first = new Counted(&destroyed);
    {
        CZelPointer<Counted> holder;
        holder = first;
        holder = first; // assigning what is already held changes nothing
        EXPECT_EQ(first->getReferenceCount(), 1);
        {
            CZelPointer<Counted> second(holder);
            EXPECT_EQ(first->getReferenceCount(), 2);
        }
        EXPECT_EQ(destroyed, 0);
        holder = new Counted(&destroyed); // replacing the only reference destroys the old object
        EXPECT_EQ(destroyed, 1);
    }
    EXPECT_EQ(destroyed, 2);
}
