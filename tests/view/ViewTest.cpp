// The application view drawn offscreen: backgrounds, accumulation antialiasing
// and its fallback, light directions, listeners. The jitter offsets are the
// published ones; the antialiased pictures show them at work.
#include "CMorView.h"
#include "CTestTriangle.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <vector>

namespace {

const int SIZE = 64;

using Pixels = std::vector<unsigned char>;

// Counts changes; at closing, checks that the view is still whole.
struct Recorder : CMorViewCloseEvent, CMorViewChangedEvent {
    void onViewClose() override { ++closes, sawCamera = view->isClass("CMorView") && view->getCamera() != nullptr; }
    void onViewChanged() override { ++changes; }
    CMorView* view = nullptr;
    int closes = 0, changes = 0;
    bool sawCamera = false;
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

TEST_F(ViewDrawing, SolidAndGradientBackgroundsAlsoInTileMode)
{
    start();
    GLint unpack = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
    EXPECT_EQ(unpack, 1) << "rows of odd-sized images stay unpadded";
    // The whole gradient runs in the GUI test of the background; here its
    // upper half in a tile. Rows are read bottom first.
    m_view->setBackgroundType(1);
    Pixels pixels = frame();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_LIGHTING)) << "back on for the scene";

    m_view->setTileMode(true, 1, 0, 2, 2); // upper left tile of four: the upper half of the gradient
    pixels = frame();
    EXPECT_NEAR(pixel(pixels, 10, SIZE - 1)[0], 128, 1);
    EXPECT_NEAR(pixel(pixels, 10, 0)[0], 191, 2);

    m_view->setTileMode(false, 0, 0, 1, 1);
    m_view->setSolidColor(1.0f, 0.0f, 0.0f);
    m_view->setBackgroundType(0);
    EXPECT_EQ(pixel(frame(), 30, 30), (Pixels{255, 0, 0}));
}

TEST_F(ViewDrawing, AntialiasingBlendsTheEdge)
{
    start();
    addTriangle();
    m_view->setAntialias(true);
    EXPECT_GT(greys(frame()).size(), 2u);
    double jx = 1, jy = 1;
    m_view->getCamera()->getJitter(jx, jy);
    EXPECT_EQ(std::make_pair(jx, jy), std::make_pair(0.0, 0.0)) << "the camera is back without jitter after the passes";
}

TEST_F(ViewDrawing, WithoutAccumulationBufferOnePassIsDrawnAndSaidOnce)
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
    const struct {
        int direction;
        std::vector<float> position;
        int stored;
    } lights[] = {{3, {0, 1, -1, 0}, 3}, {9, {1, 1, 1, 0}, 0}};
    for (const auto& light : lights) {
        std::vector<float> p(4);
        m_view->setLightDirection(light.direction);
        m_view->getLight()->getLightPosition(p[0], p[1], p[2], p[3]);
        EXPECT_EQ(p, light.position) << light.direction;
        EXPECT_EQ(m_view->getLightDirection(), light.stored);
    }
}

TEST_F(ViewDrawing, ListenersHearMouseEventsAndTheWholeViewClosing)
{
    start();
    Recorder recorder;
    recorder.view = m_view.get();
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
