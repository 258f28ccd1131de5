// Billboards turning their children toward a camera: the turn read back as
// the model-view matrix, and what the camera sees as pixels.
#include "CZelBillboard.h"
#include "CZelQuadPlane.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

// GL keeps matrices in single precision.
constexpr double EPS = 1e-6;

class MatrixProbe : public CZelShape
{
public:
    void doCreateGeometry() override { glGetDoublev(GL_MODELVIEW_MATRIX, modelview); }
    double modelview[16] = {};
};

CZelQuadPlane* colouredSquare(double x, float r, float g, float b)
{
    CZelQuadPlane* square = new CZelQuadPlane();
    square->setSize(2.0, 2.0);
    square->setPosition(x, 0.0, 0.0);
    CZelMaterial* material = new CZelMaterial();
    material->setDiffuseColor(r, g, b, 1.0f);
    square->setMaterial(material);
    return square;
}

std::vector<unsigned char> rgba(int r, int g, int b)
{
    return {static_cast<unsigned char>(r), static_cast<unsigned char>(g), static_cast<unsigned char>(b), 255};
}

} // namespace

using BillboardTest = OffscreenGLTest;

TEST_F(BillboardTest, TurnsAboutTheAxesOfItsType)
{
    CZelPointer<CZelCamera> camera = new CZelCamera();
    CZelPointer<CZelBillboard> billboard = new CZelBillboard();
    MatrixProbe* probe = new MatrixProbe();
    billboard->addChild(probe);

    // Without a camera nothing turns.
    billboard->render();
    const std::vector<double> identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(probe->modelview[i], identity[static_cast<size_t>(i)], EPS) << i;

    // The default camera looks along +z: half a turn about the vertical axis.
    billboard->setView(camera);
    billboard->render();
    const std::vector<double> halfTurn = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(probe->modelview[i], halfTurn[static_cast<size_t>(i)], EPS) << i;

    // Looking straight down at a horizontal-axis billboard: tipped back a
    // quarter turn about x, so that its face points up.
    billboard->setBillboardType(CZelBillboard::HORIZONTAL_AXIS);
    billboard->setDirectionMode(1);
    billboard->setDirection(0.0, -1.0, 0.0);
    billboard->render();
    EXPECT_NEAR(probe->modelview[5], 0.0, EPS);
    EXPECT_NEAR(probe->modelview[6], -1.0, EPS);
    EXPECT_NEAR(probe->modelview[9], 1.0, EPS);
    EXPECT_NEAR(probe->modelview[0], 1.0, EPS);
    EXPECT_EQ(readInteger(GL_MODELVIEW_STACK_DEPTH), 1);
}

TEST_F(BillboardTest, TheCameraSeesTheChildrenAsTheyWereDrawn)
{
    CZelPointer<CZelCamera> camera = new CZelCamera();
    camera->setViewport(0, 0, 64, 64);
    CZelPointer<CZelBillboard> billboard = new CZelBillboard();
    billboard->setView(camera);
    CZelPointer<CZelComposite> plain = new CZelComposite();
    for (CZelComposite* group : {static_cast<CZelComposite*>(billboard), plain.get()}) {
        group->addChild(colouredSquare(-1.0, 1.0f, 0.0f, 0.0f));
        group->addChild(colouredSquare(1.0, 0.0f, 1.0f, 0.0f));
    }

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    camera->initialize();
    camera->render();
    billboard->render();
    // The camera at -z sees world +x on its left; the billboard's half turn
    // puts the red square, drawn at -x, back on the left.
    EXPECT_EQ(m_context->readPixel(24, 32), rgba(255, 0, 0));
    EXPECT_EQ(m_context->readPixel(40, 32), rgba(0, 255, 0));

    glClear(GL_COLOR_BUFFER_BIT);
    camera->initialize();
    camera->render();
    plain->render();
    EXPECT_EQ(m_context->readPixel(24, 32), rgba(0, 255, 0));
    EXPECT_EQ(m_context->readPixel(40, 32), rgba(255, 0, 0));
}
