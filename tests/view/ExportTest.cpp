// Pictures of a frame drawn offscreen: the packed bitmap, tiled exports that
// join without seams, the image tool's calls in a private directory, and the
// program's own writer when the tool is missing or fails.
#include "CMorExporter.h"
#include "CMorFrame.h"
#include "CMorPackedBitmap.h"
#include "CTestTriangle.h"
#include "OffscreenContext.h"
#include "runCommand.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Arguments = std::vector<std::string>;

bool exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

Bytes fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t field32(const Bytes& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A scratch directory that becomes the current one for the test.
class ScratchDirectory
{
public:
    ScratchDirectory()
    {
        char name[] = "/tmp/morvex-export-test-XXXXXX";
        path = mkdtemp(name);
        char* cwd = getcwd(nullptr, 0);
        m_previous = cwd;
        std::free(cwd);
        EXPECT_EQ(chdir(path.c_str()), 0);
    }
    ~ScratchDirectory()
    {
        EXPECT_EQ(chdir(m_previous.c_str()), 0);
        std::string command = "rm -rf '" + path + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }
    std::string path;

private:
    std::string m_previous;
};

struct ToolCall {
    Arguments arguments;
    std::string directory;
};

// Records each call of the image tool and hands it to a real program: the
// tool itself, or a name that does not exist.
struct RecordingRunner {
    explicit RecordingRunner(std::string program) : m_program(std::move(program)) {}
    CMorExporter::ToolRunner runner()
    {
        return [this](const std::string& tool, const Arguments& arguments, const std::string& directory) {
            EXPECT_EQ(tool, "convert");
            calls.push_back({arguments, directory});
            return runCommand(m_program, arguments, directory);
        };
    }
    std::vector<ToolCall> calls;

private:
    std::string m_program;
};

// An RGB picture read from a PNG, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    Bytes rgb;
    const unsigned char* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// Any PNG (the tool writes palette pictures when few colours are used).
Picture readPng(const std::string& path)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    Picture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << path << ": " << image.message;
        return picture;
    }
    image.format = PNG_FORMAT_RGB;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) {
        ADD_FAILURE() << path << ": " << image.message;
        picture.rgb.clear();
        return picture;
    }
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    return picture;
}

// A frame on its own offscreen context with a gradient background and two
// triangles whose edges cross the tile borders at slants.
class ExportFixture : public ::testing::Test
{
protected:
    void start(int width, int height, bool triangles = true)
    {
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
    }

    std::unique_ptr<OffscreenContext> m_context;
    std::unique_ptr<CMorFrame> m_frame;
};

} // namespace

TEST_F(ExportFixture, PackedBitmapOfAnOddSizedViewIsCutToAMultipleOfFour)
{
    start(511, 379, false);
    m_frame->setBackgroundType(CMorFrame::BACKGROUND_SOLID);
    m_frame->setSolidColor(1.0f, 0.0f, 0.0f);
    ScratchDirectory scratch;
    CMorExporter exporter(m_frame.get(), nullptr);
    ASSERT_TRUE(exporter.writeBitmap("snap.bmp")) << exporter.getErrorMessage();
    const Bytes bytes = fileBytes("snap.bmp");
    CMorPackedBitmap odd;
    EXPECT_FALSE(odd.setPixels(bytes.data(), 6, 4)) << "rows must stay a multiple of 4 bytes";
    ASSERT_EQ(bytes.size(), 577636u);
    EXPECT_EQ(field32(bytes, 0), 40u);
    EXPECT_EQ(field32(bytes, 4), 508u);
    EXPECT_EQ(field32(bytes, 8), 379u);
    EXPECT_EQ(bytes[12] | bytes[13] << 8, 1);
    EXPECT_EQ(bytes[14] | bytes[15] << 8, 24);
    EXPECT_EQ(field32(bytes, 16), 0u);
    EXPECT_EQ(field32(bytes, 20), 508u * 3 * 379);
    for (size_t at = 24; at < 40; at += 4)
        EXPECT_EQ(field32(bytes, at), 0u);
    // Red is stored blue, green, red.
    EXPECT_EQ((Bytes{bytes[40], bytes[41], bytes[42]}), (Bytes{0, 0, 255}));
    EXPECT_EQ((Bytes{bytes.end() - 3, bytes.end()}), (Bytes{0, 0, 255}));

    CMorPackedBitmap back;
    std::string error;
    ASSERT_TRUE(back.readFile("snap.bmp", error)) << error;
    EXPECT_EQ(back.getBytes(), bytes);
    EXPECT_EQ(back.getTopDownRGB()[0], 255);

    // A file that ends early, or an ordinary BMP with its file header, is refused.
    std::ofstream("short.bmp", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 1000);
    EXPECT_FALSE(back.readFile("short.bmp", error));
    EXPECT_NE(error.find("ends before"), std::string::npos) << error;
    std::ofstream("file.bmp", std::ios::binary).write("BM", 2).write(reinterpret_cast<const char*>(bytes.data()), 100);
    EXPECT_FALSE(back.readFile("file.bmp", error));
}

TEST_F(ExportFixture, ThreeByThreeRunsTheToolInAPrivateDirectoryAndLeavesNothingBehind)
{
    start(66, 50);
    ScratchDirectory scratch;
    // The user's own files of the same names stay as they are.
    std::ofstream("snap-0-0.bmp") << "mine";
    std::ofstream("snap-1.bmp") << "mine too";
    RecordingRunner tool("convert");
    CMorExporter exporter(m_frame.get(), tool.runner());
    testing::internal::CaptureStdout();
    const bool ok = exporter.exportImage("tiled.png", 3, 3);
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ok) << exporter.getErrorMessage() << log;
    EXPECT_EQ(exporter.getWriter(), CMorExporter::WRITER_TOOL) << log;

    ASSERT_EQ(tool.calls.size(), 4u);
    const std::string output = scratch.path + "/tiled.png";
    for (int r = 0; r < 3; ++r) {
        const std::string row = std::to_string(r);
        EXPECT_EQ(tool.calls[r].arguments, (Arguments{"snap-" + row + "-0.bmp", "snap-" + row + "-1.bmp",
                                                      "snap-" + row + "-2.bmp", "+append", "snap-" + row + ".bmp"}));
        EXPECT_NE(log.find("snap-" + row + "-2.bmp\n"), std::string::npos);
    }
    // The tool writes into the private directory too; the picture is moved
    // into place only when it is whole.
    const std::string directory = tool.calls[0].directory;
    const std::string made = directory + "/export.png";
    EXPECT_EQ(tool.calls[3].arguments, (Arguments{"snap-2.bmp", "snap-1.bmp", "snap-0.bmp", "-append", made}));
    EXPECT_NE(log.find("snap-2.bmp snap-1.bmp snap-0.bmp -append \"" + made + "\"\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Exported " + output + " (192 x 150 pixels) with convert"), std::string::npos) << log;
    EXPECT_NE(directory, scratch.path);
    for (const ToolCall& call : tool.calls)
        EXPECT_EQ(call.directory, directory);
    EXPECT_FALSE(exists(directory));
    EXPECT_EQ(fileBytes("snap-0-0.bmp"), (Bytes{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(fileBytes("snap-1.bmp").size(), 8u);

    const Picture picture = readPng(output);
    EXPECT_EQ(picture.width, 3 * 64);
    EXPECT_EQ(picture.height, 3 * 50);
}

TEST_F(ExportFixture, TilesJoinWithoutSeamsAndBothWritersAgree)
{
    // 66 x 50: tiles are read 64 wide, and 50 rows do not divide by 3.
    start(66, 50);
    ScratchDirectory scratch;
    RecordingRunner tool("convert");
    CMorExporter withTool(m_frame.get(), tool.runner());
    ASSERT_TRUE(withTool.exportImage("tool.png", 3, 3)) << withTool.getErrorMessage();
    RecordingRunner missing("morvex-no-such-tool");
    CMorExporter withoutTool(m_frame.get(), missing.runner());
    testing::internal::CaptureStdout();
    const bool ok = withoutTool.exportImage("own.png", 3, 3);
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ok) << withoutTool.getErrorMessage();
    EXPECT_EQ(withoutTool.getWriter(), CMorExporter::WRITER_OWN);
    EXPECT_EQ(missing.calls.size(), 1u) << "the first failure ends the tool's part";
    EXPECT_NE(log.find("runCommand(): cannot start morvex-no-such-tool"), std::string::npos) << log;
    EXPECT_NE(log.find("with the program's own PNG writer"), std::string::npos) << log;
    EXPECT_FALSE(exists(missing.calls[0].directory));

    const Picture tool1 = readPng("tool.png");
    const Picture own = readPng("own.png");
    ASSERT_EQ(own.width, 192);
    ASSERT_EQ(own.height, 150);
    EXPECT_EQ(tool1.rgb, own.rgb);

    // The same camera drawing the whole picture at once.
    start(192, 150);
    m_frame->drawFrame();
    const Bytes reference = m_context->readPixels();
    int differing = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 192; ++x) {
            const unsigned char* p = own.at(x, y);
            const unsigned char* q = &reference[(static_cast<size_t>(149 - y) * 192 + x) * 4];
            if (std::abs(p[0] - q[0]) > 2 || std::abs(p[1] - q[1]) > 2 || std::abs(p[2] - q[2]) > 2)
                ++differing;
        }
    // A missing or doubled column or row would shift everything behind it.
    EXPECT_LT(differing, 40) << "of " << 192 * 150;
}

TEST_F(ExportFixture, GradientStaysMonotoneAcrossTileBorders)
{
    start(66, 50, false);
    ScratchDirectory scratch;
    CMorExporter exporter(m_frame.get(), nullptr);
    ASSERT_TRUE(exporter.exportImage("gradient.png", 3, 3)) << exporter.getErrorMessage();
    EXPECT_EQ(exporter.getWriter(), CMorExporter::WRITER_OWN);
    const Picture picture = readPng("gradient.png");
    ASSERT_EQ(picture.height, 150);
    for (int x : {0, 63, 64, 100, 191}) {
        EXPECT_LE(picture.at(x, 0)[0], 128) << "light blue at the top";
        EXPECT_GE(picture.at(x, 149)[0], 253) << "white at the bottom";
        for (int y = 1; y < 150; ++y)
            ASSERT_GE(picture.at(x, y)[0], picture.at(x, y - 1)[0]) << "column " << x << " row " << y;
    }
    // The steps across the borders are no larger than inside the tiles.
    const int across = picture.at(10, 50)[0] - picture.at(10, 49)[0];
    EXPECT_LE(across, 2);
    for (int y = 0; y < 150; ++y)
        EXPECT_EQ(picture.at(0, y)[0], picture.at(191, y)[0]);
}

TEST_F(ExportFixture, SingleImageGoesThroughOneTemporaryBitmap)
{
    start(66, 50);
    ScratchDirectory scratch;
    std::ofstream("mortemp.bmp") << "mine";
    RecordingRunner tool("convert");
    CMorExporter exporter(m_frame.get(), tool.runner());
    ASSERT_TRUE(exporter.exportImage("single.png", 1, 1)) << exporter.getErrorMessage();
    ASSERT_EQ(tool.calls.size(), 1u);
    EXPECT_EQ(tool.calls[0].arguments, (Arguments{"mortemp.bmp", tool.calls[0].directory + "/export.png"}));
    EXPECT_FALSE(exists(tool.calls[0].directory));
    EXPECT_EQ(fileBytes("mortemp.bmp").size(), 4u);
    const Picture picture = readPng("single.png");
    EXPECT_EQ(picture.width, 64);
    EXPECT_EQ(picture.height, 50);

    // One row of three tiles is a tiled export, not a single picture.
    ASSERT_TRUE(exporter.exportImage("wide.png", 1, 3)) << exporter.getErrorMessage();
    EXPECT_EQ(readPng("wide.png").width, 192);
}

TEST_F(ExportFixture, PicturesMoveIntoPlaceAcrossFileSystems)
{
    struct stat shm, scratchInfo;
    ScratchDirectory scratch;
    if (stat("/dev/shm", &shm) != 0 || stat(scratch.path.c_str(), &scratchInfo) != 0 ||
        shm.st_dev == scratchInfo.st_dev)
        GTEST_SKIP() << "no second file system for temporary files";
    start(66, 50);
    const char* previous = std::getenv("TMPDIR");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("TMPDIR", "/dev/shm", 1);
    RecordingRunner tool("convert");
    CMorExporter exporter(m_frame.get(), tool.runner());
    const bool ok = exporter.exportImage("moved.png", 2, 2);
    if (previous != nullptr)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
    ASSERT_TRUE(ok) << exporter.getErrorMessage();
    EXPECT_EQ(exporter.getWriter(), CMorExporter::WRITER_TOOL);
    EXPECT_EQ(tool.calls[0].directory.rfind("/dev/shm/", 0), 0u);
    EXPECT_EQ(readPng("moved.png").width, 128);
    EXPECT_FALSE(exists(tool.calls[0].directory));
}

TEST_F(ExportFixture, AwkwardFileNamesReachTheToolLiterally)
{
    start(66, 50);
    ScratchDirectory scratch;
    // Blanks, quotes, $, ;, backticks, and brackets the tool would read as a frame number.
    const std::string name = "a \"b\" $HOME; `touch x` c[1].png";
    RecordingRunner tool("convert");
    CMorExporter exporter(m_frame.get(), tool.runner());
    ASSERT_TRUE(exporter.exportImage(name, 2, 2)) << exporter.getErrorMessage();
    EXPECT_EQ(exporter.getWriter(), CMorExporter::WRITER_TOOL);
    EXPECT_EQ(readPng(name).width, 128);
    EXPECT_FALSE(exists("x"));
}

TEST_F(ExportFixture, FailureOfBothWritersIsReported)
{
    start(66, 50);
    RecordingRunner tool("convert");
    CMorExporter exporter(m_frame.get(), tool.runner());
    testing::internal::CaptureStdout();
    const bool ok = exporter.exportImage("/nonexistent-morvex-dir/out.png", 2, 2);
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(ok);
    EXPECT_EQ(exporter.getWriter(), CMorExporter::WRITER_NONE);
    const std::string& message = exporter.getErrorMessage();
    EXPECT_NE(message.find("/nonexistent-morvex-dir/out.png"), std::string::npos) << message;
    EXPECT_NE(message.find("The image tool: convert made the picture, but it could not be put in place: Cannot write"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("The program's own writer: Cannot create"), std::string::npos) << message;
    ASSERT_FALSE(tool.calls.empty());
    EXPECT_FALSE(exists(tool.calls[0].directory));

    EXPECT_FALSE(exporter.exportImage("x.png", 0, 2));
    EXPECT_FALSE(exporter.getErrorMessage().empty());
}

TEST_F(ExportFixture, PicturesTheToolRefusesAreWrittenByTheProgramWithoutLeftovers)
{
    ScratchDirectory scratch;
    // 8 x 2100 pixels across: wider than the tool's policy allows. Failing,
    // it writes its inputs one by one over the tiles, which are drawn again.
    start(2100, 60, false);
    RecordingRunner tool("convert");
    CMorExporter exporter(m_frame.get(), tool.runner());
    testing::internal::CaptureStdout();
    bool ok = exporter.exportImage("wide.png", 8, 8);
    std::string log = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ok) << exporter.getErrorMessage() << log;
    EXPECT_EQ(exporter.getWriter(), CMorExporter::WRITER_OWN) << log;
    EXPECT_NE(log.find("drawing it again"), std::string::npos) << log;
    CMorExporter own(m_frame.get(), nullptr);
    ASSERT_TRUE(own.exportImage("reference.png", 8, 8)) << own.getErrorMessage();
    const Picture wide = readPng("wide.png");
    EXPECT_EQ(wide.width, 16800);
    EXPECT_EQ(wide.height, 480);
    EXPECT_EQ(wide.rgb, readPng("reference.png").rgb);

    // 8 x 2100 pixels high: the rows join, the stacking fails, and the parts
    // the tool writes instead stay in the private directory, away from the
    // user's files of the same names.
    start(60, 2100, false);
    std::ofstream("tall.png") << "old";
    std::ofstream("tall-3.png") << "mine";
    RecordingRunner tall("convert");
    CMorExporter stacked(m_frame.get(), tall.runner());
    testing::internal::CaptureStdout();
    ok = stacked.exportImage("tall.png", 8, 8);
    log = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ok) << stacked.getErrorMessage() << log;
    EXPECT_EQ(stacked.getWriter(), CMorExporter::WRITER_OWN) << log;
    EXPECT_EQ(tall.calls.size(), 9u);
    EXPECT_EQ(readPng("tall.png").height, 16800);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(exists("tall-" + std::to_string(i) + ".png"), i == 3) << i;
    EXPECT_EQ(fileBytes("tall-3.png").size(), 4u);
    EXPECT_FALSE(exists(tall.calls[0].directory));
}

