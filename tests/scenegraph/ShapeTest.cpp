// The shape's render sequence on an offscreen context: transform, material,
// texture and state steps, read back as matrices, GL state and pixels.
#include "CZelGlobalState.h"
#include "CZelMatrixStack.h"
#include "CZelShape.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A full-viewport quad that records what the GL state was while it drew.
class ProbeShape : public CZelShape
{
public:
    void doCreateGeometry() override
    {
        ++geometryCalls;
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        attribDepth = 0;
        glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &attribDepth);
        texture2d = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
        glBegin(GL_QUADS);
        glVertex2d(-1.0, -1.0);
        glVertex2d(1.0, -1.0);
        glVertex2d(1.0, 1.0);
        glVertex2d(-1.0, 1.0);
        glEnd();
    }

    int geometryCalls = 0;
    double modelview[16] = {};
    GLint attribDepth = -1;
    bool texture2d = false;
};

class RecordingState : public CZelRenderState
{
public:
    void saveState() override { log += "save "; }
    void applyState() override { log += "apply "; }
    void restoreState() override { log += "restore"; }
    std::string log;
};

CZelMaterial* coloured(float r, float g, float b)
{
    CZelMaterial* m = new CZelMaterial();
    m->setDiffuseColor(r, g, b, 1.0f);
    return m;
}

bool isIdentity(const double m[16])
{
    for (int i = 0; i < 16; ++i)
        if (m[i] != ((i % 5 == 0) ? 1.0 : 0.0))
            return false;
    return true;
}

class ShapeTest : public OffscreenGLTest
{
protected:
    void SetUp() override
    {
        OffscreenGLTest::SetUp();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        shape = new ProbeShape();
    }

    // The diffuse colour the front material holds after the shape has drawn
    // with lighting on; starts from a marker no material of the tests uses.
    std::vector<float> diffuseAfterRender()
    {
        const float marker[4] = {0.25f, 0.25f, 0.25f, 1.0f};
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, marker);
        glEnable(GL_LIGHTING);
        shape->render();
        glDisable(GL_LIGHTING);
        std::vector<float> diffuse(4);
        glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse.data());
        return diffuse;
    }

    CZelPointer<ProbeShape> shape;
};

const std::vector<float> MARKER = {0.25f, 0.25f, 0.25f, 1.0f};

} // namespace

TEST_F(ShapeTest, StateOneDrawsNothingAndPushesNoMatrix)
{
    shape->setState(1);
    shape->setPosition(1.0, 2.0, 3.0);
    shape->render();
    EXPECT_EQ(shape->geometryCalls, 0);
    EXPECT_EQ(readInteger(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(m_context->readPixel(32, 32), (std::vector<unsigned char>{0, 0, 0, 255}));

    shape->setState(0);
    shape->render();
    EXPECT_EQ(shape->geometryCalls, 1);
    EXPECT_EQ(readInteger(GL_MODELVIEW_STACK_DEPTH), 1);
}

TEST_F(ShapeTest, TransformSteps)
{
    // At the origin, unrotated and with scale (0, 0, 0): no transform at all.
    shape->setScale(0.0, 0.0, 0.0);
    shape->render();
    EXPECT_TRUE(isIdentity(shape->modelview));

    shape->setScale(1.0, 1.0, 1.0);
    shape->render();
    EXPECT_TRUE(isIdentity(shape->modelview));

    shape->setPosition(1.0, 2.0, 3.0);
    shape->setScale(2.0, 3.0, 4.0);
    shape->render();
    EXPECT_EQ(shape->modelview[12], 1.0);
    EXPECT_EQ(shape->modelview[13], 2.0);
    EXPECT_EQ(shape->modelview[14], 3.0);
    EXPECT_EQ(shape->modelview[0], 2.0);
    EXPECT_EQ(shape->modelview[5], 3.0);
    EXPECT_EQ(shape->modelview[10], 4.0);
    EXPECT_TRUE(isIdentity(readMatrix(GL_MODELVIEW_MATRIX).data()));
}

TEST_F(ShapeTest, RotationsMatchTheMatrixStack)
{
    shape->setPosition(4.0, 5.0, 6.0);
    shape->setRotation(30.0, 45.0, 60.0);
    shape->setRotationAxis(1.0, 0.0, 0.0, 20.0);
    shape->render();

    CZelMatrixStack stack;
    stack.translate(4.0, 5.0, 6.0);
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
    shape->setMaterial(coloured(0.0f, 0.0f, 1.0f));

    // Own material by default.
    EXPECT_EQ(diffuseAfterRender(), (std::vector<float>{0.0f, 0.0f, 1.0f, 1.0f}));

    // Highlight material first while highlighted.
    shape->setHighlight(HS_ON);
    EXPECT_EQ(diffuseAfterRender(), (std::vector<float>{1.0f, 0.8f, 0.0f, 1.0f}));

    // Without one, the own material.
    shape->setHighlightMaterial(nullptr);
    EXPECT_EQ(diffuseAfterRender(), (std::vector<float>{0.0f, 0.0f, 1.0f, 1.0f}));

    // With neither, no material call at all.
    shape->setMaterial(nullptr);
    EXPECT_EQ(diffuseAfterRender(), MARKER);

    // Use material off: the default white, even with an own material.
    shape->setHighlight(HS_OFF);
    shape->setMaterial(coloured(0.0f, 1.0f, 0.0f));
    shape->setUseMaterial(0);
    EXPECT_EQ(diffuseAfterRender(), (std::vector<float>{1.0f, 1.0f, 1.0f, 1.0f}));

    // ... and nothing when the default is switched off too.
    shape->setDefaultMaterialOff(1);
    EXPECT_EQ(diffuseAfterRender(), MARKER);

    // The global switch silences every material.
    shape->setUseMaterial(1);
    CZelGlobalState::getInstance()->setMaterials(false);
    EXPECT_EQ(diffuseAfterRender(), MARKER);
    CZelGlobalState::getInstance()->setMaterials(true);
    EXPECT_EQ(diffuseAfterRender(), (std::vector<float>{0.0f, 1.0f, 0.0f, 1.0f}));
}

TEST_F(ShapeTest, UnlitMaterialColoursThePixels)
{
    shape->setMaterial(coloured(1.0f, 0.0f, 0.0f));
    shape->render();
    EXPECT_EQ(m_context->readPixel(10, 50), (std::vector<unsigned char>{255, 0, 0, 255}));

    shape->setHighlight(HS_ON);
    shape->render();
    EXPECT_EQ(m_context->readPixel(10, 50), (std::vector<unsigned char>{255, 204, 0, 255}));
}

TEST_F(ShapeTest, GreyscaleMaterial)
{
    shape->setMaterial(coloured(0.3f, 0.6f, 0.9f));
    CZelGlobalState::getInstance()->setGreyscale(true);
    const std::vector<float> diffuse = diffuseAfterRender();
    CZelGlobalState::getInstance()->setGreyscale(false);
    EXPECT_FLOAT_EQ(diffuse[0], 0.6f);
    EXPECT_FLOAT_EQ(diffuse[1], 0.6f);
    EXPECT_FLOAT_EQ(diffuse[2], 0.6f);
}

TEST_F(ShapeTest, TextureStepFollowsActiveAndTheGlobalSwitch)
{
    CZelTexture* texture = new CZelTexture();
    shape->setTexture(texture);
    const int outside = readInteger(GL_ATTRIB_STACK_DEPTH);

    shape->render();
    EXPECT_TRUE(texture->isCreated());
    EXPECT_NE(texture->getTextureName(), 0u);
    EXPECT_TRUE(shape->texture2d);
    EXPECT_EQ(shape->attribDepth, outside + 1);
    shape->render(); // the second time applies instead of binding
    EXPECT_TRUE(shape->texture2d);
    EXPECT_EQ(readInteger(GL_ATTRIB_STACK_DEPTH), outside);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    texture->setActive(false);
    shape->render();
    EXPECT_FALSE(shape->texture2d);
    EXPECT_EQ(shape->attribDepth, outside);

    texture->setActive(true);
    CZelGlobalState::getInstance()->setTextures(false);
    shape->render();
    CZelGlobalState::getInstance()->setTextures(true);
    EXPECT_FALSE(shape->texture2d);
    EXPECT_EQ(shape->attribDepth, outside);
    EXPECT_EQ(readInteger(GL_ATTRIB_STACK_DEPTH), outside);
}

TEST_F(ShapeTest, RenderStateBracketsTheDrawing)
{
    RecordingState* state = new RecordingState();
    shape->setRenderState(state);
    shape->render();
    EXPECT_EQ(state->log, "save apply restore");
    EXPECT_EQ(shape->geometryCalls, 1);
}

TEST_F(ShapeTest, CulledShapeSkipsOneFrame)
{
    shape->setCulled(true);
    shape->render();
    EXPECT_EQ(shape->geometryCalls, 0);
    EXPECT_FALSE(shape->isCulled());
    shape->render();
    EXPECT_EQ(shape->geometryCalls, 1);
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
    EXPECT_EQ(m_context->readPixel(32, 32), (std::vector<unsigned char>{0, 255, 0, 255}));

    const unsigned int first = shape->getDisplayList();
    shape->compile();
    EXPECT_FALSE(glIsList(first) && first != shape->getDisplayList());
}
