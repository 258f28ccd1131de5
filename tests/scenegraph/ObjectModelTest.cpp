// Reference counting, the smart pointer and class naming.
#include "CZelBase.h"
#include "CZelMaterial.h"
#include "CZelPointer.h"
#include "CZelShape.h"
#include "CZelVec3d.h"

#include <gtest/gtest.h>

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

TEST(ObjectModel, CountNeverGoesNegative)
{
    CZelBase object;
    EXPECT_FALSE(object.referenced());
    object.deleteReference();
    EXPECT_EQ(object.getReferenceCount(), 0);
    EXPECT_FALSE(object.referenced());
    object.addReference();
    EXPECT_TRUE(object.referenced());
}

TEST(ObjectModel, PointerAssignmentReleasesAndReferences)
{
    int destroyed = 0;
    Counted* first = new Counted(&destroyed);
    {
        CZelPointer<Counted> holder;
        EXPECT_TRUE(holder == nullptr);
        holder = first;
        EXPECT_EQ(first->getReferenceCount(), 1);

        // Assigning what is already held changes nothing.
        holder = first;
        EXPECT_EQ(first->getReferenceCount(), 1);
        EXPECT_EQ(destroyed, 0);

        CZelPointer<Counted> second(holder);
        EXPECT_EQ(first->getReferenceCount(), 2);
        second = nullptr;
        EXPECT_EQ(first->getReferenceCount(), 1);
        EXPECT_EQ(destroyed, 0);

        // Replacing the only reference destroys the old object.
        holder = new Counted(&destroyed);
        EXPECT_EQ(destroyed, 1);
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(ObjectModel, SharedObjectLivesUntilLastHolderLetsGo)
{
    int destroyed = 0;
    CZelPointer<Counted> a(new Counted(&destroyed));
    {
        CZelPointer<Counted> b;
        b = a;
    }
    EXPECT_EQ(destroyed, 0);
    a = nullptr;
    EXPECT_EQ(destroyed, 1);
}

TEST(ObjectModel, BaseAndCountAreTheSameAddress)
{
    CZelBase object;
    CZelBase* asBase = &object;
    EXPECT_EQ(static_cast<void*>(static_cast<CZelRefCountBase*>(asBase)), static_cast<void*>(asBase));
}

TEST(ObjectModel, IsClassWalksTheBaseChain)
{
    CZelPointer<CZelMaterial> material(new CZelMaterial());
    EXPECT_EQ(material->getClassNameThis(), "CZelMaterial");
    EXPECT_TRUE(material->isClass("CZelMaterial"));
    EXPECT_TRUE(material->isClass("CZelGLBase"));
    EXPECT_TRUE(material->isClass("CZelBase"));
    EXPECT_TRUE(material->isClass("CZelRTTIBase"));
    EXPECT_FALSE(material->isClass("CZelShape"));
    EXPECT_FALSE(material->isClass(""));

    CZelPointer<CZelShape> shape(new CZelShape());
    EXPECT_TRUE(shape->isClass("CZelShape"));
    EXPECT_FALSE(shape->isClass("CZelMaterial"));
    EXPECT_FALSE(shape->isClass(""));

    CZelVec3d v;
    EXPECT_TRUE(v.isClass("CZelVec3d"));
    EXPECT_TRUE(v.isClass("CZelMathBase"));
    EXPECT_FALSE(v.isClass("CZelBase"));
    EXPECT_FALSE(v.isClass(""));
}
