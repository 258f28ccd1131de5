// Pictures of a frame drawn offscreen: tiled pictures without seams, the
// packed bitmap, and exports through the image tool (in a private
// directory) or the program's own writer.
#include "CMorExporter.h"
#include "CMorFrame.h"
#include "CMorPackedBitmap.h"
#include "CMorTiledPicture.h"
#include "CTestDiagramDir.h"
#include "CTestTriangle.h"
#include "OffscreenContext.h"
#include "ShellCommand.h"
#include "runCommand.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;
using Arguments = std::vector<std::string>;

Bytes fileBytes(const std::string& path)
{
    const std::string text = readWholeFile(path);
    return Bytes(text.begin(), text.end());
}

// A scratch directory that is the current one while it lives.
struct ScratchDirectory {
    ScratchDirectory() { fs::current_path(dir.path()); }
    ~ScratchDirectory() { fs::current_path(previous); }
    CTestDiagramDir dir;
    const std::string& path = dir.path();
    fs::path previous = fs::current_path();
};

struct ToolCall {
    Arguments arguments;
    std::string directory;
};

// Records each call of the image tool and runs program instead (the tool, or a name that does not exist).
struct RecordingRunner {
    explicit RecordingRunner(std::string program = "convert") : program(std::move(program)) {}
    CMorExporter::ToolRunner runner()
    {
        return [this](const std::string& tool, const Arguments& arguments, const std::string& directory) {
            EXPECT_EQ(tool, "convert");
            calls.push_back({arguments, directory});
            return runCommand(program, arguments, directory);
        };
    }
    std::string program;
    std::vector<ToolCall> calls;
};

// An RGB picture read from any PNG, top row first.
struct Picture {
    int width = 0, height = 0;
    Bytes rgb;
    const unsigned char* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

Picture readPng(const std::string& path)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    Picture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return ADD_FAILURE() << path << ": " << image.message, picture;
    image.format = PNG_FORMAT_RGB;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr))
        return ADD_FAILURE() << path << ": " << image.message, Picture();
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    return picture;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// In a scratch directory: a frame on its own offscreen context with a gradient background and two
// triangles whose edges cross the tile borders at slants, and an exporter through the recorded tool.
class ExportFixture : public ::testing::Test
{
protected:
    void start(int width, int height, bool triangles = true)
    {
        m_exporter.reset();
        m_frame.reset();
        m_context = std::make_unique<OffscreenContext>(width, height);
        ASSERT_TRUE(m_context->isValid()) << m_context->getRenderer();
        m_frame = std::make_unique<CMorFrame>();
        m_frame->initializeFrame(width, height);
        m_frame->resizeFrame(width, height);
        m_frame->setBackgroundType(CMorFrame::BACKGROUND_GRADIENT);
        m_frame->getCamera()->setPosition(0.0, 0.0, 6.0);
        if (triangles) {
            const double a[3] = {-3.0, -2.0, 0.0}, b[3] = {3.0, -1.7, 0.0}, c[3] = {-2.6, 2.2, 0.0};
            m_frame->getScene()->addChild(new CTestTriangle(a, b, c, 20, 40, 140));
            const double d[3] = {-0.3, -1.1, 0.5}, e[3] = {1.9, -0.4, 0.5}, f[3] = {0.1, 1.3, 0.5};
            m_frame->getScene()->addChild(new CTestTriangle(d, e, f, 200, 30, 30));
        }
        m_tool.calls.clear();
        m_exporter = std::make_unique<CMorExporter>(m_frame.get(), m_tool.runner());
    }

    // Exports with standard output captured into m_log.
    bool exportLogged(const std::string& name, int rows, int columns, CMorExporter* exporter = nullptr)
    {
        testing::internal::CaptureStdout();
        const bool ok = (exporter ? exporter : m_exporter.get())->exportImage(name, rows, columns);
        m_log = testing::internal::GetCapturedStdout();
        return ok;
    }

    ScratchDirectory m_scratch;
    RecordingRunner m_tool;
    std::string m_log;
    std::unique_ptr<OffscreenContext> m_context;
    std::unique_ptr<CMorFrame> m_frame;
    std::unique_ptr<CMorExporter> m_exporter;
};

// The frame streamed as tiles x tiles tiles.
Picture drawTiles(CMorFrame& frame, int tiles)
{
    CMorTiledPicture tiled(&frame, tiles, tiles);
    Picture picture{static_cast<int>(tiled.getWidth()), 0, {}};
    EXPECT_TRUE(tiled.write([&](const unsigned char* row) {
        picture.rgb.insert(picture.rgb.end(), row, row + picture.width * 3);
        return ++picture.height, true;
    }));
    EXPECT_FALSE(frame.getTileMode());
    EXPECT_FALSE(frame.getCamera()->getUseViewWindow());
    return picture;
}

// A frame with a gradient down to black and a triangle across it diagonally, streamed as tiles x tiles tiles.
Picture drawPicture(int width, int height, int tiles, bool antialias = false)
{
    OffscreenContext context(width, height);
    EXPECT_TRUE(context.isValid()) << context.getRenderer();
    CMorFrame frame;
    frame.initializeFrame(width, height);
    frame.resizeFrame(width, height);
    frame.setBackgroundType(CMorFrame::BACKGROUND_GRADIENT);
    frame.setLowerColor(0.0f, 0.0f, 0.0f);
    frame.setAntialias(antialias);
    // Odd corners: edges through pixel centres would tie, and ties round differently in a tile.
    const double a[3] = {-3.01, -2.03, 0.0}, b[3] = {3.07, -2.02, 0.0}, c[3] = {-2.93, 1.97, 0.0};
    frame.getScene()->addChild(new CTestTriangle(a, b, c, 200, 30, 30));
    frame.getCamera()->setPosition(0.0, 0.0, 6.0);
    return drawTiles(frame, tiles);
}

// Pixels with a channel more than tolerance steps off.
int countDifferences(const Picture& first, const Picture& second, int tolerance)
{
    EXPECT_EQ(first.rgb.size(), second.rgb.size());
    int count = 0;
    for (size_t i = 0; i + 2 < std::min(first.rgb.size(), second.rgb.size()); i += 3)
        count += std::abs(first.rgb[i] - second.rgb[i]) > tolerance ||
                 std::abs(first.rgb[i + 1] - second.rgb[i + 1]) > tolerance ||
                 std::abs(first.rgb[i + 2] - second.rgb[i + 2]) > tolerance;
    return count;
}

} // namespace

TEST(TiledPicture, JoinedTilesEqualOneLargeDrawingEvenWithAntialiasing)
{
    // 31 rows do not divide by 3: the gradient's slices must still meet.
    const Picture tiled = drawPicture(47, 31, 3);
    ASSERT_EQ(tiled.height, 93);
    EXPECT_EQ(countDifferences(tiled, drawPicture(141, 93, 1), 1), 0);
    EXPECT_GT(tiled.at(0, 0)[2], 240);
    EXPECT_LT(tiled.at(0, 92)[2], 10);
    // The jitter stays within a tile pixel; a sample on the edge itself may round either way.
    EXPECT_LE(countDifferences(drawPicture(40, 30, 2, true), drawPicture(80, 60, 1, true), 1), 2);
}

// Tiles widen the lines as many times as there are tiles per side (the
// renderer's tiled pictures match one large drawing, lines included); beyond
// the driver's widest line the log says so once, not once per tile.
TEST(TiledPicture, LinesBeyondTheDriversWidestAreToldOnce)
{
    CTestDiagramDir dir;
    dir.writePng("white.png", 64, 32, 255, 255, 255);
    const std::string fnc = dir.write(
        "l.fnc", "#MORVEX1\n1\n3\n1000 2000 100\n1100 2000 100\n1100 2100 100\nwhite.png\n-\n0\n0 0 0\n0 0 0\n0 0 0\n");
    OffscreenContext context(160, 120);
    ASSERT_TRUE(context.isValid()) << context.getRenderer();
    CMorFrame frame;
    frame.initializeFrame(160, 120);
    frame.resizeFrame(160, 120);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(frame.open(fnc));
    testing::internal::GetCapturedStdout();
    GLfloat range[2] = {1.0f, 1.0f};
    glGetFloatv(GL_ALIASED_LINE_WIDTH_RANGE, range);
    frame.getDiagram()->setLineWidth(static_cast<int>(range[1]) / 2 + 1);
    testing::internal::CaptureStdout();
    drawTiles(frame, 2);
    const std::string log = testing::internal::GetCapturedStdout();
    const std::string told = "more than the graphics driver draws: they are drawn " +
                             std::to_string(static_cast<int>(range[1])) + " pixels wide.";
    EXPECT_TRUE(contains(log, told)) << log;
    EXPECT_EQ(log.find(told), log.rfind(told)) << "told once, not per tile";
}

TEST_F(ExportFixture, PackedBitmapOfAFreshDrawingIsCutToAMultipleOfFour)
{
    start(511, 379, false);
    m_frame->setBackgroundType(CMorFrame::BACKGROUND_SOLID);
    m_frame->setSolidColor(1.0f, 0.0f, 0.0f);
    ASSERT_TRUE(m_exporter->writeBitmap("snap.bmp")) << m_exporter->getErrorMessage();
    const Bytes bytes = fileBytes("snap.bmp");
    EXPECT_FALSE(CMorPackedBitmap().setPixels(bytes.data(), 6, 4)) << "rows must stay a multiple of 4 bytes";
    ASSERT_EQ(bytes.size(), 577636u);
    // 508 pixels across, stored in the header after its size.
    EXPECT_EQ(bytes[4] | bytes[5] << 8, 508);

    CMorPackedBitmap back;
    std::string error;
    ASSERT_TRUE(back.readFile("snap.bmp", error)) << error;
    EXPECT_EQ(back.getBytes(), bytes);
    EXPECT_EQ(back.getTopDownRGB()[0], 255);
    // A file that ends early, or an ordinary BMP with its file header, is refused.
    std::ofstream("short.bmp", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 1000);
    EXPECT_FALSE(back.readFile("short.bmp", error));
    EXPECT_TRUE(contains(error, "ends before")) << error;
    std::ofstream("file.bmp", std::ios::binary).write("BM", 2).write(reinterpret_cast<const char*>(bytes.data()), 100);
    EXPECT_FALSE(back.readFile("file.bmp", error));
}

// Seams run end to end in the GUI test and in the tiled picture tests above.
TEST_F(ExportFixture, TilesJoinWithoutSeamsAndBothWritersAgree)
{
    start(66, 50); // tiles are read 64 wide, and 50 rows do not divide by 3
    // Blanks, quotes, $, ;, backticks, a newline, and brackets the tool would read as a frame number.
    const std::string awkward = "a \"b\" $HOME; `touch x`\nc[1].png";
    ASSERT_TRUE(m_exporter->exportImage(awkward, 3, 3)) << m_exporter->getErrorMessage();
    EXPECT_EQ(m_exporter->getWriter(), CMorExporter::WRITER_TOOL);
    EXPECT_FALSE(fs::exists("x"));
    RecordingRunner missing("morvex-no-such-tool");
    CMorExporter withoutTool(m_frame.get(), missing.runner());
    ASSERT_TRUE(exportLogged("own.png", 3, 3, &withoutTool)) << withoutTool.getErrorMessage();
    EXPECT_EQ(withoutTool.getWriter(), CMorExporter::WRITER_OWN);
    EXPECT_EQ(missing.calls.size(), 1u) << "the first failure ends the tool's part";
    EXPECT_TRUE(contains(m_log, "runCommand(): cannot start morvex-no-such-tool")) << m_log;
    EXPECT_TRUE(contains(m_log, "with the program's own PNG writer")) << m_log;
    EXPECT_FALSE(fs::exists(missing.calls[0].directory));
    const Picture own = readPng("own.png");
    ASSERT_EQ(own.width, 192);
    ASSERT_EQ(own.height, 150);
    EXPECT_EQ(readPng(awkward).rgb, own.rgb);
}

// The tool's calls for these and for a 3 x 3 export run end to end in the GUI test.
TEST_F(ExportFixture, SingleImageGoesThroughALinkAndOneRowIsTiled)
{
    start(66, 50);
    // The tool's picture goes to the file the link leads to, which keeps its
    // permissions; nothing else stays behind.
    std::ofstream("target.png") << "old";
    chmod("target.png", 0640);
    fs::create_symlink("target.png", "link.png");
    ASSERT_TRUE(m_exporter->exportImage("link.png", 1, 1)) << m_exporter->getErrorMessage();
    EXPECT_EQ(m_exporter->getWriter(), CMorExporter::WRITER_TOOL);
    EXPECT_TRUE(fs::is_symlink("link.png"));
    EXPECT_EQ(readPng("target.png").width, 64);
    EXPECT_EQ(fs::status("target.png").permissions(), fs::perms(0640));
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 2);
    ASSERT_TRUE(m_exporter->exportImage("wide.png", 1, 3)) << m_exporter->getErrorMessage();
    EXPECT_EQ(readPng("wide.png").width, 192);
}

TEST_F(ExportFixture, PicturesMoveIntoPlaceAcrossFileSystems)
{
    struct stat shm, scratch;
    if (stat("/dev/shm", &shm) != 0 || stat(".", &scratch) != 0 || shm.st_dev == scratch.st_dev)
        GTEST_SKIP() << "no second file system for temporary files";
    start(66, 50);
    const char* previous = std::getenv("TMPDIR");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("TMPDIR", "/dev/shm", 1);
    const bool ok = m_exporter->exportImage("moved.png", 2, 2);
    previous != nullptr ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
    ASSERT_TRUE(ok) << m_exporter->getErrorMessage();
    EXPECT_EQ(m_exporter->getWriter(), CMorExporter::WRITER_TOOL);
    EXPECT_EQ(m_tool.calls[0].directory.rfind("/dev/shm/", 0), 0u);
    EXPECT_EQ(readPng("moved.png").width, 128);
    EXPECT_FALSE(fs::exists(m_tool.calls[0].directory));
}

TEST_F(ExportFixture, FailureOfBothWritersIsReported)
{
    start(66, 50);
    // Refused before any tile is drawn.
    EXPECT_FALSE(exportLogged("/nonexistent-morvex-dir/out.png", 2, 2));
    EXPECT_EQ(m_exporter->getWriter(), CMorExporter::WRITER_NONE);
    EXPECT_EQ(m_exporter->getErrorMessage(),
              "The picture could not be exported: Cannot write /nonexistent-morvex-dir/out.png: no such folder.");
    EXPECT_TRUE(m_tool.calls.empty());
    EXPECT_FALSE(m_exporter->exportImage("x.png", 0, 2));
    EXPECT_FALSE(m_exporter->getErrorMessage().empty());
}

TEST_F(ExportFixture, PicturesTheToolRefusesAreWrittenByTheProgramWithoutLeftovers)
{
    // 8 x 2100 pixels across is more than the tool allows; failing, it wrote over the tiles, which are drawn again.
    start(2100, 60, false);
    ASSERT_TRUE(exportLogged("wide.png", 8, 8)) << m_exporter->getErrorMessage() << m_log;
    EXPECT_EQ(m_exporter->getWriter(), CMorExporter::WRITER_OWN) << m_log;
    EXPECT_TRUE(contains(m_log, "drawing it again")) << m_log;
    CMorExporter own(m_frame.get(), nullptr);
    ASSERT_TRUE(own.exportImage("reference.png", 8, 8)) << own.getErrorMessage();
    const Picture wide = readPng("wide.png");
    EXPECT_EQ(std::make_pair(wide.width, wide.height), std::make_pair(16800, 480));
    EXPECT_EQ(wide.rgb, readPng("reference.png").rgb);

    // 8 x 2100 high: the rows join, the stacking fails, and the parts the tool
    // writes instead stay in the private directory, away from the user's files.
    start(60, 2100, false);
    std::ofstream("tall.png") << "old";
    std::ofstream("tall-3.png") << "mine";
    ASSERT_TRUE(exportLogged("tall.png", 8, 8)) << m_exporter->getErrorMessage() << m_log;
    EXPECT_EQ(m_exporter->getWriter(), CMorExporter::WRITER_OWN) << m_log;
    EXPECT_EQ(m_tool.calls.size(), 9u);
    EXPECT_EQ(readPng("tall.png").height, 16800);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(fs::exists("tall-" + std::to_string(i) + ".png"), i == 3) << i;
    EXPECT_EQ(fs::file_size("tall-3.png"), 4u);
    EXPECT_FALSE(fs::exists(m_tool.calls[0].directory));
}
