// morvex-render run as the user runs it: options and messages, the size and
// pixels of the picture it writes, tiled pictures against one large drawing.
#include "CTestDiagramDir.h"
#include "CZelImage.h"
#include "CZelPngImage.h"
#include "CZelPointer.h"
#include "ShellCommand.h"

#include <gtest/gtest.h>
#include <valgrind/valgrind.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

// limits: shell commands that set limits for the program, such as "ulimit -f 4;".
// A coverage build writes its counts as the program ends: under a limit they
// would come out truncated over the real ones, so they go to a folder of
// their own, and the complaints about them nowhere (both are read by
// coverage builds alone).
ShellResult run(const std::string& arguments, const std::string& limits = "")
{
    const std::string counts =
        limits.empty() ? "" : "export GCOV_PREFIX=\"${TMPDIR:-/tmp}/morvex-limited\" GCOV_ERROR_FILE=/dev/null; ";
    return runShell(counts + limits + "exec " MORVEX_RENDER " " + arguments);
}

// A one-fence diagram: a 64 x 32 red section along a straight line 100 long, no stored camera.
class RenderTool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir.writePng("red.png", 64, 32, 220, 20, 20);
        dir.write("one.fnc", "#MORVEX1\n1\n2\n1000 2000 100\n1100 2000 100\nred.png\nA-A'\n0\n0 0 0\n0 0 0\n0 0 0\n");
    }

    // The red fence with one whose picture is missing south of it, in front of it; legend: a legend line.
    void writeLost(const std::string& legend = "")
    {
        dir.write("lost.fnc", "#MORVEX1\n2\n2\n1000 1990 100\n1100 1990 100\nlost.png\nA\n0\n"
                              "2\n1000 2000 100\n1100 2000 100\nred.png\nB\n0\n0 0 0\n0 0 0\n0 0 0\n" + legend);
    }

    static CZelPointer<CZelImage> readPicture(const std::string& path)
    {
        CZelPointer<CZelPngImage> picture = new CZelPngImage();
        picture->setFileName(path);
        EXPECT_TRUE(picture->readImage()) << path;
        return CZelPointer<CZelImage>(picture.get());
    }

    // Channel k of pixel (x, y), origin at the top left as the picture is seen.
    static int at(CZelImage* image, int x, int y, int k)
    {
        const int row = image->getHeight() - 1 - y;
        return image->getPixels()[(static_cast<size_t>(row) * image->getWidth() + x) * image->getChannels() + k];
    }

    CTestDiagramDir dir;
    const std::string m_dir = dir.path();
};

} // namespace

TEST_F(RenderTool, HelpAndBadCommandLines)
{
    const auto help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("--memory-budget"), std::string::npos) << help.output;

    const std::string fnc = m_dir + "/one.fnc", out = fnc + " -o " + m_dir + "/a.png";
    const struct {
        std::string arguments;
        const char* message;
    } bad[] = {
        {"", "No description file given."},
        {fnc, "No output file given"},
        {out + " --size 640", "--size"},
        {out + " --size 0x10", "--size"},
        {out + " --tiles 0", "--tiles"},
        {out + " --antialias 7", "--antialias"},
        {out + " --solid-color 1,2,0", "--solid-color"},
        {out + " --camera 1,2,3,1,2,3", "the eye and the target are the same point"},
        {out + " --camera 1,2,x,4,5,6", "'x' is not a number"},
        {out + " --legend-position up,left", "--legend-position"},
        // Ranges of the settings table, as the dialogs check them.
        {out + " --text-size -5", "for --text-size: expected a number above 0 and at most 1."},
        {out + " --white-tolerance 65", "expected a whole number from 0 to 64."},
        {out + " --vertical-exaggeration 0", "for --vertical-exaggeration: expected a number above 0."},
        {out + " --axis-labels metres", "for --axis-labels: expected distance or map."},
        {out + " --texture-limit 8", "expected a whole number of pixels from 16 to 16384."},
        {out + " --camera 1,2,3,4,5,6,200,1,10", "Field of view must be above 0 and below 180 degrees."},
        {out + " --memory-budget 15", "for --memory-budget: expected MiB from 16 to 1048576."},
        {out + " --frobnicate", "Unknown option --frobnicate."},
        {out + " --no-axes=1", "takes no value"},
        {fnc + " -o", "Option -o needs a value."},
        {fnc + " " + out, "More than one description file"},
        {out + " --pick 3", "for --pick: expected a pixel PX,PY"},
        {out + " --pick -1,3", "for --pick"},
        {out + " --size 160x120 --tiles 2 --pick 319,240", "'319,240' for --pick: the picture has 320 x 240 pixels."},
        {fnc + " -o " + m_dir + "/a.GLB --pick 1,1", "a.GLB is a 3-D output."},
    };
    for (const auto& c : bad) {
        const auto result = run(c.arguments);
        EXPECT_EQ(result.status, 2) << c.arguments;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << c.arguments << "\n" << result.output;
        EXPECT_NE(result.output.find("Try 'morvex-render --help'."), std::string::npos);
    }
}

TEST_F(RenderTool, UnreadableInputsAndOutputsFailWithTheirReason)
{
    const std::string png = " -o " + m_dir + "/a.png";
    const struct {
        std::string arguments, message;
    } failures[] = {
        {m_dir + "/missing.fnc" + png, "cannot read " + m_dir + "/missing.fnc"},
        // Larger than one offscreen context: the message points to tiles.
        {m_dir + "/one.fnc -q --size 40000x100" + png, "draw it in tiles"},
        {m_dir + "/one.fnc -q -o " + m_dir + "/no/such/dir/a.png", "morvex-render: "},
    };
    for (const auto& c : failures) {
        const auto result = run(c.arguments);
        EXPECT_EQ(result.status, 1) << c.arguments;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
    }
    EXPECT_FALSE(std::ifstream(m_dir + "/a.png").good()) << "no picture after failures";
}

TEST_F(RenderTool, PictureOfTheGivenSizeShowsTheFenceOnTheBackground)
{
    const std::string out = m_dir + "/one.png";
    const auto result = run(m_dir + "/one.fnc -o " + out + " --size 160x120 --solid-color 0,0,1 --no-axes");
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("Wrote " + out + " (160 x 120 pixels"), std::string::npos) << result.output;
    CZelPointer<CZelImage> picture = readPicture(out);
    ASSERT_EQ(std::make_pair(picture->getWidth(), picture->getHeight()), std::make_pair(160, 120));
    // The automatic camera looks at the middle of the fence; blue in the corners.
    EXPECT_EQ(std::make_pair(at(picture, 80, 60, 0), at(picture, 80, 60, 1)), std::make_pair(220, 20));
    for (const auto& [x, y] : {std::make_pair(0, 0), std::make_pair(159, 119)})
        EXPECT_EQ(std::make_pair(at(picture, x, y, 0), at(picture, x, y, 2)), std::make_pair(0, 255));
}

TEST_F(RenderTool, SkipMissingDrawsOutlinesAndWarnsForEachPicture)
{
    writeLost("none.png\n1 1\n0 0\n0.5\n");
    const std::string arguments =
        m_dir + "/lost.fnc -q --size 160x120 --no-axes --no-bounding-box -o " + m_dir + "/a.png";
    const auto refused = run(arguments);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("lost.png not found. (--skip-missing draws"), std::string::npos) << refused.output;

    const auto drawn = run(arguments + " --skip-missing");
    ASSERT_EQ(drawn.status, 0) << drawn.output;
    EXPECT_EQ(drawn.output, "morvex-render: warning: Picture " + m_dir + "/lost.png is missing; fence 1 is drawn as "
                            "an outline.\nmorvex-render: warning: Legend picture " + m_dir +
                            "/none.png is missing; the diagram is shown without its legend.\n");
    CZelPointer<CZelImage> picture = readPicture(m_dir + "/a.png");
    int grey = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            grey += at(picture, x, y, 0) == 128 && at(picture, x, y, 1) == 128 && at(picture, x, y, 2) == 128;
    // Its outline in front of the red section: two edges across the view and its two ends.
    EXPECT_GT(grey, 2 * 100);
}

// Pick lines on standard output, --quiet or not: a pixel of the red section
// of a tiled picture, the outline of a missing picture before it, the background.
TEST_F(RenderTool, PicksNameThePointThePixelAndTheFence)
{
    const std::string camera = " --camera 1050,75,1800,1050,75,2000,45,1,1000 --size 160x120 --tiles 2 -o " + m_dir +
                               "/a.png --pick 160,120 --pick 0,0";
    const auto picked = run(m_dir + "/one.fnc -q" + camera);
    ASSERT_EQ(picked.status, 0) << picked.output;
    EXPECT_EQ(picked.output, "pick 160,120: 1050.345 2000.000 74.655 fence 0 \"A-A'\" pixel 32,16\n"
                             "pick 0,0: background\n");
    writeLost();
    const auto outline = run(m_dir + "/lost.fnc --skip-missing" + camera);
    ASSERT_EQ(outline.status, 0) << outline.output;
    EXPECT_NE(outline.output.find("pick 160,120: 1050.328 1990.000 74.672 fence 0 \"A\" pixel -\n"),
              std::string::npos)
        << outline.output;
}

TEST_F(RenderTool, AFileSizeLimitLeavesTheOldPictureAndNoTemporary)
{
    // The limit stops the writing part way, as a full disk would.
    const std::string out = m_dir + "/example.png";
    std::ofstream(out) << "old picture";
    const auto result =
        run("-q " MORVEX_SOURCE_DIR "/data/examples/example.fnc --size 400x300 -o " + out, "ulimit -f 4; ");
    EXPECT_EQ(result.status, 1) << "-1 is a death by signal: " << result.output;
    EXPECT_EQ(result.output, "morvex-render: Cannot write " + out + ": the file is too large.\n");
    EXPECT_EQ(readWholeFile(out), "old picture");
    // one.fnc, red.png and the old picture: no temporary.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 3);
}

// Low limits once aborted in a thread that could not start, claimed a
// format fault, or crashed; now the renderer draws or says memory ran out.
TEST_F(RenderTool, AddressSpaceLimitsEndInAPictureOrAMemoryMessage)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer reserves address space of its own";
#endif
    if (RUNNING_ON_VALGRIND)
        GTEST_SKIP() << "valgrind reserves address space of its own";
    // Six sections of 2048 x 1024 pixels, each along a line of its own.
    std::string text = "#MORVEX1\n6\n";
    for (int k = 0; k < 6; ++k) {
        const std::string name = "s" + std::to_string(k) + ".png";
        dir.writePng(name, 2048, 1024, 40 * k, 200 - 30 * k, 90);
        text += "2\n" + std::to_string(1000 + 300 * k) + " 2000 100\n" + std::to_string(1200 + 300 * k) +
                " 2400 100\n" + name + "\nS" + std::to_string(k) + "\n0\n";
    }
    dir.write("six.fnc", text + "0 0 0\n0 0 0\n0 0 0\n");
    for (int megabytes : {200, 250, 350, 450, 600, 800, 1000, 1400, 2000}) {
        SCOPED_TRACE(megabytes);
        const std::string limit = std::to_string(megabytes), out = m_dir + "/limit-" + limit + ".png";
        const std::string limits = "export XDG_CACHE_HOME=" + m_dir + "/cache-" + limit + "; ulimit -v " + limit + "000; ";
        const auto result = run("-q " + m_dir + "/six.fnc -o " + out, limits);
        if (result.status == 0) {
            EXPECT_EQ(readPicture(out)->getWidth(), 1280);
        } else {
            EXPECT_EQ(result.status, 1) << result.output;
            EXPECT_NE(result.output.find("memory"), std::string::npos) << result.output;
            EXPECT_FALSE(std::filesystem::exists(out));
        }
    }
    // The largest limits leave room enough.
    EXPECT_TRUE(std::filesystem::exists(m_dir + "/limit-2000.png"));
}
