// The application view drawn offscreen: start-up state, backgrounds,
// accumulation antialiasing and its fallback, light directions, listeners.
#include "CMorJitterTable.h"
#include "CMorView.h"
#include "CTestTriangle.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

namespace {

const int SIZE = 64;

using Pixels = std::vector<unsigned char>;

class CloseRecorder : public CMorViewCloseEvent, public CMorViewChangedEvent
{
public:
    explicit CloseRecorder(CMorView*& view) : m_view(view) {}
    void onViewClose() override
    {
        ++closes;
        // Still a whole view: its own data can be read.
        if (m_view != nullptr && m_view->isClass("CMorView"))
            sawCamera = m_view->getCamera() != nullptr;
    }
    void onViewChanged() override { ++changes; }
    int closes = 0;
    int changes = 0;
    bool sawCamera = false;

private:
    CMorView*& m_view;
};

class ViewDrawing : public ::testing::Test
{
protected:
    void start(int accumulationBits = 16)
    {
        m_context = std::make_unique<OffscreenContext>(SIZE, SIZE, accumulationBits);
        ASSERT_TRUE(m_context->isValid()) << m_context->getRenderer();
        m_view = std::make_unique<CMorView>(0, 0, SIZE, SIZE);
        m_view->doResize(SIZE, SIZE);
    }

    // A triangle whose long edge crosses the middle of the view diagonally.
    void addTriangle()
    {
        const double a[3] = {-3.0, -2.0, 0.0}, b[3] = {3.0, -2.0, 0.0}, c[3] = {-3.0, 2.0, 0.0};
        m_view->getScene()->addChild(new CTestTriangle(a, b, c, 0, 0, 0));
        m_view->getCamera()->setPosition(0.0, 0.0, 6.0);
    }

    Pixels frame()
    {
        m_view->doDraw();
        return m_context->readPixels();
    }

    static std::set<int> greys(const Pixels& pixels)
    {
        std::set<int> values;
        for (size_t i = 0; i < pixels.size(); i += 4)
            values.insert(pixels[i]);
        return values;
    }

    Pixels pixel(const Pixels& pixels, int x, int y) const
    {
        const size_t i = (static_cast<size_t>(y) * SIZE + x) * 4;
        return {pixels[i], pixels[i + 1], pixels[i + 2]};
    }

    std::unique_ptr<OffscreenContext> m_context;
    std::unique_ptr<CMorView> m_view;
};

} // namespace

TEST(JitterTable, PassesAndPublishedEntries)
{
    const int passes[] = {2, 3, 4, 8, 15, 24, 66};
    for (int level = 0; level < 7; ++level)
        EXPECT_EQ(CMorJitterTable::getPassCount(level), passes[level]);
    double x = 0, y = 0;
    CMorJitterTable::getOffset(0, 1, x, y);
    EXPECT_DOUBLE_EQ(x, -0.246490);
    EXPECT_DOUBLE_EQ(y, -0.249999);
    CMorJitterTable::getOffset(6, 0, x, y);
    EXPECT_DOUBLE_EQ(x, 0.266377);
    EXPECT_DOUBLE_EQ(y, -0.218171);
    CMorJitterTable::getOffset(6, 65, x, y);
    EXPECT_DOUBLE_EQ(x, 0.145087);
    EXPECT_DOUBLE_EQ(y, 0.221726);
    CMorJitterTable::getOffset(2, 4, x, y);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 0.0);
}

TEST_F(ViewDrawing, InitialisesCameraLightAndDefaults)
{
    start();
    CZelCamera* camera = m_view->getCamera();
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->getPosition(), CZelVec3d(0.0, 3.0, 5.0));
    EXPECT_EQ(camera->getTarget(), CZelVec3d(0.0, 0.0, 0.0));
    EXPECT_TRUE(camera->getUseJitter());
    double fov = 0, nearDistance = 0, farDistance = 0;
    camera->getPerspective(fov, nearDistance, farDistance);
    EXPECT_EQ(fov, 45.0);
    EXPECT_EQ(nearDistance, 0.1);
    EXPECT_EQ(farDistance, 1000.0);
    EXPECT_EQ(m_view->getScene()->getView(), camera);
    ASSERT_NE(m_view->getMouseHandler(), nullptr);
    EXPECT_TRUE(m_view->getMouseHandler()->isActive());
    EXPECT_EQ(m_view->getBackgroundType(), 0);
    EXPECT_FALSE(m_view->getAntialias());
    EXPECT_EQ(m_view->getAntialiasLevel(), 2);
    float r = 0, g = 0, b = 0;
    m_view->getUpperColor(r, g, b);
    EXPECT_EQ(r, 0.5f);
    EXPECT_EQ(b, 1.0f);
    GLint unpack = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
    EXPECT_EQ(unpack, 1);
}

TEST_F(ViewDrawing, SolidAndGradientBackgrounds)
{
    start();
    Pixels pixels = frame();
    EXPECT_EQ(pixel(pixels, 5, SIZE - 1), (Pixels{255, 255, 255}));
    EXPECT_EQ(pixel(pixels, 5, 0), (Pixels{255, 255, 255}));

    m_view->setBackgroundType(1);
    pixels = frame();
    // Rows are read bottom first: the top row is the last one.
    const Pixels top = pixel(pixels, 40, SIZE - 1);
    EXPECT_NEAR(top[0], 128, 1);
    EXPECT_NEAR(top[1], 128, 1);
    EXPECT_EQ(top[2], 255);
    const Pixels bottom = pixel(pixels, 40, 0);
    EXPECT_GE(bottom[0], 253);
    EXPECT_EQ(bottom[2], 255);
    // Depth test and lighting are back on for the scene.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    m_view->setSolidColor(1.0f, 0.0f, 0.0f);
    m_view->setBackgroundType(0);
    EXPECT_EQ(pixel(frame(), 30, 30), (Pixels{255, 0, 0}));
}

TEST_F(ViewDrawing, GradientInTileModeShowsTheTilesSlice)
{
    start();
    m_view->setBackgroundType(1);
    m_view->setTileMode(true, 1, 0, 2, 2); // upper left tile of four
    const Pixels pixels = frame();
    // The whole tile spans the upper half of the gradient.
    EXPECT_NEAR(pixel(pixels, 10, SIZE - 1)[0], 128, 1);
    EXPECT_NEAR(pixel(pixels, 10, 0)[0], 191, 2);
}

TEST_F(ViewDrawing, AntialiasingBlendsTheEdge)
{
    start();
    addTriangle();
    const std::set<int> single = greys(frame());
    EXPECT_EQ(single, (std::set<int>{0, 255}));

    m_view->setAntialias(true);
    m_view->setAntialiasLevel(2);
    const std::set<int> blended = greys(frame());
    EXPECT_GT(blended.size(), 2u);
    // The camera is back without jitter after the passes.
    double jx = 1, jy = 1;
    m_view->getCamera()->getJitter(jx, jy);
    EXPECT_EQ(jx, 0.0);
    EXPECT_EQ(jy, 0.0);
}

TEST_F(ViewDrawing, WithoutAccumulationBufferOnePassIsDrawn)
{
    start(0);
    addTriangle();
    m_view->setAntialias(true);
    EXPECT_FALSE(CMorView::hasAccumulationBuffer());
    testing::internal::CaptureStdout();
    EXPECT_EQ(greys(frame()), (std::set<int>{0, 255}));
    frame();
    const std::string said = testing::internal::GetCapturedStdout();
    const std::string line = "Antialiasing needs an accumulation buffer";
    ASSERT_NE(said.find(line), std::string::npos);
    EXPECT_EQ(said.find(line, said.find(line) + 1), std::string::npos) << "told more than once";
}

TEST_F(ViewDrawing, LightDirections)
{
    start();
    float x = 0, y = 0, z = 0, w = 1;
    m_view->setLightDirection(3);
    m_view->getLight()->getLightPosition(x, y, z, w);
    EXPECT_EQ((std::vector<float>{x, y, z, w}), (std::vector<float>{0, 1, -1, 0}));
    EXPECT_EQ(m_view->getLightDirection(), 3);
    m_view->setLightDirection(6);
    m_view->getLight()->getLightPosition(x, y, z, w);
    EXPECT_EQ((std::vector<float>{x, y, z, w}), (std::vector<float>{-1, 1, 1, 0}));
    m_view->setLightDirection(9);
    m_view->getLight()->getLightPosition(x, y, z, w);
    EXPECT_EQ((std::vector<float>{x, y, z, w}), (std::vector<float>{1, 1, 1, 0}));
    EXPECT_EQ(m_view->getLightDirection(), 0);
}

TEST_F(ViewDrawing, ListenersHearMouseEventsAndTheWholeViewClosing)
{
    start();
    CMorView* raw = m_view.get();
    CloseRecorder recorder(raw);
    m_view->setChangedListener(&recorder);
    m_view->setCloseListener(&recorder);
    m_view->doMouseDown(1, 1);
    m_view->doMouseMove(2, 2);
    m_view->doMouseUp(2, 2);
    EXPECT_EQ(recorder.changes, 3);
    m_view.reset();
    EXPECT_EQ(recorder.closes, 1);
    EXPECT_TRUE(recorder.sawCamera);
}

