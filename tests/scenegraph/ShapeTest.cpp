// Shapes and composites: the render sequence (transform, material, texture and
// state steps), drawing order and step, membership and ownership, bounding
// spheres, frustum culling through a scene and selection names.
#include "CZelBufferSelection.h"
#include "CZelCamera.h"
#include "CZelComposite.h"
#include "CZelGlobalState.h"
#include "CZelMatrixStack.h"
#include "CZelScene.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

// A full-viewport quad, a sphere of radius 1 around its position, that records
// its drawing and the GL state it drew with, and counts the deletions of probes.
class Probe : public CZelShape
{
public:
    explicit Probe(std::vector<Probe*>* drawn = nullptr, double x = 0.0, double z = 0.0) : m_drawn(drawn)
    {
        setPosition(x, 0.0, z);
    }
    ~Probe() override { ++deleted; }
    void doCreateGeometry() override
    {
        ++geometryCalls;
        if (m_drawn)
            m_drawn->push_back(this);
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &attribDepth);
        texture2d = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
        if (whileDrawing)
            whileDrawing();
        glRectd(-1.0, -1.0, 1.0, 1.0);
    }
    void doUpdateBoundingSphere() override { getBoundingSphere()->setRadius(1.0); }
    std::vector<double> matrix() const { return std::vector<double>(modelview, modelview + 16); }

    int geometryCalls = 0;
    double modelview[16] = {};
    GLint attribDepth = -1;
    bool texture2d = false;
    std::function<void()> whileDrawing;
    static inline int deleted = 0;

private:
    std::vector<Probe*>* m_drawn;
};

CZelMaterial* coloured(float r, float g, float b)
{
    CZelMaterial* m = new CZelMaterial();
    m->setDiffuseColor(r, g, b, 1.0f);
    return m;
}

using Colour = std::vector<float>;
using Pixel = std::vector<unsigned char>;
const Colour MARKER = {0.25f, 0.25f, 0.25f, 1.0f};
const std::vector<double> IDENTITY = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class ShapeTest : public OffscreenGLTest
{
protected:
    ShapeTest() { scene->setUseCulling(true); } // before adding: shapes get their spheres then

    void SetUp() override
    {
        OffscreenGLTest::SetUp();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    // The front diffuse colour after drawing lit; MARKER when no material was sent.
    Colour diffuseAfterRender()
    {
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, MARKER.data());
        glEnable(GL_LIGHTING);
        shape->render();
        glDisable(GL_LIGHTING);
        Colour diffuse(4);
        glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse.data());
        return diffuse;
    }

    Pixel centre() { return m_context->readPixel(32, 32); }

    // Renders the scene; the count of shapes culled.
    int renderCulled()
    {
        drawn.clear();
        scene->render();
        return scene->getCulling()->getCulledCount();
    }
    CZelCamera* camera() { return static_cast<CZelCamera*>(scene->getView()); }

    CZelPointer<Probe> shape = new Probe();
    std::vector<Probe*> drawn;
    CZelPointer<CZelScene> scene = new CZelScene();
};

} // namespace

TEST_F(ShapeTest, SkippedOrCulledDrawingPushesNoMatrixAndTransformsFollowTheStackOrder)
{
    shape->setState(1);
    shape->setPosition(1.0, 2.0, 3.0);
    shape->render();
    shape->setState(0);
    shape->setCulled(true); // for one frame only
    shape->render();
    EXPECT_EQ(shape->geometryCalls, 0);
    EXPECT_FALSE(shape->isCulled());
    EXPECT_EQ(readInteger(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(centre(), (Pixel{0, 0, 0, 255}));

    // At the origin, unrotated and with scale (0, 0, 0): no transform at all.
    shape->setPosition(0.0, 0.0, 0.0);
    shape->setScale(0.0, 0.0, 0.0);
    shape->render();
    EXPECT_EQ(shape->matrix(), IDENTITY);
    shape->setScale(2.0, 3.0, 4.0);
    shape->setPosition(1.0, 2.0, 3.0);
    shape->render();
    EXPECT_EQ(shape->matrix(), (std::vector<double>{2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 1, 2, 3, 1}));
    EXPECT_EQ(readMatrix(GL_MODELVIEW_MATRIX), IDENTITY);

    // Rotations about x, y, z and the free axis, in the matrix stack's order.
    shape->setScale(1.0, 1.0, 1.0);
    shape->setRotation(30.0, 45.0, 60.0);
    shape->setRotationAxis(1.0, 0.0, 0.0, 20.0);
    shape->render();
    CZelMatrixStack stack;
    stack.translate(1.0, 2.0, 3.0);
    stack.rotate(1.0, 0.0, 0.0, 30.0);
    stack.rotate(0.0, 1.0, 0.0, 45.0);
    stack.rotate(0.0, 0.0, 1.0, 60.0);
    stack.rotate(1.0, 0.0, 0.0, 20.0);
    double expected[16];
    stack.getTop().getColumnMajor(expected);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(shape->modelview[i], expected[i], 1e-6) << "element " << i;
}

TEST_F(ShapeTest, MaterialChoiceOrder)
{
    const Colour blue = {0.0f, 0.0f, 1.0f, 1.0f}, highlight = {1.0f, 0.8f, 0.0f, 1.0f};
    shape->setMaterial(coloured(0.0f, 0.0f, 1.0f));
    EXPECT_EQ(diffuseAfterRender(), blue);
    shape->setHighlight(HS_ON);
    EXPECT_EQ(diffuseAfterRender(), highlight);
    shape->setHighlightMaterial(nullptr); // highlighted without one: the own material
    EXPECT_EQ(diffuseAfterRender(), blue);
    shape->setMaterial(nullptr); // with neither, no material call at all
    EXPECT_EQ(diffuseAfterRender(), MARKER);

    // Use material off: the default white even with an own material, or nothing.
    shape->setHighlight(HS_OFF);
    shape->setMaterial(coloured(0.0f, 1.0f, 0.0f));
    shape->setUseMaterial(0);
    EXPECT_EQ(diffuseAfterRender(), (Colour{1.0f, 1.0f, 1.0f, 1.0f}));
    shape->setDefaultMaterialOff(1);
    EXPECT_EQ(diffuseAfterRender(), MARKER);

    // The global switch silences every material; greyscale averages the colour.
    shape->setUseMaterial(1);
    CZelGlobalState* global = CZelGlobalState::getInstance();
    global->setMaterials(false);
    EXPECT_EQ(diffuseAfterRender(), MARKER);
    global->setMaterials(true);
    shape->setMaterial(coloured(0.3f, 0.6f, 0.9f));
    global->setGreyscale(true);
    const Colour grey = diffuseAfterRender();
    global->setGreyscale(false);
    EXPECT_FLOAT_EQ(grey[0], 0.6f);
    EXPECT_FLOAT_EQ(grey[2], 0.6f);
}

TEST_F(ShapeTest, TextureAttributesStayBalanced)
{
    CZelTexture* texture = new CZelTexture();
    shape->setTexture(texture);
    CZelGlobalState* global = CZelGlobalState::getInstance();
    const int outside = readInteger(GL_ATTRIB_STACK_DEPTH);
    for (int frame = 0; frame < 2; ++frame) { // created, then applied
        shape->render();
        EXPECT_TRUE(shape->texture2d);
        EXPECT_EQ(shape->attribDepth, outside + 1);
        EXPECT_EQ(readInteger(GL_ATTRIB_STACK_DEPTH), outside);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    }

    // Inactive or switched off globally: nothing pushed.
    texture->setActive(false);
    shape->render();
    EXPECT_EQ(shape->attribDepth, outside);
    texture->setActive(true);
    global->setTextures(false);
    shape->render();
    EXPECT_FALSE(shape->texture2d);
    EXPECT_EQ(shape->attribDepth, outside);

    // A switch that changes while the shape draws does not unbalance the stack.
    shape->whileDrawing = [global] { global->setTextures(true); };
    shape->render();
    EXPECT_EQ(readInteger(GL_ATTRIB_STACK_DEPTH), outside);
    shape->whileDrawing = [texture] { texture->setActive(false); };
    shape->render();
    EXPECT_EQ(shape->attribDepth, outside + 1);
    EXPECT_EQ(readInteger(GL_ATTRIB_STACK_DEPTH), outside);
    global->setTextures(true);
}

TEST_F(ShapeTest, DisplayListReplaysWhatWasCompiled)
{
    shape->setMaterial(coloured(0.0f, 1.0f, 0.0f));
    shape->compile();
    EXPECT_EQ(shape->geometryCalls, 1);
    EXPECT_TRUE(glIsList(shape->getDisplayList()));
    shape->setUseDisplayList(true);

    // Changes after compiling are not seen while the list is used.
    shape->setPosition(5.0, 0.0, 0.0);
    shape->render();
    EXPECT_EQ(shape->geometryCalls, 1);
    EXPECT_EQ(centre(), (Pixel{0, 255, 0, 255}));

    const unsigned int first = shape->getDisplayList();
    shape->compile();
    EXPECT_FALSE(glIsList(first) && first != shape->getDisplayList());
}

TEST_F(ShapeTest, CompositeDrawStepAndState)
{
    CZelPointer<CZelComposite> group = new CZelComposite();
    std::vector<Probe*> p;
    for (int i = 0; i < 5; ++i)
        group->addChild(p.emplace_back(new Probe(&drawn)));
    p[4]->setState(1);
    const std::pair<int, std::vector<Probe*>> steps[] = {
        {1, {p[0], p[1], p[2], p[3]}}, {2, {p[0], p[2]}}, {0, {p[0], p[1], p[2], p[3]}}}; // 0 would never end
    for (const auto& [step, expected] : steps) {
        drawn.clear();
        group->setDrawStep(step);
        group->render();
        EXPECT_EQ(drawn, expected) << "step " << step;
    }
}

TEST_F(ShapeTest, CompositeMembershipAndOwnershipOfChildren)
{
    Probe::deleted = 0;
    {
        CZelPointer<CZelComposite> outer = new CZelComposite();
        CZelComposite* inner = new CZelComposite();
        Probe* other = new Probe();
        outer->addChild(shape);
        outer->addChild(shape); // twice in a row
        outer->addChild(inner);
        outer->addChild(other);
        inner->addChild(shape);
        // Removing by pointer unlinks every occurrence, nested ones too.
        EXPECT_EQ(outer->removeShape(shape.get()), shape.get());
        EXPECT_EQ(outer->getSize(), 2);
        EXPECT_EQ(outer->getChild(1), other);
        EXPECT_EQ(inner->getSize(), 0);
        EXPECT_EQ(shape->getReferenceCount(), 1);
        EXPECT_EQ(outer->removeShape(5), nullptr);

        outer->addChild(shape);
        CZelShape* removed = outer->removeShape(1); // handed to the caller, not deleted
        EXPECT_FALSE(removed->referenced());
        delete removed;
        outer->deleteShape(1); // never deletes a shape someone else still holds
        EXPECT_EQ(Probe::deleted, 1);
        outer->addChild(new Probe());
        outer->clear(); // deletes what only the composite held
        EXPECT_EQ(Probe::deleted, 2);
        EXPECT_EQ(shape->getReferenceCount(), 1);
        outer->addChild(shape);
        outer->addChild(new Probe());
    }
    EXPECT_EQ(Probe::deleted, 3);
    EXPECT_EQ(shape->getReferenceCount(), 1);

    // Without reference counting the composite neither releases nor deletes.
    Probe* loose = new Probe();
    CZelPointer<CZelComposite> borrowing = new CZelComposite();
    borrowing->setUseReference(false);
    borrowing->addChild(loose);
    borrowing = nullptr;
    EXPECT_EQ(Probe::deleted, 3);
    delete loose;
}

TEST_F(ShapeTest, CompositeRadiusFromItsOwnOrigin)
{
    // Empty and deeply nested empty composites stay huge, never NaN.
    CZelPointer<CZelComposite> nest = new CZelComposite();
    CZelComposite* level = nest;
    for (int i = 0; i < 40; ++i) {
        CZelComposite* next = new CZelComposite();
        level->addChild(next);
        level = next;
    }
    for (CZelComposite* c : {level, nest.get()}) {
        c->updateBoundingSphere();
        EXPECT_GE(c->getBoundingSphere()->getRadius(), 1e300);
    }

    CZelPointer<CZelComposite> group = new CZelComposite();
    group->addChild(new Probe(nullptr, 99.0));
    group->addChild(new Probe(nullptr, 101.0));
    group->updateBoundingSphere();
    EXPECT_DOUBLE_EQ(group->getBoundingSphere()->getRadius(), 100.0 + std::sqrt(6.0));
}

TEST_F(ShapeTest, CullingCountsAnOutsideCompositeOnceAndHonoursItsRotation)
{
    camera()->setViewport(0, 0, 64, 64);
    Probe* visible = new Probe(&drawn);
    CZelComposite* group = new CZelComposite();
    group->setPosition(0.0, 0.0, -100.0);
    for (int i = 0; i < 3; ++i)
        group->addChild(new Probe(&drawn, i));
    group->updateBoundingSphere();
    scene->addChild(visible);
    scene->addChild(new Probe(&drawn, 0.0, -30.0)); // behind the camera
    scene->addChild(group);
    EXPECT_EQ(renderCulled(), 2);
    EXPECT_EQ(drawn, (std::vector<Probe*>{visible}));
    EXPECT_FALSE(group->isCulled()); // for one frame only

    // Children placed through a turned composite are culled where they are drawn.
    struct Turn
    {
        double y, z, ax, ay, az;
        bool seen;
    };
    const Turn turns[] = {{30.0, 0.0, 90.0, 0.0, 0.0, true},   // up turned to the front
                          {0.0, 30.0, 0.0, 180.0, 0.0, false}, // front turned behind the camera
                          {30.0, 0.0, 0.0, 90.0, 90.0, true},  // z turns first, then y
                          {30.0, 0.0, 0.0, 0.0, 0.0, false}};
    group->setPosition(0.0, 0.0, 0.0);
    for (const Turn& t : turns) {
        group->setRotation(t.ax, t.ay, t.az);
        for (int i = 0; i < 3; ++i)
            group->getChild(i)->setPosition(0.0, t.y, t.z);
        group->updateBoundingSphere();
        SCOPED_TRACE(testing::Message() << t.ax << " " << t.ay << " " << t.az);
        EXPECT_EQ(renderCulled(), t.seen ? 1 : 4);
        EXPECT_EQ(drawn.size(), t.seen ? 4u : 1u);
    }
}

TEST_F(ShapeTest, CompositeWithDistantOriginOrAPlainViewIsNotCulled)
{
    // The group's origin is far outside the view; its child is inside.
    camera()->setPosition(100.0, 0.0, -10.0);
    camera()->setTarget(100.0, 0.0, 0.0);
    CZelComposite* group = new CZelComposite();
    group->addChild(new Probe(&drawn, 100.0));
    scene->addChild(group);
    EXPECT_EQ(renderCulled(), 0);
    EXPECT_EQ(drawn.size(), 1u);

    scene->setView(new CZelView());
    group->getChild(0)->setPosition(0.0, 0.0, 1e6);
    EXPECT_EQ(renderCulled(), 0);
    EXPECT_EQ(drawn.size(), 1u);
}

TEST(BufferSelectionTest, NamesFollowTheDepthFirstWalk)
{
    CZelPointer<CZelComposite> root = new CZelComposite();
    Probe *a = new Probe(), *c = new Probe();
    CZelComposite* named = new CZelComposite(); // loads a name of its own: after its children
    named->setUseName(true);
    named->addChild(c);
    root->addChild(a);
    root->addChild(named);
    root->addChild(new CZelComposite());
    CZelPointer<CZelBufferSelection> selection = new CZelBufferSelection();
    selection->setComposite(root);
    selection->compile();
    EXPECT_EQ(selection->getSize(), 3);
    EXPECT_EQ(a->getSelectName(), 0);
    EXPECT_EQ(selection->getShape(1), c);
    EXPECT_EQ(selection->getShape(2), named);
    EXPECT_EQ(named->getSelectName(), 2);
    EXPECT_EQ(selection->getShape(3), nullptr);
}
