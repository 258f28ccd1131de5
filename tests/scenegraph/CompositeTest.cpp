// Composites and the passes over them: drawing order and step, membership and
// ownership, bounding spheres, frustum culling through a scene and selection
// names.
#include "CZelBufferSelection.h"
#include "CZelCamera.h"
#include "CZelComposite.h"
#include "CZelScene.h"
#include "OffscreenContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Records its drawing; a sphere of radius 1 around its position.
class Probe : public CZelShape
{
public:
    explicit Probe(std::vector<Probe*>* drawn = nullptr, int* deleted = nullptr) : m_drawn(drawn), m_deleted(deleted)
    {
    }
    ~Probe() override
    {
        if (m_deleted)
            ++*m_deleted;
    }
    void doCreateGeometry() override
    {
        if (m_drawn)
            m_drawn->push_back(this);
    }
    void doUpdateBoundingSphere() override { getBoundingSphere()->setRadius(1.0); }

private:
    std::vector<Probe*>* m_drawn;
    int* m_deleted;
};

class CompositeTest : public OffscreenGLTest
{
protected:
    std::vector<Probe*> drawn;
};

} // namespace

TEST_F(CompositeTest, DrawStepAndState)
{
    CZelPointer<CZelComposite> group = new CZelComposite();
    std::vector<Probe*> probes;
    for (int i = 0; i < 5; ++i) {
        probes.push_back(new Probe(&drawn));
        group->addChild(probes.back());
    }
    probes[4]->setState(1);
    group->render();
    EXPECT_EQ(drawn, (std::vector<Probe*>{probes[0], probes[1], probes[2], probes[3]}));

    drawn.clear();
    group->setDrawStep(2);
    group->render();
    EXPECT_EQ(drawn, (std::vector<Probe*>{probes[0], probes[2]}));

    // A step of 0 would never end: it draws every child.
    drawn.clear();
    group->setDrawStep(0);
    group->render();
    EXPECT_EQ(drawn.size(), 4u);
}

TEST_F(CompositeTest, RemoveShapeUnlinksEveryOccurrence)
{
    CZelPointer<Probe> shared = new Probe();
    CZelPointer<CZelComposite> outer = new CZelComposite();
    CZelComposite* inner = new CZelComposite();
    Probe* other = new Probe();
    outer->addChild(shared);
    outer->addChild(shared); // twice in a row
    outer->addChild(inner);
    outer->addChild(other);
    inner->addChild(shared);
    EXPECT_EQ(shared->getReferenceCount(), 4);

    EXPECT_EQ(outer->removeShape(shared.get()), shared.get());
    EXPECT_EQ(outer->getSize(), 2);
    EXPECT_EQ(outer->getChild(0), inner);
    EXPECT_EQ(outer->getChild(1), other);
    EXPECT_EQ(inner->getSize(), 0);
    EXPECT_EQ(shared->getReferenceCount(), 1);

    EXPECT_EQ(outer->getChild(-1), nullptr);
    EXPECT_EQ(outer->getChild(2), nullptr);
    EXPECT_EQ(outer->removeShape(5), nullptr);
}

TEST_F(CompositeTest, OwnershipOfChildren)
{
    int deleted = 0;
    CZelPointer<Probe> kept = new Probe(nullptr, &deleted);
    {
        CZelPointer<CZelComposite> group = new CZelComposite();
        group->addChild(kept);
        group->addChild(new Probe(nullptr, &deleted));
        group->addChild(new Probe(nullptr, &deleted));

        // removeShape hands an unowned child to the caller without deleting it.
        CZelShape* removed = group->removeShape(2);
        EXPECT_EQ(deleted, 0);
        EXPECT_FALSE(removed->referenced());
        delete removed;
        EXPECT_EQ(deleted, 1);

        // deleteShape never deletes a shape someone else still holds.
        group->addChild(kept);
        group->deleteShape(2);
        EXPECT_EQ(deleted, 1);
        EXPECT_EQ(kept->getReferenceCount(), 2);

        // clear deletes what only the composite held.
        group->clear();
        EXPECT_EQ(group->getSize(), 0);
        EXPECT_EQ(deleted, 2);
        EXPECT_EQ(kept->getReferenceCount(), 1);

        group->addChild(kept);
        group->addChild(new Probe(nullptr, &deleted));
    }
    EXPECT_EQ(deleted, 3);
    EXPECT_EQ(kept->getReferenceCount(), 1);

    // Without reference counting the composite neither releases nor deletes.
    Probe* loose = new Probe(nullptr, &deleted);
    {
        CZelPointer<CZelComposite> borrowing = new CZelComposite();
        borrowing->setUseReference(false);
        borrowing->addChild(loose);
        EXPECT_FALSE(loose->referenced());
    }
    EXPECT_EQ(deleted, 3);
    delete loose;
}

TEST_F(CompositeTest, BoundingSphereRadius)
{
    CZelPointer<CZelComposite> empty = new CZelComposite();
    empty->updateBoundingSphere();
    EXPECT_GE(empty->getBoundingSphere()->getRadius(), 1e300);

    // Nested empties stay huge and never turn into NaN.
    CZelPointer<CZelComposite> nest = new CZelComposite();
    CZelComposite* level = nest;
    for (int i = 0; i < 40; ++i) {
        CZelComposite* next = new CZelComposite();
        level->addChild(next);
        level = next;
    }
    nest->updateBoundingSphere();
    EXPECT_GE(nest->getBoundingSphere()->getRadius(), 1e300);

    // Children around (100, 0, 0): the sphere about the composite's origin
    // reaches past them.
    CZelPointer<CZelComposite> group = new CZelComposite();
    Probe* a = new Probe();
    a->setPosition(99.0, 0.0, 0.0);
    Probe* b = new Probe();
    b->setPosition(101.0, 0.0, 0.0);
    group->addChild(a);
    group->addChild(b);
    group->updateBoundingSphere();
    EXPECT_DOUBLE_EQ(group->getBoundingSphere()->getRadius(), 100.0 + std::sqrt(4.0 + 1.0 + 1.0));
}

TEST_F(CompositeTest, CullingCountsAnOutsideCompositeOnce)
{
    CZelPointer<CZelScene> scene = new CZelScene();
    scene->setUseCulling(true);
    static_cast<CZelCamera*>(scene->getView())->setViewport(0, 0, 64, 64);

    Probe* visible = new Probe(&drawn);
    Probe* behind = new Probe(&drawn);
    behind->setPosition(0.0, 0.0, -30.0);
    CZelComposite* group = new CZelComposite();
    group->setPosition(0.0, 0.0, -100.0);
    std::vector<Probe*> hidden;
    for (int i = 0; i < 3; ++i) {
        hidden.push_back(new Probe(&drawn));
        hidden.back()->setPosition(i, 0.0, 0.0);
        group->addChild(hidden.back());
    }
    group->updateBoundingSphere();
    scene->addChild(visible);
    scene->addChild(behind);
    scene->addChild(group);

    scene->render();
    EXPECT_EQ(scene->getCulling()->getCulledCount(), 2);
    EXPECT_EQ(drawn, (std::vector<Probe*>{visible}));
    EXPECT_FALSE(group->isCulled()); // for one frame only
    EXPECT_FALSE(behind->isCulled());

    // Children placed through a turned composite land where they are drawn:
    // turned half round, the group's children sit in front of the camera.
    drawn.clear();
    group->setPosition(0.0, 0.0, 0.0);
    group->setRotation(0.0, 180.0, 0.0);
    for (Probe* p : hidden)
        p->setPosition(0.0, 0.0, 30.0); // drawn at z = -30, behind the camera
    group->updateBoundingSphere();
    scene->render();
    EXPECT_EQ(scene->getCulling()->getCulledCount(), 4);
    EXPECT_EQ(drawn, (std::vector<Probe*>{visible}));
}

TEST_F(CompositeTest, CompositeWithDistantOriginIsNotCulled)
{
    CZelPointer<CZelScene> scene = new CZelScene();
    scene->setUseCulling(true);
    CZelCamera* camera = static_cast<CZelCamera*>(scene->getView());
    camera->setPosition(100.0, 0.0, -10.0);
    camera->setTarget(100.0, 0.0, 0.0);

    // The group's origin is far outside the view; its children are inside.
    CZelComposite* group = new CZelComposite();
    Probe* child = new Probe(&drawn);
    child->setPosition(100.0, 0.0, 0.0);
    group->addChild(child);
    scene->addChild(group);
    scene->render();
    EXPECT_EQ(scene->getCulling()->getCulledCount(), 0);
    EXPECT_EQ(drawn, (std::vector<Probe*>{child}));
}

TEST_F(CompositeTest, PlainViewCullsNothing)
{
    CZelPointer<CZelScene> scene = new CZelScene();
    scene->setView(new CZelView());
    scene->setUseCulling(true);
    Probe* far = new Probe(&drawn);
    far->setPosition(0.0, 0.0, 1e6);
    scene->addChild(far);
    scene->render();
    EXPECT_EQ(scene->getCulling()->getCulledCount(), 0);
    EXPECT_EQ(drawn, (std::vector<Probe*>{far}));
}

TEST(BufferSelectionTest, NamesFollowTheDepthFirstWalk)
{
    CZelPointer<CZelComposite> root = new CZelComposite();
    Probe* a = new Probe();
    Probe* b = new Probe();
    root->addChild(a);
    root->addChild(b);
    CZelPointer<CZelBufferSelection> selection = new CZelBufferSelection();
    selection->setComposite(root);
    selection->compile();
    EXPECT_EQ(selection->getSize(), 2);
    EXPECT_EQ(a->getSelectName(), 0);
    EXPECT_EQ(b->getSelectName(), 1);

    // A nested composite that loads a name of its own comes after its children.
    CZelComposite* named = new CZelComposite();
    named->setUseName(true);
    Probe* c = new Probe();
    named->addChild(c);
    root->addChild(named);
    root->addChild(new CZelComposite());
    selection->compile();
    EXPECT_EQ(selection->getSize(), 4);
    EXPECT_EQ(selection->getShape(2), c);
    EXPECT_EQ(selection->getShape(3), named);
    EXPECT_EQ(named->getSelectName(), 3);
    EXPECT_EQ(selection->getShape(4), nullptr);
}
