// The camera on an offscreen context: projection and viewing matrices read back
// against GLU, the movement operations, the frustum planes and the handling of
// positions, targets and perspectives that have no valid orientation.
#include "CZelCamera.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

class CameraTest : public OffscreenGLTest
{
protected:
    void SetUp() override
    {
        OffscreenGLTest::SetUp();
        camera = new CZelCamera();
    }

    std::vector<double> projectionOf(CZelCamera* c)
    {
        c->initialize();
        return readMatrix(GL_PROJECTION_MATRIX);
    }

    std::vector<double> modelviewOf(CZelCamera* c)
    {
        c->initialize();
        c->render();
        return readMatrix(GL_MODELVIEW_MATRIX);
    }

    static std::vector<double> gluProjection(double fov, double aspect, double nearDistance, double farDistance)
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(fov, aspect, nearDistance, farDistance);
        std::vector<double> m = readMatrix(GL_PROJECTION_MATRIX);
        glMatrixMode(GL_MODELVIEW);
        return m;
    }

    static std::vector<double> gluView(double ex, double ey, double ez, double cx, double cy, double cz, double ux,
                                       double uy, double uz)
    {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(ex, ey, ez, cx, cy, cz, ux, uy, uz);
        return readMatrix(GL_MODELVIEW_MATRIX);
    }

    // Both sides went through GL's own matrices: equal up to rounding.
    static void expectMatrixNear(const std::vector<double>& actual, const std::vector<double>& expected)
    {
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(actual[i], expected[i], 1e-9) << "element " << i;
    }

    static bool allFinite(const std::vector<double>& m)
    {
        for (double v : m)
            if (!std::isfinite(v))
                return false;
        return true;
    }

    static void expectPosition(const CZelCamera* c, double x, double y, double z)
    {
        EXPECT_NEAR(c->getPosition().x(), x, 1e-9);
        EXPECT_NEAR(c->getPosition().y(), y, 1e-9);
        EXPECT_NEAR(c->getPosition().z(), z, 1e-9);
    }

    static void expectTarget(const CZelCamera* c, double x, double y, double z)
    {
        EXPECT_NEAR(c->getTarget().x(), x, 1e-9);
        EXPECT_NEAR(c->getTarget().y(), y, 1e-9);
        EXPECT_NEAR(c->getTarget().z(), z, 1e-9);
    }

    static double elevation(const CZelCamera* c)
    {
        const CZelVec3d v = c->getPosition() - c->getTarget();
        return std::atan2(v.y(), std::sqrt(v.x() * v.x() + v.z() * v.z()));
    }

    CZelPointer<CZelCamera> camera;
};

} // namespace

TEST_F(CameraTest, DefaultCameraMatchesGlu)
{
    camera->setViewport(0, 0, 640, 480);
    EXPECT_DOUBLE_EQ(camera->getAspect(), 640.0 / 480.0);
    expectMatrixNear(projectionOf(camera), gluProjection(45.0, 640.0 / 480.0, 1.0, 50.0));
    expectMatrixNear(modelviewOf(camera), gluView(0, 0, -10, 0, 0, 0, 0, 1, 0));

    GLint viewport[4];
    camera->initialize();
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
}

TEST_F(CameraTest, AspectWithoutHeightIsWidthMinusX)
{
    camera->setViewport(10, 0, 640, 0);
    EXPECT_DOUBLE_EQ(camera->getAspect(), 630.0);
    expectMatrixNear(projectionOf(camera), gluProjection(45.0, 630.0, 1.0, 50.0));

    // Nothing left of the width: no usable ratio, the picture stays square.
    camera->setViewport(640, 0, 640, 0);
    EXPECT_DOUBLE_EQ(camera->getAspect(), 1.0);
    EXPECT_TRUE(allFinite(projectionOf(camera)));
}

TEST_F(CameraTest, RotatePositionXStopsAtThePole)
{
    camera->setPosition(10.0 * std::cos(1.5), 10.0 * std::sin(1.5), 0.0);
    ASSERT_NEAR(elevation(camera), 1.5, 1e-12);

    camera->rotatePositionX(0.1); // 1.6 is past the pole: no move
    EXPECT_NEAR(elevation(camera), 1.5, 1e-12);
    camera->rotatePositionX(0.07);
    EXPECT_NEAR(elevation(camera), 1.57, 1e-12);
    expectTarget(camera, 0.0, 0.0, 0.0);
    EXPECT_NEAR((camera->getPosition() - camera->getTarget()).length(), 10.0, 1e-9);

    // The same below.
    camera->setPosition(10.0 * std::cos(-1.5), 10.0 * std::sin(-1.5), 0.0);
    camera->rotatePositionX(-0.1);
    EXPECT_NEAR(elevation(camera), -1.5, 1e-12);
    camera->rotatePositionX(-0.07);
    EXPECT_NEAR(elevation(camera), -1.57, 1e-12);
}

TEST_F(CameraTest, RotatePositionYTurnsAboutTheTarget)
{
    camera->setTarget(1.0, 2.0, 3.0);
    camera->setPosition(1.0 + 4.0, 2.0 + 3.0, 3.0);
    camera->rotatePositionY(M_PI / 2.0);
    expectPosition(camera, 1.0, 5.0, 7.0);
    expectTarget(camera, 1.0, 2.0, 3.0);
}

TEST_F(CameraTest, MoveDepthStopsAtTheTarget)
{
    camera->moveDepth(3.0);
    expectPosition(camera, 0.0, 0.0, -7.0);
    expectTarget(camera, 0.0, 0.0, 0.0);

    camera->moveDepth(-3.0);
    expectPosition(camera, 0.0, 0.0, -10.0);

    // Past the target: the camera stays and the target is pushed on.
    camera->moveDepth(12.0);
    expectPosition(camera, 0.0, 0.0, -10.0);
    expectTarget(camera, 0.0, 0.0, 12.0);
}

TEST_F(CameraTest, MoveSidewaysAndVerticalCarryTheTarget)
{
    camera->moveSideways(1.0);
    expectPosition(camera, 1.0, 0.0, -10.0);
    expectTarget(camera, 1.0, 0.0, 0.0);
    camera->moveVertical(2.0);
    expectPosition(camera, 1.0, 2.0, -10.0);
    expectTarget(camera, 1.0, 2.0, 0.0);
}

TEST_F(CameraTest, PositionOnTheTargetKeepsTheLastOrientation)
{
    camera->setPosition(0.0, 0.0, 0.0);
    EXPECT_EQ(camera->getForward(), CZelVec3d(0.0, 0.0, 1.0));
    EXPECT_EQ(camera->getUp(), CZelVec3d(0.0, 1.0, 0.0));
    // Still looking along the last direction, from the new position.
    expectMatrixNear(modelviewOf(camera), gluView(0, 0, 0, 0, 0, 1, 0, 1, 0));

    // The movements stay finite too.
    camera->rotatePositionX(0.3);
    camera->rotatePositionY(0.3);
    camera->moveDepth(1.0);
    camera->moveSideways(1.0);
    EXPECT_TRUE(allFinite(modelviewOf(camera)));
}

TEST_F(CameraTest, ViewStraightDownKeepsTheSideVector)
{
    camera->setPosition(0.0, 10.0, 0.0);
    EXPECT_EQ(camera->getForward(), CZelVec3d(0.0, -1.0, 0.0));
    EXPECT_EQ(camera->getSide(), CZelVec3d(1.0, 0.0, 0.0));
    EXPECT_EQ(camera->getUp(), CZelVec3d(0.0, 0.0, 1.0));
    const std::vector<double> m = modelviewOf(camera);
    EXPECT_TRUE(allFinite(m));
    expectMatrixNear(m, gluView(0, 10, 0, 0, 0, 0, 0, 0, 1));

    camera->rotatePositionY(0.5);
    camera->moveSideways(1.0);
    EXPECT_TRUE(allFinite(modelviewOf(camera)));
}

TEST_F(CameraTest, InvalidValuesAreRefused)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(camera->setPerspective(nan, 1.0, 50.0));
    EXPECT_FALSE(camera->setPerspective(45.0, 1.0, inf));
    double fov = 0.0, nearDistance = 0.0, farDistance = 0.0;
    camera->getPerspective(fov, nearDistance, farDistance);
    EXPECT_EQ(fov, 45.0);
    EXPECT_EQ(nearDistance, 1.0);
    EXPECT_EQ(farDistance, 50.0);
    EXPECT_TRUE(camera->setPerspective(30.0, 0.1, 1000.0));

    EXPECT_FALSE(camera->setPosition(nan, 0.0, 0.0));
    EXPECT_FALSE(camera->setTarget(0.0, inf, 0.0));
    EXPECT_FALSE(camera->setViewWindow(0.0, 0.0, -1.0, 1.0));
    EXPECT_FALSE(camera->setJitter(nan, 0.0));
    camera->moveDepth(nan);
    camera->rotatePositionX(inf);
    expectPosition(camera, 0.0, 0.0, -10.0);

    // Moves that would overflow the coordinates are dropped.
    camera->setPosition(0.0, 0.0, -1e308);
    camera->moveDepth(-1e308);
    expectPosition(camera, 0.0, 0.0, -1e308);

    camera->setPosition(0.0, 0.0, -10.0);
    camera->setUseJitter(true);
    EXPECT_TRUE(allFinite(projectionOf(camera)));
    EXPECT_TRUE(allFinite(modelviewOf(camera)));
}

TEST_F(CameraTest, TypedPerspectivesAreKeptAndStayDrawable)
{
    // What a user may type: stored as given, projected without NaN or GL errors.
    const double cases[][3] = {{45.0, 0.0, 50.0}, {45.0, 10.0, 5.0}, {45.0, 10.0, 10.0},
                               {180.0, 1.0, 50.0}, {1e9, 1.0, 50.0}, {0.0, 1.0, 50.0}, {45.0, -1.0, 50.0}};
    for (const auto& c : cases) {
        ASSERT_TRUE(camera->setPerspective(c[0], c[1], c[2]));
        double fov = 0.0, nearDistance = 0.0, farDistance = 0.0;
        camera->getPerspective(fov, nearDistance, farDistance);
        EXPECT_EQ(fov, c[0]);
        EXPECT_EQ(nearDistance, c[1]);
        EXPECT_EQ(farDistance, c[2]);
        for (bool jitter : {false, true}) {
            camera->setUseJitter(jitter);
            camera->setJitter(0.5, 0.25);
            EXPECT_TRUE(allFinite(projectionOf(camera))) << c[0] << " " << c[1] << " " << c[2];
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << c[0] << " " << c[1] << " " << c[2];
        }
    }
}

TEST_F(CameraTest, SelectionKeepsThePickMatrixUnderJitter)
{
    camera->setViewport(0, 0, 64, 64);
    camera->setUseJitter(true);
    camera->setJitter(0.5, 0.5);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    camera->initializeSelect(10, 20, 4, 4);
    const std::vector<double> selected = readMatrix(GL_PROJECTION_MATRIX);

    camera->initialize();
    const std::vector<double> frustum = readMatrix(GL_PROJECTION_MATRIX);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    GLint viewport[4] = {0, 0, 64, 64};
    gluPickMatrix(10, 64 - 20, 4, 4, viewport);
    glMultMatrixd(frustum.data());
    expectMatrixNear(selected, readMatrix(GL_PROJECTION_MATRIX));
    glMatrixMode(GL_MODELVIEW);
}

// The six planes agree with the clip volume GL computes from the same camera.
TEST_F(CameraTest, FrustumPlanesMatchTheClipVolume)
{
    camera->setViewport(0, 0, 640, 480);
    camera->setPosition(3.0, 4.0, -12.0);
    camera->setTarget(1.0, -1.0, 2.0);
    camera->setPerspective(50.0, 2.0, 40.0);
    const std::vector<double> p = projectionOf(camera);
    const std::vector<double> m = modelviewOf(camera);
    CZelViewFrustum frustum;
    camera->getViewFrustum(frustum);

    int checked = 0;
    for (double x = -30.0; x <= 30.0; x += 2.5)
        for (double y = -30.0; y <= 30.0; y += 2.5)
            for (double z = -20.0; z <= 40.0; z += 2.5) {
                double eye[4], clip[4];
                for (int r = 0; r < 4; ++r)
                    eye[r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r];
                for (int r = 0; r < 4; ++r)
                    clip[r] = p[r] * eye[0] + p[4 + r] * eye[1] + p[8 + r] * eye[2] + p[12 + r] * eye[3];
                const double w = clip[3];
                const double margin = std::fmax(std::fabs(clip[0]), std::fmax(std::fabs(clip[1]), std::fabs(clip[2])));
                if (std::fabs(margin - std::fabs(w)) < 1e-3 * std::fabs(w) + 1e-6)
                    continue; // on the boundary
                const bool inside = w > 0.0 && margin < w;
                EXPECT_EQ(frustum.testSphere(x, y, z, 0.0), inside) << x << " " << y << " " << z;
                ++checked;
            }
    EXPECT_GT(checked, 10000);

    // A sphere straddling the far plane (z = 40 for the default camera) is kept.
    CZelCamera plain;
    plain.getViewFrustum(frustum);
    EXPECT_TRUE(frustum.testSphere(0.0, 0.0, 0.0, 0.0));
    EXPECT_TRUE(frustum.testSphere(0.0, 0.0, 40.5, 1.0));
    EXPECT_FALSE(frustum.testSphere(0.0, 0.0, 41.5, 1.0));
    EXPECT_FALSE(frustum.testSphere(0.0, 0.0, -20.0, 1.0));
    EXPECT_FALSE(frustum.testSphere(100.0, 0.0, 10.0, 1.0));
}
