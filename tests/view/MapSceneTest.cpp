// The scene as the map shows it, drawn offscreen: seen from the south east is
// on the right and sections read from west to east (the colours of the
// fences; box, axes and labels are drawn black); a section placed by its
// elevation range and cropped stands where the file says, three times as tall
// at exaggeration 3 before an unmoved camera; format 2 settings reach the view
// and are saved back.
#include "CMorFrame.h"
#include "CTestDiagramDir.h"
#include "CZelPngWriter.h"
#include "OffscreenContext.h"
#include "ShellCommand.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

struct Rgb {
    unsigned char r, g, b;
};
const Rgb RED{200, 0, 0}, GREEN{0, 200, 0}, BLUE{0, 0, 200}, YELLOW{200, 200, 0};

bool near(const unsigned char* pixel, const Rgb& colour)
{
    return std::abs(pixel[0] - colour.r) < 40 && std::abs(pixel[1] - colour.g) < 40 && std::abs(pixel[2] - colour.b) < 40;
}

// Columns and rows (from the bottom) that a colour covers; empty when it does not show.
struct Extent {
    int left = 1 << 30, right = -1, bottom = 1 << 30, top = -1;
    bool shown() const { return right >= 0; }
};

class MapSceneTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_context = std::make_unique<OffscreenContext>(W, H);
        ASSERT_TRUE(m_context->isValid()) << m_context->getRenderer();
        testing::internal::CaptureStdout();
        m_frame.initializeFrame(W, H);
        m_frame.resizeFrame(W, H);
        testing::internal::GetCapturedStdout();
    }

    // A picture whose pixel (x, y from the top) has the colour colourAt gives.
    void writePicture(const std::string& name, int width, int height, const std::function<Rgb(int, int)>& colourAt)
    {
        std::vector<unsigned char> rgb;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Rgb c = colourAt(x, y);
                rgb.insert(rgb.end(), {c.r, c.g, c.b});
            }
        std::vector<unsigned char> png;
        std::string error;
        ASSERT_TRUE(CZelPngWriter::encode(rgb.data(), width, height, png, error)) << error;
        m_dir.write(name, std::string(png.begin(), png.end()));
    }

    bool open(const std::string& text, std::string* log = nullptr)
    {
        testing::internal::CaptureStdout();
        const bool opened = m_frame.open(m_dir.write("d.fnc", text));
        const std::string out = testing::internal::GetCapturedStdout();
        if (log)
            *log = out;
        return opened;
    }

    // Saves the settings into the open file; what the log says.
    std::string save()
    {
        testing::internal::CaptureStdout();
        EXPECT_TRUE(m_frame.saveSettings()) << m_frame.getErrorMessage();
        return testing::internal::GetCapturedStdout();
    }

    Extent extentOf(const Rgb& colour)
    {
        testing::internal::CaptureStdout();
        m_frame.drawFrame();
        testing::internal::GetCapturedStdout();
        const std::vector<unsigned char> pixels = m_context->readPixels();
        Extent e;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (near(&pixels[(static_cast<size_t>(y) * W + x) * 4], colour)) {
                    e = {std::min(e.left, x), std::max(e.right, x), std::min(e.bottom, y), std::max(e.top, y)};
                }
        return e;
    }

    static constexpr int W = 200, H = 200;
    std::unique_ptr<OffscreenContext> m_context;
    CMorFrame m_frame;
    CTestDiagramDir m_dir;
};

} // namespace

TEST_F(MapSceneTest, SeenFromTheSouthEastIsOnTheRightAndSectionsReadFromWestToEast)
{
    m_dir.writePng("red.png", 20, 10, RED.r, RED.g, RED.b);
    m_dir.writePng("yellow.png", 20, 10, YELLOW.r, YELLOW.g, YELLOW.b);
    writePicture("halves.png", 40, 10, [](int x, int) { return x < 20 ? GREEN : BLUE; });
    // A west fence, a west-to-east section in the middle and an east fence,
    // all along the same northing, seen from a camera 20 km to the south and
    // from the automatic one, which looks from the south too.
    for (const char* camera : {"0 500 -20000\n0 0 0\n45 1 100000\n", "0 0 0\n0 0 0\n45 1 100\n"}) {
        SCOPED_TRACE(camera);
        ASSERT_TRUE(open("#MORVEX1\n3\n2\n-3000 0 0\n-2000 0 0\nred.png\n-\n0\n2\n-1000 0 0\n1000 0 0\nhalves.png\n"
                         "-\n0\n2\n2000 0 0\n3000 0 0\nyellow.png\n-\n0\n" + std::string(camera)))
            << m_frame.getErrorMessage();
        CZelVec3d eye, target;
        ASSERT_TRUE(m_frame.getCameraInMapUnits(eye, target));
        EXPECT_LT(eye.z(), -1000.0);
        const Extent west = extentOf(RED), first = extentOf(GREEN), last = extentOf(BLUE), east = extentOf(YELLOW);
        ASSERT_TRUE(west.shown() && first.shown() && last.shown() && east.shown());
        EXPECT_LT(west.right, first.left);
        EXPECT_LT(first.right, last.left + 2);
        EXPECT_LT(last.right, east.left);
    }
}

TEST_F(MapSceneTest, ASectionPlacedByElevationAndCroppedStandsThreeTimesAsTallAtExaggerationThree)
{
    // Only the green rectangle of the picture is the section: the frame of red
    // around it is cropped away.
    writePicture("section.png", 40, 20, [](int x, int y) { return x >= 10 && x < 30 && y >= 5 && y < 15 ? GREEN : RED; });
    // From the south, level with the section's middle (-2750), 30000 away: a
    // pixel is 2 x 30000 tan(22.5 degrees) / 200 units high.
    const std::string camera = "5000 -2750 -30000\n5000 -2750 0\n45 100 1e+05\n";
    const std::string text = "#MORVEX2\nend\n1\n2\n0 0 0\n10000 0 0\nsection.png\nA-A'\n0\nelevation 500 -6000\n"
                             "crop 10 5 30 15\nend\n" + camera;
    ASSERT_TRUE(open(text)) << m_frame.getErrorMessage();
    const double unitsPerPixel = 2.0 * 30000.0 * std::tan(22.5 * M_PI / 180.0) / H;
    const auto row = [&](double sceneHeightAboveEye) { return H / 2.0 + sceneHeightAboveEye / unitsPerPixel; };
    const Extent plain = extentOf(GREEN);
    EXPECT_FALSE(extentOf(RED).shown());
    EXPECT_NEAR(plain.top + 1, row(500.0 + 2750.0), 1.5);
    EXPECT_NEAR(plain.bottom, row(-6000.0 + 2750.0), 1.5);
    EXPECT_NEAR(plain.right - plain.left + 1, 10000.0 / unitsPerPixel, 1.5);

    CZelVec3d eye, target;
    ASSERT_TRUE(m_frame.getCameraInMapUnits(eye, target));
    save();
    EXPECT_EQ(readWholeFile(m_frame.getFileName()), text);

    // Stretched about the bottom, -6000: the top stands at -6000 + 3 x 6500
    // and the eye at -6000 + 3 x 3250, as high above the bottom as before in map units.
    testing::internal::CaptureStdout();
    m_frame.setVerticalExaggeration(3.0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Vertical exaggeration 3.\n");
    const Extent tall = extentOf(GREEN);
    EXPECT_NEAR(tall.top + 1, row(13500.0 - 3750.0), 1.5);
    EXPECT_NEAR(tall.bottom, row(-6000.0 - 3750.0), 1.5);
    EXPECT_NEAR((tall.top - tall.bottom) / static_cast<double>(plain.top - plain.bottom), 3.0, 0.05);
    EXPECT_EQ(tall.right - tall.left, plain.right - plain.left);

    // What is read back is in map units: the camera, and the saved file but
    // for the exaggeration it names.
    CZelVec3d eye3, target3;
    ASSERT_TRUE(m_frame.getCameraInMapUnits(eye3, target3));
    EXPECT_TRUE(eye3 == eye && target3 == target);
    const std::string log = save();
    EXPECT_NE(log.find("Saved " + m_frame.getFileName() + " in format 2: it holds settings format 1 cannot.\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(readWholeFile(m_frame.getFileName()), "#MORVEX2\nvertical-exaggeration 3\n" + text.substr(9));
}

TEST_F(MapSceneTest, Format2SettingsReachTheViewAndDefaultsSaveFormat1)
{
    m_dir.writePng("red.png", 20, 10, RED.r, RED.g, RED.b);
    const std::string fence = "1\n2\n0 0 0\n100 0 0\nred.png\n-\n0\n";
    const std::string camera = "50 10 -300\n50 -10 0\n45 1 1000\n";
    const std::string text = "#MORVEX2\nbackground gradient\nupper-color 0.25 0.5 0.75\nlight-direction 3\n"
                             "antialias 4\nlegend off\nend\n" + fence + "end\n" + camera;
    ASSERT_TRUE(open(text));
    EXPECT_EQ(m_frame.getBackgroundType(), CMorFrame::BACKGROUND_GRADIENT);
    float r, g, b;
    m_frame.getUpperColor(r, g, b);
    EXPECT_EQ(CZelVec3d(r, g, b), CZelVec3d(0.25, 0.5, 0.75));
    EXPECT_EQ(m_frame.getLightDirection(), 3);
    EXPECT_TRUE(m_frame.getAntialias() && m_frame.getAntialiasLevel() == 4);
    EXPECT_FALSE(m_frame.getDiagram()->getShowLegend());
    save();
    EXPECT_EQ(readWholeFile(m_frame.getFileName()), text);

    // A format 1 file is shown with the user's defaults, here the built-in
    // ones: saving writes format 1 again, bit for bit.
    const std::string plain = "#MORVEX1\n" + fence + camera;
    ASSERT_TRUE(open(plain));
    EXPECT_EQ(m_frame.getBackgroundType(), CMorFrame::BACKGROUND_SOLID);
    EXPECT_FALSE(m_frame.getAntialias());
    EXPECT_EQ(save().find("format 2"), std::string::npos);
    EXPECT_EQ(readWholeFile(m_frame.getFileName()), plain);
}
