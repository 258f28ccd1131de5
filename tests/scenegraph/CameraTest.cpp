// The camera: matrices read back against GLU, movements, frustum planes, and
// positions, targets and perspectives that have no valid orientation.
#include "CZelCamera.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

class CameraTest : public OffscreenGLTest
{
protected:
    std::vector<double> projection()
    {
        camera->initialize();
        return readMatrix(GL_PROJECTION_MATRIX);
    }

    std::vector<double> modelview()
    {
        camera->initialize();
        camera->render();
        return readMatrix(GL_MODELVIEW_MATRIX);
    }

    // The matrix GLU builds in mode from the identity.
    template <class Build>
    static std::vector<double> glu(GLenum mode, Build build)
    {
        glMatrixMode(mode);
        glLoadIdentity();
        build();
        std::vector<double> m = readMatrix(mode == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX);
        glMatrixMode(GL_MODELVIEW);
        return m;
    }

    static void expectMatrixNear(const std::vector<double>& actual, const std::vector<double>& expected)
    {
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(actual[i], expected[i], 1e-9) << "element " << i;
    }

    static bool allFinite(const std::vector<double>& m)
    {
        return std::all_of(m.begin(), m.end(), [](double v) { return std::isfinite(v); });
    }

    static void expectNear(const CZelVec3d& v, double x, double y, double z)
    {
        EXPECT_LE((v - CZelVec3d(x, y, z)).length(), 1e-9) << v.x() << " " << v.y() << " " << v.z();
    }

    CZelPointer<CZelCamera> camera = new CZelCamera();
};

} // namespace

TEST_F(CameraTest, MatricesMatchGlu)
{
    camera->setViewport(0, 0, 640, 480);
    expectMatrixNear(projection(), glu(GL_PROJECTION, [] { gluPerspective(45.0, 640.0 / 480.0, 1.0, 50.0); }));
    expectMatrixNear(modelview(), glu(GL_MODELVIEW, [] { gluLookAt(0, 0, -10, 0, 0, 0, 0, 1, 0); }));

    // Without a height the aspect is width minus x; with nothing left, square.
    camera->setViewport(10, 0, 640, 0);
    expectMatrixNear(projection(), glu(GL_PROJECTION, [] { gluPerspective(45.0, 630.0, 1.0, 50.0); }));
    camera->setViewport(640, 0, 640, 0);
    EXPECT_DOUBLE_EQ(camera->getAspect(), 1.0);
}

TEST_F(CameraTest, MovesStopAtThePoleAndTurnAboutOrCarryTheTarget)
{
    for (double sign : {1.0, -1.0}) {
        camera->setPosition(10.0 * std::cos(1.5), sign * 10.0 * std::sin(1.5), 0.0);
        camera->rotatePositionX(sign * 0.1); // 1.6 is past the pole: no move
        EXPECT_NEAR(camera->getPosition().y(), sign * 10.0 * std::sin(1.5), 1e-9);
        camera->rotatePositionX(sign * 0.07);
        expectNear(camera->getPosition(), 10.0 * std::cos(1.57), sign * 10.0 * std::sin(1.57), 0.0);
    }
    camera->setTarget(1.0, 2.0, 3.0);
    camera->setPosition(5.0, 5.0, 3.0);
    camera->rotatePositionY(M_PI / 2.0);
    expectNear(camera->getPosition(), 1.0, 5.0, 7.0);
    expectNear(camera->getTarget(), 1.0, 2.0, 3.0);

    camera = new CZelCamera();
    camera->moveSideways(1.0);
    camera->moveVertical(2.0);
    camera->moveDepth(3.0);
    expectNear(camera->getPosition(), 1.0, 2.0, -7.0);
    expectNear(camera->getTarget(), 1.0, 2.0, 0.0);
    camera->moveDepth(12.0); // past the target: the camera stays, the target is pushed on
    expectNear(camera->getPosition(), 1.0, 2.0, -7.0);
    expectNear(camera->getTarget(), 1.0, 2.0, 12.0);
}

TEST_F(CameraTest, OnTheTargetTheLastDirectionAndStraightDownTheSideVectorAreKept)
{
    // Height, then the forward and up vectors expected.
    const double cases[2][7] = {{0.0, 0, 0, 1, 0, 1, 0}, {10.0, 0, -1, 0, 0, 0, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        camera = new CZelCamera();
        camera->setPosition(0.0, c[0], 0.0);
        EXPECT_EQ(camera->getForward(), CZelVec3d(c[1], c[2], c[3]));
        EXPECT_EQ(camera->getUp(), CZelVec3d(c[4], c[5], c[6]));
        EXPECT_EQ(camera->getSide(), CZelVec3d(1.0, 0.0, 0.0));
        expectMatrixNear(modelview(),
                         glu(GL_MODELVIEW, [&] { gluLookAt(0, c[0], 0, c[1], c[0] + c[2], c[3], c[4], c[5], c[6]); }));
        camera->rotatePositionX(0.3);
        camera->rotatePositionY(0.3);
        camera->moveDepth(1.0);
        camera->moveSideways(1.0);
        EXPECT_TRUE(allFinite(modelview()));
    }
}

TEST_F(CameraTest, NonFiniteValuesAreRefusedAndTheOldOnesKept)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(camera->setPerspective(nan, 1.0, 50.0));
    EXPECT_FALSE(camera->setPerspective(45.0, 1.0, inf));
    double fov = 0.0, nearDistance = 0.0, farDistance = 0.0;
    camera->getPerspective(fov, nearDistance, farDistance);
    EXPECT_EQ(fov, 45.0);
    EXPECT_EQ(farDistance, 50.0);

    EXPECT_FALSE(camera->setPosition(nan, 0.0, 0.0));
    EXPECT_FALSE(camera->setTarget(0.0, inf, 0.0));
    EXPECT_FALSE(camera->setViewWindow(0.0, 0.0, -1.0, 1.0));
    EXPECT_FALSE(camera->setJitter(nan, 0.0));
    camera->moveDepth(nan);
    camera->rotatePositionX(inf);
    expectNear(camera->getPosition(), 0.0, 0.0, -10.0);
    expectNear(camera->getTarget(), 0.0, 0.0, 0.0);
    camera->setUseJitter(true);
    EXPECT_TRUE(allFinite(projection()));
    EXPECT_TRUE(allFinite(modelview()));

    // Moves that would overflow the coordinates are dropped.
    camera->setPosition(0.0, 0.0, -1e308);
    camera->moveDepth(-1e308);
    expectNear(camera->getPosition(), 0.0, 0.0, -1e308);
}

TEST_F(CameraTest, OddPerspectivesAreKeptAndStayDrawable)
{
    const double cases[][3] = {{45.0, 0.0, 50.0}, {45.0, 10.0, 5.0}, {45.0, 10.0, 10.0},
                               {180.0, 1.0, 50.0}, {1e9, 1.0, 50.0}, {0.0, 1.0, 50.0}, {45.0, -1.0, 50.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << " " << c[1] << " " << c[2]);
        ASSERT_TRUE(camera->setPerspective(c[0], c[1], c[2]));
        double fov = 0.0, nearDistance = 0.0, farDistance = 0.0;
        camera->getPerspective(fov, nearDistance, farDistance);
        EXPECT_EQ(std::vector<double>({fov, nearDistance, farDistance}), std::vector<double>(c, c + 3));
        for (bool jitter : {false, true}) {
            camera->setUseJitter(jitter);
            camera->setJitter(0.5, 0.25);
            EXPECT_TRUE(allFinite(projection()));
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        }
    }
}

TEST_F(CameraTest, SelectionKeepsThePickMatrixUnderJitter)
{
    camera->setViewport(0, 0, 64, 64);
    camera->setUseJitter(true);
    camera->setJitter(0.5, 0.5);
    const std::vector<double> frustum = projection();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    camera->initializeSelect(10, 20, 4, 4);
    const std::vector<double> selected = readMatrix(GL_PROJECTION_MATRIX);
    expectMatrixNear(selected, glu(GL_PROJECTION, [&] {
                         GLint viewport[4] = {0, 0, 64, 64};
                         gluPickMatrix(10, 64 - 20, 4, 4, viewport);
                         glMultMatrixd(frustum.data());
                     }));
}

TEST_F(CameraTest, ASphereStraddlingTheFarPlaneIsKept)
{
    // The culling tests check the other planes through whole scenes.
    CZelViewFrustum frustum;
    camera->getViewFrustum(frustum);
    EXPECT_TRUE(frustum.testSphere(0.0, 0.0, 40.5, 1.0)); // the default far plane lies at z = 40
    EXPECT_FALSE(frustum.testSphere(0.0, 0.0, 41.5, 1.0));
}
