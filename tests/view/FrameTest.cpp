// The frame shared by the window and the headless renderer: opening diagrams
// and failing to, the legend overlay, map coordinates drawn without
// single-precision jumps, commands that arrive while a diagram loads, and the
// point under a pixel.
#include "CMorFrame.h"
#include "CTestDiagramDir.h"
#include "CTestTriangle.h"
#include "CZelPngWriter.h"
#include "OffscreenContext.h"
#include "ShellCommand.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>

namespace fs = std::filesystem;

namespace {

// One fence from x to x + 1 showing image, camera 50 units south of x = 6543211.07.
std::string fence(double x, const std::string& image = "red.png")
{
    char text[512];
    std::snprintf(text, sizeof text, "#MORVEX1\n1\n2\n%.17g 0 0\n%.17g 0 0\n%s\n-\n0\n6543211.07 -0.5 -50\n"
                  "6543211.07 -0.5 0\n45 1 100\n", x, x + 1.0, image.c_str());
    return text;
}

// fences fences of three points each with a legend.
std::string diagram(int fences, const std::string& camera)
{
    std::string text = "#MORVEX1\n" + std::to_string(fences) + "\n";
    for (int f = 0; f < fences; ++f) {
        const std::string y = std::to_string(f * 10);
        text += "3\n0 " + y + " 0\n50 " + y + " 5\n100 " + y + " 0\nsection.png\nF" + std::to_string(f) + "\n0\n";
    }
    return text + camera + "section.png\n10 10\n2 1\n0.3\n";
}

// Standard output that runs a callback at every line end, as the log window runs the toolkit's event loop.
class EventsAtLineEnds : public std::streambuf
{
public:
    explicit EventsAtLineEnds(std::function<void()> onLine) : m_onLine(std::move(onLine)) {}

protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    int sync() override
    {
        if (!m_inside) {
            m_inside = true;
            m_onLine();
            m_inside = false;
        }
        return 0;
    }

private:
    std::function<void()> m_onLine;
    bool m_inside = false;
};

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
        testing::internal::CaptureStderr();
        const bool opened = m_frame.open(path);
        const std::string out = testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
        if (log)
            *log = out;
        return opened;
    }

    int sceneSize() { return m_frame.getScene()->getComposite()->getSize(); }

    void drawWithoutBoxAndAxes()
    {
        m_frame.getDiagram()->setShowBoundingBox(false);
        m_frame.getDiagram()->setShowAxes(false);
        m_frame.drawFrame();
    }

    // Opening path fails with message and leaves whatever was open as it was; a good file opens and draws right after.
    void expectRefused(const std::string& path, const std::string& message)
    {
        SCOPED_TRACE(path);
        const CFenceDiagram* before = m_frame.getDiagram();
        const int scene = sceneSize();
        const std::string fileName = m_frame.getFileName();
        EXPECT_FALSE(open(path));
        EXPECT_EQ(m_frame.getErrorMessage(), message);
        EXPECT_EQ(m_frame.getDiagram(), before);
        EXPECT_EQ(sceneSize(), scene);
        EXPECT_EQ(m_frame.getFileName(), fileName);
        m_frame.drawFrame();
        ASSERT_TRUE(open(m_good)) << m_frame.getErrorMessage();
        m_frame.drawFrame();
        EXPECT_EQ(sceneSize(), 1);
    }

    std::unique_ptr<OffscreenContext> m_context;
    CMorFrame m_frame;
    CTestDiagramDir m_dir;
    std::string m_good = m_dir.write("good.fnc", fence(0.0, "good.png"));
};

} // namespace

// A 300 x 100 legend, 100 x 33 pixels at legend size 0.5: placed by its
// margins in the corner, its transparent pixels letting the view show through,
// and scaled down to fit the texture limit when it is wider.
TEST_F(FrameTest, LegendIsPlacedInItsCornerBlendedAndScaledToTheTextureLimit)
{
    start(200, 150);
    m_dir.writePng("white.png", 8, 8, 255, 255, 255);
    const auto openWithLegend = [&](const std::string& legend, std::string* log = nullptr) {
        return open(m_dir.write("d.fnc", "#MORVEX1\n1\n2\n0 0 0\n10 0 0\nwhite.png\n-\n0\n0 0 0\n0 0 0\n0 0 0\n"
                                         "legend.png\n" + legend), log);
    };
    const auto blue = [&](int x, int y) {
        const std::vector<unsigned char> pixel = m_context->readPixel(x, y);
        return pixel[2] > 200 && pixel[0] < 60;
    };
    m_dir.writePng("legend.png", 300, 100, 0, 0, 255);
    std::string log;
    ASSERT_TRUE(openWithLegend("10 20\n2 0\n0.5\n", &log)) << m_frame.getErrorMessage();
    EXPECT_NE(log.find("legendImage size = 512, 128\n"), std::string::npos) << log;
    drawWithoutBoxAndAxes();
    // Its right edge 10 from the right, its bottom 20 above the bottom.
    const struct {
        int x, y;
        bool inside;
    } probes[] = {{188, 22, true},  {92, 51, true},  {191, 22, false},
                  {188, 18, false}, {88, 30, false}, {120, 55, false}};
    for (const auto& p : probes)
        EXPECT_EQ(blue(p.x, p.y), p.inside) << p.x << "," << p.y;

    // Its left half transparent (alpha 127), its right half opaque (alpha 128), dark.
    for (const int channels : {4, 2}) {
        SCOPED_TRACE(channels);
        CZelPointer<CZelImage> legend = new CZelImage();
        legend->setChannels(channels);
        legend->setSize(300, 100);
        for (int i = 0; i < 300 * 100; ++i) {
            unsigned char* p = legend->getPixels() + i * channels;
            std::fill(p, p + channels - 1, 20);
            p[channels - 1] = i % 300 < 150 ? 127 : 128;
        }
        std::string error;
        ASSERT_TRUE(CZelPngWriter::write(m_dir.file("legend.png"), legend, error)) << error;
        ASSERT_TRUE(openWithLegend("10 20\n2 0\n0.5\n")) << m_frame.getErrorMessage();
        m_frame.setSolidColor(0.0f, 0.6f, 0.0f);
        drawWithoutBoxAndAxes();
        EXPECT_EQ(m_context->readPixel(110, 35), (std::vector<unsigned char>{0, 153, 0, 255}));
        EXPECT_EQ(m_context->readPixel(180, 35), (std::vector<unsigned char>{20, 20, 20, 255}));
    }

    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    ASSERT_LT(limit, 16400);
    m_dir.writePng("legend.png", 16400, 328, 0, 0, 255);
    ASSERT_TRUE(openWithLegend("0 0\n2 0\n1\n", &log)) << m_frame.getErrorMessage();
    EXPECT_NE(log.find("Legend image 16400 x 328 is larger than the graphics card's texture limit; shown scaled to "),
              std::string::npos) << log;
    drawWithoutBoxAndAxes();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(blue(100, 1)) << "the whole view width, 4 pixels high, at the bottom";
}

TEST_F(FrameTest, AFailedOpenKeepsTheOpenDiagramWithItsCameraAndLegend)
{
    start(64, 64);
    m_dir.writePng("red.png", 8, 8, 200, 0, 0);
    m_dir.writePng("legend.png", 30, 10, 0, 0, 255);
    const std::string good = m_dir.write("red.fnc", fence(6543210.57) + "legend.png\n2 2\n0 0\n0.5\n");
    ASSERT_TRUE(open(good));
    // The first frame hands the textures to GL; from the second on every frame is the same.
    m_frame.drawFrame();
    m_frame.drawFrame();
    const std::vector<unsigned char> picture = m_context->readPixels();
    ASSERT_LT(std::count(picture.begin(), picture.end(), 255), static_cast<long>(picture.size())) << "blank";
    const CFenceDiagram* opened = m_frame.getDiagram();
    const CZelTexture* legend = m_frame.getLegendTexture();
    CZelCamera* camera = m_frame.getCamera();
    const CZelVec3d position = camera->getPosition(), target = camera->getTarget(), origin = camera->getRenderOrigin();

    // The corpus test checks every failure's message; these fail elsewhere on the map, one at a missing
    // picture, one after its first fence was built: its camera and origin would differ.
    m_dir.write("damaged.png", "not a picture");
    m_dir.writePng("section.png", 8, 8, 0, 200, 0);
    std::string built = diagram(2, "0 0 0\n0 0 0\n0 0 0\n");
    built.replace(built.rfind("section.png\nF1"), 11, "damaged.png");
    const std::string lost = m_dir.write("lost.fnc", fence(5000.0, "lost.png"));
    for (const std::string& path : {lost, m_dir.write("built.fnc", built)}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(open(path));
        EXPECT_EQ(m_frame.getDiagram(), opened);
        EXPECT_EQ(m_frame.getLegendTexture(), legend);
        EXPECT_EQ(m_frame.getFileName(), good);
        EXPECT_EQ(camera->getPosition(), position);
        EXPECT_EQ(camera->getTarget(), target);
        EXPECT_EQ(camera->getRenderOrigin(), origin);
        m_frame.drawFrame();
        EXPECT_TRUE(m_context->readPixels() == picture);
    }
}

TEST_F(FrameTest, EveryFileOfTheBadInputCorpusFailsWithItsMessage)
{
    start(64, 64);
    const std::string corpus = std::string(std::getenv("MORVEX_TEST_DATA")) + "/bad";
    fs::copy(corpus, m_dir.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    // expected.txt: "name<TAB>message" a line; {dir} stands for the folder the files were opened from,
    // "\\n" for a line end.
    std::map<std::string, std::string> expected;
    std::ifstream in(corpus + "/expected.txt");
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#' && line.find('\t') != std::string::npos)
            expected[line.substr(0, line.find('\t'))] = line.substr(line.find('\t') + 1);
    const auto isImage = [](const fs::path& name) {
        return name.extension() == ".png" || name.extension() == ".jpg" || name.extension() == ".bmp" ||
               name.extension() == ".tif";
    };
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
        const std::string name = entry.path().filename().string();
        const bool listed = entry.path().extension() == ".fnc" || (isImage(name) && name != "good.png");
        EXPECT_TRUE(!listed || expected.count(name)) << name << " has no expected message";
    }
    int images = 0;
    for (auto [name, message] : expected) {
        for (size_t at = message.find("{dir}"); at != std::string::npos; at = message.find("{dir}", at + m_dir.path().size()))
            message.replace(at, 5, m_dir.path());
        for (size_t at = message.find("\\n"); at != std::string::npos; at = message.find("\\n", at + 1))
            message.replace(at, 2, "\n");
        // Images are opened through a one-fence description beside them.
        images += isImage(name);
        expectRefused(isImage(name) ? m_dir.write("open-" + name + ".fnc", fence(0.0, name)) : m_dir.file(name),
                      message);
    }
    EXPECT_GE(expected.size(), 30u);
    EXPECT_GE(images, 10);
}

TEST_F(FrameTest, NamesThatAreNotFilesAreRefusedWithoutBlocking)
{
    start(64, 64);
    m_dir.writePng("good.png", 8, 8, 0, 200, 0);
    const std::string fifo = m_dir.file("fifo.fnc");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    expectRefused(fifo, "Cannot open " + fifo + ": it is not a file.");
    expectRefused(m_dir.path(), "Cannot open " + m_dir.path() + ": it is not a file.");
    expectRefused(m_dir.file("none.fnc"), "Cannot open " + m_dir.file("none.fnc") + ": No such file or directory.");
    expectRefused(m_dir.file("good.png/x.fnc"), "Cannot open " + m_dir.file("good.png/x.fnc") + ": Not a directory.");
    ASSERT_EQ(mkfifo(m_dir.file("pipe.png").c_str(), 0600), 0);
    expectRefused(m_dir.write("pipe.fnc", fence(0.0, "pipe.png")), "File " + m_dir.file("pipe.png") + " not found.");
}

TEST_F(FrameTest, MapCoordinatesMoveSmoothly)
{
    // A 1-unit fence at x = 6543210.57 moved in 0.05 steps; single precision would snap it to 0.5-unit steps.
    const int width = 640, height = 480;
    start(width, height);
    m_dir.writePng("red.png", 16, 16, 200, 0, 0);
    const double pixelsPerUnit = height / (2.0 * 50.0 * std::tan(22.5 * M_PI / 180.0));
    for (int step = 0; step <= 20; ++step) {
        const double x = 6543210.57 + 0.05 * step;
        ASSERT_TRUE(open(m_dir.write("f.fnc", fence(x)))) << m_frame.getErrorMessage();
        drawWithoutBoxAndAxes();
        int left = -1;
        for (int column = 0; column < width && left < 0; ++column) {
            const std::vector<unsigned char> p = m_context->readPixel(column, height / 2 + 3);
            if (p[0] > 150 && p[1] < 80 && p[2] < 80)
                left = column;
        }
        EXPECT_NEAR(left, width / 2.0 + (x - 6543211.07) * pixelsPerUnit, 1.0) << "step " << step;
    }
}

TEST_F(FrameTest, CommandsWhileADiagramLoadsAreRefusedAndTheFileIsKept)
{
    // The log lets the toolkit handle events inside every line written, so commands reach the frame mid-open.
    start(64, 64);
    m_dir.writePng("section.png", 40, 20, 30, 90, 160);
    const std::string first = m_dir.write("first.fnc", diagram(1, "0 0 0\n0 0 0\n45 1 1000\n"));
    const std::string second = m_dir.write("second.fnc", diagram(12, "10 20 300\n50 0 50\n45 1 1000\n"));
    const std::string firstText = readWholeFile(first);
    int duringLoad = 0;
    std::string openMessage, saveMessage;
    EventsAtLineEnds events([&] {
        if (!m_frame.isLoading())
            return;
        ++duringLoad;
        EXPECT_EQ(m_frame.getDiagram(), nullptr) << "dialogs must not reach a half-built diagram";
        EXPECT_FALSE(m_frame.open(first));
        openMessage = m_frame.getErrorMessage();
        EXPECT_FALSE(m_frame.saveSettings());
        saveMessage = m_frame.getErrorMessage();
        m_frame.resetView();
        m_frame.drawFrame();
    });
    std::streambuf* original = std::cout.rdbuf(&events);
    const bool firstOpened = m_frame.open(first);
    const bool secondOpened = m_frame.open(second);
    m_frame.drawFrame();
    std::cout.rdbuf(original);

    ASSERT_TRUE(firstOpened);
    ASSERT_TRUE(secondOpened) << m_frame.getErrorMessage();
    EXPECT_GT(duringLoad, 12);
    EXPECT_EQ(openMessage, "Cannot open " + first + " while another diagram is loading.");
    EXPECT_EQ(saveMessage, "Cannot save the settings while a diagram is loading.");
    EXPECT_FALSE(m_frame.isLoading());
    EXPECT_EQ(m_frame.getFileName(), second);
    EXPECT_EQ(m_frame.getDiagram()->getFenceCount(), 12);
    EXPECT_EQ(sceneSize(), 1);
    // The stored camera, not a reset, and the first file untouched.
    CZelVec3d position, target;
    ASSERT_TRUE(m_frame.getCameraInMapUnits(position, target));
    EXPECT_EQ(position, CZelVec3d(10.0, 20.0, 300.0));
    EXPECT_EQ(readWholeFile(first), firstText);
}

// The point under a pixel, from the depth of a frame, in world units: here a
// tilted triangle drawn around an origin in the millions, as map diagrams are.
TEST_F(FrameTest, PointUnderAPixelComesFromTheDepth)
{
    const int W = 64, H = 48;
    start(W, H);
    const double origin[3] = {512000.5, 300.0, 6541000.25};
    const double a[3] = {-3.0, -2.0, -1.0}, b[3] = {3.0, -2.0, 0.5}, c[3] = {-3.0, 2.0, 0.0};
    m_frame.getScene()->addChild(new CTestTriangle(a, b, c, 20, 40, 140));
    CZelCamera* camera = m_frame.getCamera();
    camera->setRenderOrigin(origin[0], origin[1], origin[2]);
    camera->setPosition(origin[0], origin[1], origin[2] + 6.0);
    camera->setTarget(origin[0], origin[1], origin[2]);

    // The line of sight through the pixel's centre meets the triangle's plane
    // z = -1 + 0.25 (x + 3) + 0.25 (y + 2) (relative to the origin).
    const double t = std::tan(22.5 * M_PI / 180.0);
    const struct {
        int x, y;
        bool hit;
    } probes[] = {{8, 40, true}, {20, 30, true}, {30, 36, true}, {56, 8, false}, {-1, 10, false}, {W, 10, false}};
    for (const auto& p : probes) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        CZelVec3d point(-1, -1, -1);
        ASSERT_EQ(m_frame.pointAt(p.x, p.y, point), p.hit);
        if (!p.hit)
            continue;
        const double dx = ((p.x + 0.5) / W * 2 - 1) * t * W / H, dy = (1 - (p.y + 0.5) / H * 2) * t;
        // Eye (0, 0, 6) + s (dx, dy, -1) on the plane.
        const double s = (6.0 + 1.0 - 0.75 - 0.5) / (1.0 + 0.25 * dx + 0.25 * dy);
        EXPECT_NEAR(point.x() - origin[0], s * dx, 2e-3);
        EXPECT_NEAR(point.y() - origin[1], s * dy, 2e-3);
        EXPECT_NEAR(point.z() - origin[2], 6.0 - s, 2e-3);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
