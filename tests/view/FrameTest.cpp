// The frame shared by the window and the headless renderer: opening diagrams,
// the legend overlay and its texture, and map coordinates drawn without
// single-precision jumps.
#include "CMorFrame.h"
#include "CTestDiagramDir.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

class FrameTest : public ::testing::Test
{
protected:
    void start(int width, int height)
    {
        m_context = std::make_unique<OffscreenContext>(width, height);
        ASSERT_TRUE(m_context->isValid()) << m_context->getRenderer();
        testing::internal::CaptureStdout();
        m_frame.initializeFrame(width, height);
        m_frame.resizeFrame(width, height);
        testing::internal::GetCapturedStdout();
    }

    bool open(const std::string& path, std::string* log = nullptr)
    {
        testing::internal::CaptureStdout();
        const bool opened = m_frame.open(path);
        const std::string out = testing::internal::GetCapturedStdout();
        if (log)
            *log = out;
        return opened;
    }

    bool isRed(int x, int y) const
    {
        const std::vector<unsigned char> p = m_context->readPixel(x, y);
        return p[0] > 150 && p[1] < 80 && p[2] < 80;
    }

    std::unique_ptr<OffscreenContext> m_context;
    CMorFrame m_frame;
    CTestDiagramDir m_dir;
};

std::string fence(double x)
{
    char text[512];
    std::snprintf(text, sizeof text,
                  "#MORVEX1\n1\n2\n%.17g 0 0\n%.17g 0 0\nred.png\n-\n0\n"
                  "6543211.07 -0.5 50\n6543211.07 -0.5 0\n45 1 100\n",
                  x, x + 1.0);
    return text;
}

} // namespace

TEST_F(FrameTest, OpensTheExampleWithItsCameraAndLegend)
{
    start(320, 240);
    std::string log;
    const std::string example = std::string(MORVEX_SOURCE_DIR) + "/data/examples/example.fnc";
    ASSERT_TRUE(open(example, &log)) << m_frame.getErrorMessage();
    EXPECT_EQ(log.rfind("Loading file " + example + "\nAbsolute filename " + example + "\n", 0), 0u) << log;
    EXPECT_NE(log.find("Positioning using values from file.\n"), std::string::npos);
    EXPECT_NE(log.find("legendImage size = 512, 512\n"), std::string::npos);
    EXPECT_EQ(m_frame.getFileName(), example);
    ASSERT_NE(m_frame.getDiagram(), nullptr);
    EXPECT_EQ(m_frame.getDiagram()->getFenceCount(), 9);
    m_frame.drawFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FrameTest, LegendTextureAndCornerPlacement)
{
    start(200, 150);
    m_dir.writePng("white.png", 8, 8, 255, 255, 255);
    m_dir.writePng("legend.png", 300, 100, 0, 0, 255);
    const std::string path = m_dir.write("d.fnc", "#MORVEX1\n1\n2\n0 0 0\n10 0 0\nwhite.png\n-\n0\n"
                                                  "0 0 0\n0 0 0\n0 0 0\nlegend.png\n10 20\n2 0\n0.5\n");
    std::string log;
    ASSERT_TRUE(open(path, &log)) << m_frame.getErrorMessage();
    EXPECT_NE(log.find("legendImage size = 512, 128\n"), std::string::npos) << log;
    m_frame.getDiagram()->setShowBoundingBox(false);
    m_frame.getDiagram()->setShowAxes(false);
    m_frame.drawFrame();

    // 100 x 33 pixels, its right edge 10 from the right, its bottom 20 above the bottom.
    auto blue = [&](int x, int y) {
        const std::vector<unsigned char> p = m_context->readPixel(x, y);
        return p[2] > 200 && p[0] < 60;
    };
    EXPECT_TRUE(blue(188, 22));
    EXPECT_TRUE(blue(92, 51));
    EXPECT_FALSE(blue(191, 22));
    EXPECT_FALSE(blue(188, 18));
    EXPECT_FALSE(blue(88, 30));
    EXPECT_FALSE(blue(120, 55));
}

TEST_F(FrameTest, AFailedOpenLeavesAnEmptySceneAndNothingToSave)
{
    start(64, 64);
    m_dir.writePng("red.png", 8, 8, 200, 0, 0);
    const std::string good = m_dir.write("good.fnc", fence(0.0));
    ASSERT_TRUE(open(good));
    EXPECT_EQ(m_frame.getScene()->getComposite()->getSize(), 1);

    std::string log;
    EXPECT_FALSE(open(m_dir.file("missing.fnc"), &log));
    EXPECT_EQ(m_frame.getErrorMessage(), "Cannot open " + m_dir.file("missing.fnc") + ": No such file or directory.");
    EXPECT_NE(log.find("Absolute filename " + m_dir.file("missing.fnc")), std::string::npos);
    EXPECT_EQ(m_frame.getDiagram(), nullptr);
    EXPECT_EQ(m_frame.getScene()->getComposite()->getSize(), 0);
    EXPECT_EQ(m_frame.getFileName(), good);

    std::ifstream before(good);
    std::stringstream text;
    text << before.rdbuf();
    EXPECT_TRUE(m_frame.saveSettings());
    std::ifstream after(good);
    std::stringstream again;
    again << after.rdbuf();
    EXPECT_EQ(again.str(), text.str());
    m_frame.resetView();

    ASSERT_TRUE(open(good));
    EXPECT_EQ(m_frame.getScene()->getComposite()->getSize(), 1);
}

TEST_F(FrameTest, MapCoordinatesMoveSmoothly)
{
    // A 1-unit fence at x = 6543210.57, 50 units in front of the camera,
    // moved in steps of 0.05: single precision would snap it to 0.5-unit steps.
    const int width = 640, height = 480;
    start(width, height);
    m_dir.writePng("red.png", 16, 16, 200, 0, 0);
    const double pixelsPerUnit = height / (2.0 * 50.0 * std::tan(22.5 * M_PI / 180.0));
    for (int step = 0; step <= 20; ++step) {
        const double x = 6543210.57 + 0.05 * step;
        ASSERT_TRUE(open(m_dir.write("f.fnc", fence(x)))) << m_frame.getErrorMessage();
        m_frame.getDiagram()->setShowBoundingBox(false);
        m_frame.getDiagram()->setShowAxes(false);
        m_frame.drawFrame();
        const double exact = width / 2.0 + (x - 6543211.07) * pixelsPerUnit;
        int left = -1;
        for (int column = 0; column < width && left < 0; ++column)
            if (isRed(column, height / 2 + 3))
                left = column;
        EXPECT_NEAR(left, exact, 1.0) << "step " << step;
    }
}
