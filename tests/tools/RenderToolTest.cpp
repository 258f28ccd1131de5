// morvex-render run as the user runs it: its options and messages, the size
// and pixels of the picture it writes, and tiled pictures against one large
// drawing.
#include "CZelImage.h"
#include "CZelPngImage.h"
#include "CZelPngWriter.h"
#include "CZelPointer.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Result {
    int status = -1;
    std::string output;
};

Result run(const std::string& arguments)
{
    Result result;
    const std::string command = std::string(MORVEX_RENDER) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// A directory with a one-fence diagram: a 64 x 32 red section along a
// straight line 100 units long, and no stored camera.
class RenderTool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/morvex-render-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        CZelPointer<CZelImage> image = new CZelImage();
        image->setChannels(3);
        image->setSize(64, 32);
        image->fillColor(220, 20, 20);
        std::string error;
        ASSERT_TRUE(CZelPngWriter::write(m_dir + "/red.png", image, error)) << error;
        std::ofstream fnc(m_dir + "/one.fnc");
        fnc << "#MORVEX1\n1\n2\n1000 2000 100\n1100 2000 100\nred.png\nA-A'\n0\n"
               "0 0 0\n0 0 0\n0 0 0\n";
    }

    void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    CZelPointer<CZelImage> readPicture(const std::string& path)
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

    std::string m_dir;
};

} // namespace

TEST_F(RenderTool, HelpAndBadCommandLines)
{
    const Result help = run("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--output", "--size", "--tiles", "--antialias", "--background", "--light-direction",
                               "--lighting", "--keep-white", "--no-bounding-box", "--no-axes", "--text-size",
                               "--line-width", "--legend-size", "--legend-position", "--camera"})
        EXPECT_NE(help.output.find(option), std::string::npos) << option;

    const std::string fnc = m_dir + "/one.fnc";
    const struct {
        std::string arguments;
        const char* message;
    } bad[] = {
        {"", "No description file given."},
        {fnc, "No output file given"},
        {fnc + " -o " + m_dir + "/a.png --size 640", "--size"},
        {fnc + " -o " + m_dir + "/a.png --size 0x10", "--size"},
        {fnc + " -o " + m_dir + "/a.png --tiles 0", "--tiles"},
        {fnc + " -o " + m_dir + "/a.png --antialias 7", "--antialias"},
        {fnc + " -o " + m_dir + "/a.png --solid-color 1,2,0", "--solid-color"},
        {fnc + " -o " + m_dir + "/a.png --camera 1,2,3,1,2,3", "the eye and the target are the same point"},
        {fnc + " -o " + m_dir + "/a.png --camera 1,2,x,4,5,6", "'x' is not a number"},
        {fnc + " -o " + m_dir + "/a.png --legend-position up,left", "--legend-position"},
        {fnc + " -o " + m_dir + "/a.png --frobnicate", "Unknown option --frobnicate."},
        {fnc + " -o " + m_dir + "/a.png --no-axes=1", "takes no value"},
        {fnc + " -o", "Option -o needs a value."},
        {fnc + " " + fnc + " -o " + m_dir + "/a.png", "More than one description file"},
    };
    for (const auto& c : bad) {
        const Result result = run(c.arguments);
        EXPECT_EQ(result.status, 2) << c.arguments;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << c.arguments << "\n" << result.output;
        EXPECT_NE(result.output.find("Try 'morvex-render --help'."), std::string::npos);
    }
}

TEST_F(RenderTool, UnreadableInputsAndOutputsFailWithTheirReason)
{
    Result result = run(m_dir + "/missing.fnc -o " + m_dir + "/a.png");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("cannot read " + m_dir + "/missing.fnc"), std::string::npos) << result.output;

    std::ofstream(m_dir + "/lost.fnc") << "#MORVEX1\n1\n2\n0 0 0\n10 0 0\nlost.png\n-\n0\n0 0 0\n0 0 0\n0 0 0\n";
    result = run(m_dir + "/lost.fnc -o " + m_dir + "/a.png");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("lost.png not found."), std::string::npos) << result.output;

    // Larger than one offscreen context: the message points to tiles.
    result = run(m_dir + "/one.fnc -q --size 40000x100 -o " + m_dir + "/a.png");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("draw it in tiles"), std::string::npos) << result.output;

    result = run(m_dir + "/one.fnc -q -o " + m_dir + "/no/such/dir/a.png");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("morvex-render: "), std::string::npos) << result.output;
    std::ifstream none(m_dir + "/a.png");
    EXPECT_FALSE(none.good()) << "no picture after failures";
}

TEST_F(RenderTool, PictureOfTheGivenSizeShowsTheFenceOnTheBackground)
{
    const std::string out = m_dir + "/one.png";
    const Result result = run(m_dir + "/one.fnc -o " + out + " --size 160x120 --solid-color 0,0,1 --no-axes");
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("Wrote " + out + " (160 x 120 pixels"), std::string::npos) << result.output;
    CZelPointer<CZelImage> picture = readPicture(out);
    ASSERT_EQ(picture->getWidth(), 160);
    ASSERT_EQ(picture->getHeight(), 120);
    // The automatic camera looks at the middle of the fence.
    EXPECT_EQ(at(picture, 80, 60, 0), 220);
    EXPECT_EQ(at(picture, 80, 60, 1), 20);
    for (int corner : {0, 1}) {
        EXPECT_EQ(at(picture, corner * 159, corner * 119, 0), 0);
        EXPECT_EQ(at(picture, corner * 159, corner * 119, 2), 255);
    }
}

TEST_F(RenderTool, TiledPictureEqualsOneLargeDrawing)
{
    const std::string common = m_dir + "/one.fnc -q --background gradient --line-width 2 --camera auto";
    ASSERT_EQ(run(common + " --size 62x45 --tiles 3 -o " + m_dir + "/tiled.png").status, 0);
    ASSERT_EQ(run(common + " --size 186x135 -o " + m_dir + "/whole.png").status, 0);
    CZelPointer<CZelImage> tiled = readPicture(m_dir + "/tiled.png");
    CZelPointer<CZelImage> whole = readPicture(m_dir + "/whole.png");
    ASSERT_EQ(tiled->getWidth(), 186);
    ASSERT_EQ(tiled->getHeight(), 135);
    ASSERT_EQ(whole->getWidth(), 186);
    ASSERT_EQ(whole->getHeight(), 135);
    int differences = 0;
    for (int y = 0; y < 135; ++y)
        for (int x = 0; x < 186; ++x)
            for (int k = 0; k < 3; ++k)
                if (std::abs(at(tiled, x, y, k) - at(whole, x, y, k)) > 2) {
                    ++differences;
                    break;
                }
    // Text and lines may round differently by a pixel here and there; a seam
    // would cost a whole row or column.
    EXPECT_LE(differences, 45) << "of " << 186 * 135 << " pixels";
}
