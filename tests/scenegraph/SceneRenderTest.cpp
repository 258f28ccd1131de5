// Whole frames drawn through a scene and its camera on an offscreen context:
// lights, unlit materials, billboards, stereo modes and
// multi-pass drawing, checked on the read-back pixels and GL state.
#include "CZelBillboard.h"
#include "CZelCamera.h"
#include "CZelLighting.h"
#include "CZelLightingState.h"
#include "CZelQuadPlane.h"
#include "CZelScene.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using Pixel = std::vector<unsigned char>;
using Floats = std::vector<float>;

// A square of half-size s at (x, y, z), its face turned away from the default camera.
CZelQuadPlane* square(double s, float r, float g, float b, double x = 0.0, double y = 0.0, double z = 0.0)
{
    CZelQuadPlane* q = new CZelQuadPlane();
    q->setSize(2.0 * s, 2.0 * s);
    q->setPosition(x, y, z);
    CZelMaterial* material = new CZelMaterial();
    material->setDiffuseColor(r, g, b, 1.0f);
    material->setAmbientColor(0.0f, 0.0f, 0.0f, 1.0f);
    q->setMaterial(material);
    return q;
}

// Records the model-view matrix it was drawn with.
class MatrixProbe : public CZelShape
{
public:
    void doCreateGeometry() override { glGetDoublev(GL_MODELVIEW_MATRIX, modelview); }
    double modelview[16] = {};
};

CZelCamera* cameraOf(CZelScene* scene)
{
    return static_cast<CZelCamera*>(scene->getView());
}

// Clears, sets the camera up as the application's view does and renders.
void drawFrame(CZelScene* scene, int width = 64, int height = 64)
{
    cameraOf(scene)->setViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    cameraOf(scene)->initialize();
    scene->render();
}

Floats lightValue(GLenum light, GLenum which)
{
    Floats v(4, -1.0f);
    glGetLightfv(light, which, v.data());
    return v;
}

class SceneRenderTest : public OffscreenGLTest
{
protected:
    void SetUp() override
    {
        OffscreenGLTest::SetUp();
        scene = new CZelScene();
        // The lighting outlives every test: start with all lights off.
        for (int i = 0; i < CZelLighting::LIGHT_COUNT; ++i)
            lighting->getLight(i)->disable();
    }

    Pixel pixel(int x, int y) { return m_context->readPixel(x, y); }
    // The centre pixel of a new frame.
    Pixel centre()
    {
        drawFrame(scene);
        return pixel(32, 32);
    }
    int centreRed() { return centre()[0]; }

    CZelPointer<CZelScene> scene;
    CZelLighting* lighting = CZelLighting::getInstance();
};

} // namespace

TEST_F(SceneRenderTest, LightsTurnTwoSidedLightingAndUnlitStates)
{
    CZelLight* light = lighting->getLight(0);
    light->setLightPosition(0.0f, 0.0f, 1.0f, 0.0f); // towards the viewer
    light->setDiffuse(1.0f, 1.0f, 1.0f, 1.0f);
    light->setAmbient(0.0f, 0.0f, 0.0f, 1.0f);
    light->setSpecular(0.0f, 0.0f, 0.0f, 1.0f);
    light->enable();
    lighting->enable();
    lighting->setTwoSide(false);
    CZelQuadPlane* white = square(2.0, 1.0f, 1.0f, 1.0f);
    white->getMaterial()->setAmbientColor(0.5f, 0.5f, 0.5f, 1.0f);
    scene->addChild(white);

    white->setRotation(0.0, 180.0, 0.0);
    EXPECT_GE(centreRed(), 250);
    white->setRotation(0.0, 240.0, 0.0);
    EXPECT_NEAR(centreRed(), 128 + 26, 4); // cos 60 plus the global ambient 0.2 x 0.5
    white->setRotation(0.0, 0.0, 0.0);
    EXPECT_NEAR(centreRed(), 26, 3); // the global ambient only
    lighting->setTwoSide(true);
    EXPECT_GE(centreRed(), 250);
    lighting->setTwoSide(false);

    // In world space the same light shines from +z, behind the square as the camera sees it.
    white->setRotation(0.0, 180.0, 0.0);
    scene->setLightMode(CZelSceneBase::LIGHTS_IN_WORLD);
    EXPECT_LE(centreRed(), 60);

    // Lighting state off: its shape unlit in its material colour inside a lit
    // scene, lighting left on for the rest.
    white->getMaterial()->setDiffuseColor(0.2f, 0.4f, 0.6f, 1.0f);
    CZelLightingState* unlit = new CZelLightingState();
    unlit->setLighting(false);
    white->setRenderState(unlit);
    EXPECT_EQ(centre(), (Pixel{51, 102, 153, 255}));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    glDisable(GL_LIGHTING);
}

TEST_F(SceneRenderTest, LightParametersReachGL)
{
    EXPECT_EQ(lighting->getLight(8), nullptr);
    EXPECT_EQ(lighting->getLight(-1), nullptr);

    // Disabled or inactive lights set nothing.
    CZelLight light(1);
    light.setDiffuse(0.3f, 0.4f, 0.5f, 1.0f);
    light.setLightPosition(1.0f, 2.0f, 3.0f, 0.5f); // directional: w below 0.9
    light.setSpotCutoff(30.0f);
    light.render();
    light.enable();
    light.setState(1);
    light.render();
    EXPECT_EQ(lightValue(GL_LIGHT1, GL_DIFFUSE), (Floats{0.0f, 0.0f, 0.0f, 1.0f}));
    light.setState(0);
    // The fourth position value and the cutoff follow the type.
    const std::tuple<int, float, float> types[] = {{CZelLight::DIRECTIONAL_LIGHT, 0.0f, 180.0f},
                                                   {CZelLight::SPOT_LIGHT, 1.0f, 30.0f},
                                                   {CZelLight::POINT_LIGHT, 1.0f, 180.0f}};
    for (const auto& [type, w, cutoff] : types) {
        light.setType(type);
        light.render();
        EXPECT_EQ(lightValue(GL_LIGHT1, GL_POSITION), (Floats{1.0f, 2.0f, 3.0f, w})) << type;
        EXPECT_EQ(lightValue(GL_LIGHT1, GL_SPOT_CUTOFF)[0], cutoff) << type;
    }
    EXPECT_EQ(lightValue(GL_LIGHT1, GL_DIFFUSE), (Floats{0.3f, 0.4f, 0.5f, 1.0f}));

    // A new context starts with every light off: drawing switches enabled ones on again.
    m_context.reset(new OffscreenContext(64, 64));
    ASSERT_FALSE(glIsEnabled(GL_LIGHT1));
    light.render();
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));

    // The global ambient is sent with every render.
    lighting->setAmbient(0.1f, 0.2f, 0.3f, 1.0f);
    lighting->render();
    Floats ambient(4);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient.data());
    EXPECT_EQ(ambient, (Floats{0.1f, 0.2f, 0.3f, 1.0f}));
    lighting->setAmbient(0.2f, 0.2f, 0.2f, 1.0f);
}

TEST_F(SceneRenderTest, BillboardTurnsAboutTheAxesOfItsType)
{
    CZelPointer<CZelBillboard> billboard = new CZelBillboard();
    MatrixProbe* probe = new MatrixProbe();
    billboard->addChild(probe);
    const auto expectTurn = [&](const std::vector<double>& expected) {
        billboard->render();
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(probe->modelview[i], expected[i], 1e-6) << "element " << i;
    };
    expectTurn({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}); // without a camera nothing turns
    // The default camera looks along +z: half a turn about the vertical axis.
    billboard->setView(cameraOf(scene));
    expectTurn({-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1});
    // Looking straight down at a horizontal-axis billboard: tipped back a
    // quarter turn about x, so that its face points up.
    billboard->setBillboardType(CZelBillboard::HORIZONTAL_AXIS);
    billboard->setDirectionMode(1);
    billboard->setDirection(0.0, -1.0, 0.0);
    expectTurn({1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1});
    EXPECT_EQ(readInteger(GL_MODELVIEW_STACK_DEPTH), 1);
}

TEST_F(SceneRenderTest, StereoModes)
{
    scene->addChild(square(2.0, 1.0f, 1.0f, 1.0f));
    scene->setStereoMode(3);
    EXPECT_EQ(centre(), (Pixel{0, 0, 0, 255}));

    scene->setStereoMode(CZelSceneBase::ANAGLYPH);
    const std::pair<int, Pixel> colours[] = {
        {0, {255, 255, 0, 255}}, {1, {255, 0, 255, 255}}, {2, {255, 255, 255, 255}}, {7, {255, 255, 0, 255}}};
    for (const auto& [colour, expected] : colours) {
        scene->setAnaglyphColor(colour);
        EXPECT_EQ(centre(), expected) << "anaglyph colour " << colour;
    }
    GLboolean mask[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_TRUE(mask[0] && mask[1] && mask[2] && mask[3]);

    // This context has no left and right buffers: the mono picture, no error.
    scene->setStereoMode(CZelSceneBase::QUAD_BUFFERED);
    EXPECT_EQ(centre(), (Pixel{255, 255, 255, 255}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneRenderTest, MultiPassRestoresTheMatricesAroundEachPass)
{
    struct Recorder : CZelPassCallback
    {
        void renderPass(int pass) override
        {
            passes.push_back(pass);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glMatrixMode(GL_MODELVIEW);
            glTranslated(1.0, 2.0, 3.0);
        }
        std::vector<int> passes;
    } recorder;
    scene->setMultiPass(true);
    scene->setPasses(3);
    scene->setPassCallback(&recorder);
    cameraOf(scene)->initialize();
    const std::vector<double> projection = readMatrix(GL_PROJECTION_MATRIX);
    scene->render();
    EXPECT_EQ(recorder.passes, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(readMatrix(GL_PROJECTION_MATRIX), projection);
    EXPECT_EQ(readInteger(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(readInteger(GL_MATRIX_MODE), GL_MODELVIEW);
}
