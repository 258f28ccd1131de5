// Whole frames drawn through a scene and its camera on an offscreen context:
// view window and jitter, lights and two-sided lighting, unlit materials,
// stereo modes and multi-pass drawing, checked on the read-back pixels.
#include "CZelCamera.h"
#include "CZelLighting.h"
#include "CZelLightingState.h"
#include "CZelScene.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Pixel = std::vector<unsigned char>;

// A square of half-size s in the plane z = 0 of its own space, facing -z (the
// default camera), wound counter-clockwise as seen from there.
class Square : public CZelShape
{
public:
    Square(double s, float r, float g, float b) : m_size(s)
    {
        CZelMaterial* material = new CZelMaterial();
        material->setDiffuseColor(r, g, b, 1.0f);
        material->setAmbientColor(0.0f, 0.0f, 0.0f, 1.0f);
        setMaterial(material);
    }

    void doCreateGeometry() override
    {
        glBegin(GL_QUADS);
        glNormal3d(0.0, 0.0, -1.0);
        glVertex3d(m_size, -m_size, 0.0);
        glVertex3d(-m_size, -m_size, 0.0);
        glVertex3d(-m_size, m_size, 0.0);
        glVertex3d(m_size, m_size, 0.0);
        glEnd();
    }

private:
    double m_size;
};

Square* square(double s, float r, float g, float b, double x, double y, double z)
{
    Square* q = new Square(s, r, g, b);
    q->setPosition(x, y, z);
    return q;
}

CZelCamera* cameraOf(CZelScene* scene)
{
    return static_cast<CZelCamera*>(scene->getView());
}

// Clears, sets the camera up as the application's view does and renders.
void drawFrame(CZelScene* scene, int width, int height)
{
    cameraOf(scene)->setViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    cameraOf(scene)->initialize();
    scene->render();
}

// A few coloured squares, one turned, at different depths.
CZelScene* testScene()
{
    CZelScene* scene = new CZelScene();
    scene->addChild(square(2.0, 1.0f, 0.0f, 0.0f, 1.3, -1.1, 0.0));
    Square* turned = square(1.2, 0.0f, 1.0f, 0.0f, 2.2, -2.5, -1.0);
    turned->setRotation(0.0, 0.0, 23.0);
    scene->addChild(turned);
    scene->addChild(square(0.7, 0.0f, 0.0f, 1.0f, -0.9, 1.7, 1.0));
    scene->addChild(square(0.4, 1.0f, 1.0f, 0.0f, 3.1, -0.3, -2.0));
    return scene;
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
            CZelLighting::getInstance()->getLight(i)->disable();
    }

    Pixel pixel(int x, int y) { return m_context->readPixel(x, y); }

    CZelPointer<CZelScene> scene;
};

} // namespace

// The window (-1, 0, -1, 0) at n x n pixels samples the lower-left quarter of
// a 2n x 2n full frame at exactly the same points.
TEST(SceneViewWindowTest, LowerLeftQuarterOfTheFullFrame)
{
    CZelPointer<CZelScene> scene = testScene();
    std::vector<unsigned char> full;
    {
        OffscreenContext context(128, 128);
        ASSERT_TRUE(context.isValid());
        drawFrame(scene, 128, 128);
        full = context.readPixels();
    }
    OffscreenContext context(64, 64);
    ASSERT_TRUE(context.isValid());
    cameraOf(scene)->setUseViewWindow(true);
    cameraOf(scene)->setViewWindow(-1.0, 0.0, -1.0, 0.0);
    drawFrame(scene, 64, 64);
    const std::vector<unsigned char> quarter = context.readPixels();

    int coloured = 0;
    int different = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const size_t q = 4 * static_cast<size_t>(y * 64 + x);
            const size_t f = 4 * static_cast<size_t>(y * 128 + x);
            bool same = true;
            for (int k = 0; k < 3; ++k)
                same = same && quarter[q + k] == full[f + k];
            different += same ? 0 : 1;
            coloured += quarter[q] + quarter[q + 1] + quarter[q + 2] > 0 ? 1 : 0;
        }
    EXPECT_EQ(different, 0);
    EXPECT_GT(coloured, 1000); // the quarter is not empty
    EXPECT_LT(coloured, 64 * 64);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneRenderTest, JitterMovesThePictureBySubPixels)
{
    // A tall square whose left edge (on screen) falls between pixel centres.
    scene->addChild(square(3.0, 1.0f, 1.0f, 1.0f, -0.05, 0.0, 0.0));
    CZelCamera* camera = cameraOf(scene);
    camera->setUseJitter(true);

    // Where the left edge falls without jitter, in window pixels.
    drawFrame(scene, 64, 64);
    const std::vector<double> p = readMatrix(GL_PROJECTION_MATRIX);
    // The scene restores the model-view: take the camera's look-at alone.
    camera->render();
    const std::vector<double> view = readMatrix(GL_MODELVIEW_MATRIX);
    const double worldX = -0.05 + 3.0; // leftmost on screen: largest world x
    const double eyeX = view[0] * worldX + view[12];
    const double eyeZ = view[2] * worldX + view[14];
    const double clipX = p[0] * eyeX + p[8] * eyeZ;
    const double clipW = -eyeZ;
    const double edge = (clipX / clipW + 1.0) * 32.0;

    auto firstLit = [&]() {
        for (int x = 0; x < 64; ++x)
            if (pixel(x, 32)[0] > 0)
                return x;
        return -1;
    };
    for (double jitter : {0.0, 0.2, 0.4, 0.6, 0.8, 1.0, 2.0}) {
        camera->setJitter(jitter, 0.0);
        drawFrame(scene, 64, 64);
        // Pixels whose centre lies right of the moved edge are covered.
        const int expected = static_cast<int>(std::ceil(edge + jitter - 0.5));
        EXPECT_EQ(firstLit(), expected) << "jitter " << jitter << ", edge " << edge;
    }
}

TEST_F(SceneRenderTest, DirectionalLightAndTwoSidedLighting)
{
    CZelLighting* lighting = CZelLighting::getInstance();
    CZelLight* light = lighting->getLight(0);
    light->setLightPosition(0.0f, 0.0f, 1.0f, 0.0f); // towards the viewer
    light->setDiffuse(1.0f, 1.0f, 1.0f, 1.0f);
    light->setAmbient(0.0f, 0.0f, 0.0f, 1.0f);
    light->setSpecular(0.0f, 0.0f, 0.0f, 1.0f);
    light->enable();
    lighting->enable();
    lighting->setTwoSide(false);

    Square* white = square(2.0, 1.0f, 1.0f, 1.0f, 0.0, 0.0, 0.0);
    white->getMaterial()->setAmbientColor(0.5f, 0.5f, 0.5f, 1.0f);
    scene->addChild(white);

    drawFrame(scene, 64, 64);
    const int facing = pixel(32, 32)[0];
    white->setRotation(0.0, 60.0, 0.0);
    drawFrame(scene, 64, 64);
    const int oblique = pixel(32, 32)[0];
    white->setRotation(0.0, 180.0, 0.0);
    drawFrame(scene, 64, 64);
    const int away = pixel(32, 32)[0];
    EXPECT_GE(facing, 250);
    EXPECT_NEAR(oblique, 128 + 26, 4); // cos 60 plus the ambient 0.5 x 0.2
    EXPECT_NEAR(away, 26, 3);          // ambient only

    lighting->setTwoSide(true);
    drawFrame(scene, 64, 64);
    EXPECT_GE(pixel(32, 32)[0], 250);
    lighting->setTwoSide(false);
    glDisable(GL_LIGHTING);
}

TEST_F(SceneRenderTest, LightsMoveWithTheCameraOrStayInTheWorld)
{
    CZelLighting* lighting = CZelLighting::getInstance();
    CZelLight* light = lighting->getLight(0);
    light->setLightPosition(0.0f, 0.0f, 1.0f, 0.0f);
    light->setAmbient(0.0f, 0.0f, 0.0f, 1.0f);
    light->enable();
    lighting->enable();
    scene->addChild(square(2.0, 1.0f, 1.0f, 1.0f, 0.0, 0.0, 0.0));

    // Mode 0: eye space, the light shines from the viewer.
    drawFrame(scene, 64, 64);
    EXPECT_GE(pixel(32, 32)[0], 250);
    // Mode 1: world +z, behind the square as the camera sees it.
    scene->setLightMode(CZelSceneBase::LIGHTS_IN_WORLD);
    drawFrame(scene, 64, 64);
    EXPECT_LE(pixel(32, 32)[0], 60);
    glDisable(GL_LIGHTING);
}

TEST_F(SceneRenderTest, UnlitMaterialAndLightingState)
{
    scene->addChild(square(2.0, 0.2f, 0.4f, 0.6f, 0.0, 0.0, 0.0));
    drawFrame(scene, 64, 64);
    EXPECT_EQ(pixel(32, 32), (Pixel{51, 102, 153, 255}));

    // A lighting state switched off draws its shape unlit inside a lit scene
    // and leaves lighting on for the rest.
    CZelLighting::getInstance()->enable();
    CZelLightingState* unlit = new CZelLightingState();
    unlit->setLighting(false);
    scene->getComposite()->getChild(0)->setRenderState(unlit);
    drawFrame(scene, 64, 64);
    EXPECT_EQ(pixel(32, 32), (Pixel{51, 102, 153, 255}));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    glDisable(GL_LIGHTING);
}

TEST_F(SceneRenderTest, StereoModes)
{
    scene->addChild(square(2.0, 1.0f, 1.0f, 1.0f, 0.0, 0.0, 0.0));

    scene->setStereoMode(3);
    drawFrame(scene, 64, 64);
    EXPECT_EQ(pixel(32, 32), (Pixel{0, 0, 0, 255}));

    scene->setStereoMode(CZelSceneBase::ANAGLYPH);
    const int colours[] = {0, 1, 2, 7};
    const Pixel expected[] = {{255, 255, 0, 255}, {255, 0, 255, 255}, {255, 255, 255, 255}, {255, 255, 0, 255}};
    for (int i = 0; i < 4; ++i) {
        scene->setAnaglyphColor(colours[i]);
        drawFrame(scene, 64, 64);
        EXPECT_EQ(pixel(32, 32), expected[i]) << "anaglyph colour " << colours[i];
    }
    GLboolean mask[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_TRUE(mask[0] && mask[1] && mask[2] && mask[3]);

    // This context has no left and right buffers: the mono picture, no error.
    scene->setStereoMode(CZelSceneBase::QUAD_BUFFERED);
    drawFrame(scene, 64, 64);
    EXPECT_EQ(pixel(32, 32), (Pixel{255, 255, 255, 255}));
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

    // Without a callback each pass is the scene's own.
    scene->setPassCallback(nullptr);
    scene->addChild(square(2.0, 0.0f, 1.0f, 0.0f, 0.0, 0.0, 0.0));
    drawFrame(scene, 64, 64);
    EXPECT_EQ(pixel(32, 32), (Pixel{0, 255, 0, 255}));
}
