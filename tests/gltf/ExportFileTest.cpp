// morvex-render's 3-D outputs as a user gets them: glTF files and a web page
// that the Khronos validator finds without errors, with a textured mesh per
// piece of every picture, an alpha mask where white is removed, lines for the
// box, the axes and a missing picture's outline; the root node carries the
// local origin and the exaggeration, the asset the map origin and the
// coordinate system. The page, opened in headless Chromium without a network,
// shows the fences in their colours, east on the right.
#include "CTestDiagramDir.h"
#include "CZelImage.h"
#include "CZelPngImage.h"
#include "CZelPngWriter.h"
#include "CZelPointer.h"
#include "ShellCommand.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

namespace {


// Blue fence west of a red one, both along the east axis; the red one has a
// white band on top, which white removal leaves out. A third fence with a
// picture 5000 pixels wide, and a fourth whose picture is missing.
class ExportFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir.writePng("blue.png", 200, 100, 20, 40, 220);
        dir.writePng("red.png", 200, 100, 220, 20, 20, 20);
        CZelImage wide;
        wide.setChannels(3);
        ASSERT_TRUE(wide.setSize(5000, 40));
        wide.fillColor(20, 160, 20);
        std::string error;
        ASSERT_TRUE(CZelPngWriter::write(dir.file("wide.png"), &wide, error)) << error;
        dir.write("two.fnc", "#MORVEX2\nvertical-exaggeration 2\ncrs EPSG:32633\nend\n4\n"
                             "2\n500000 6000000 100\n500100 6000000 100\nblue.png\nWest\n0\nend\n"
                             "2\n500200 6000000 100\n500300 6000000 100\nred.png\nEast\n0\nend\n"
                             "2\n500000 6000400 100\n500300 6000400 100\nwide.png\nNorth\n0\nend\n"
                             "2\n500000 6000200 100\n500300 6000200 100\ngone.png\n-\n0\nend\n"
                             "0 0 0\n0 0 0\n45 1 10000\n");
    }

    ShellResult render(const std::string& output, const std::string& options = "")
    {
        return runShell(MORVEX_RENDER " --skip-missing " + options + " " + dir.file("two.fnc") + " -o " +
                        dir.file(output));
    }

    // The validator's findings and the counts check-gltf.mjs tells.
    std::map<std::string, int> check(const std::string& file)
    {
        const auto checked = runShell(MORVEX_NODE " " MORVEX_SOURCE_DIR "/gltf/web/check-gltf.mjs " + dir.file(file) +
                                      " " + MORVEX_WEB_DIR);
        EXPECT_EQ(checked.status, 0) << checked.output;
        std::map<std::string, int> counts;
        std::istringstream lines(checked.output);
        std::string name;
        while (lines >> name) {
            if (name != "message") {
                lines >> counts[name];
                continue;
            }
            std::string message;
            std::getline(lines, message);
            ADD_FAILURE() << file << ":" << message;
        }
        return counts;
    }

    CTestDiagramDir dir;
};

} // namespace

TEST_F(ExportFile, GltfFilesAndThePageHoldAValidAssetOfTheWholeDiagram)
{
    if (std::string(MORVEX_WEB_DIR).empty())
        GTEST_SKIP() << "built without npm: no validator";
    const ShellResult glb = render("two.glb", "--texture-limit 8192");
    ASSERT_EQ(glb.status, 0) << glb.output;
    // The log's size of each file runs in the GUI test of the 3-D export.
    EXPECT_NE(glb.output.find("North: 5000 x 40 pixels in 2 textures"), std::string::npos) << glb.output;

    ASSERT_EQ(render("two.gltf").status, 0);
    ASSERT_EQ(render("two.html").status, 0);
    // The default limit brings the wide picture down to one piece.
    for (const char* file : {"two.glb", "two.gltf", "two.html"}) {
        SCOPED_TRACE(file);
        std::map<std::string, int> counts = check(file);
        const std::map<std::string, int> want = {{"errors", 0}, {"warnings", 0}, {"maskMaterials", 1},
            {"linePrimitives", 3}, {"cameraNodes", 1}, {"fenceMeshes", std::string(file) == "two.glb" ? 4 : 3}};
        for (const auto& entry : want)
            EXPECT_EQ(counts[entry.first], entry.second) << entry.first;
    }

    // Origin and exaggeration on the root, map origin and system in the asset.
    const std::string json = readWholeFile(dir.file("two.gltf"));
    EXPECT_NE(json.find("\"translation\":[500000,"), std::string::npos);
    EXPECT_NE(json.find("\"scale\":[1,2,1]"), std::string::npos);
    EXPECT_NE(json.find("\"mapOrigin\":[500000,6000000,"), std::string::npos);
    EXPECT_NE(json.find("\"crs\":\"EPSG:32633\""), std::string::npos);
    // Labels are nodes named after their texts.
    for (const char* label : {"\"name\":\"West\"", "\"name\":\"East\"", "\"name\":\"100\""})
        EXPECT_NE(json.find(label), std::string::npos) << label;
}

TEST_F(ExportFile, ThePageShowsTheFencesInTheirColoursTheRightWayRound)
{
    if (std::string(MORVEX_WEB_DIR).empty())
        GTEST_SKIP() << "built without npm: no page viewer";
    if (runShell("command -v chromium").status != 0)
        GTEST_SKIP() << "no chromium (scripts/install-deps --browser)";
    ASSERT_EQ(render("two.html", "--camera auto").status, 0);
    // No network inside a network namespace of its own, where that can be made.
    const bool isolated = runShell("unshare --net true").status == 0;
    const std::string shot = dir.file("shot.png");
    const ShellResult chromium = runShell(std::string(isolated ? "unshare --net " : "") +
                                "chromium --headless --no-sandbox --disable-gpu --use-gl=swiftshader "
                                "--enable-unsafe-swiftshader --no-first-run --disable-background-networking "
                                "--disable-component-update --disable-sync --user-data-dir=" +
                                dir.file("profile") + " --window-size=800,600 --virtual-time-budget=10000 "
                                "--screenshot=" + shot + " file://" + dir.file("two.html"));
    ASSERT_EQ(chromium.status, 0) << chromium.output;
    CZelPointer<CZelPngImage> picture = new CZelPngImage();
    picture->setFileName(shot);
    ASSERT_TRUE(picture->readImage()) << chromium.output;
    // Mean column of the red and of the blue pixels.
    double sum[2] = {0.0, 0.0};
    int count[2] = {0, 0};
    const int channels = picture->getChannels();
    for (int y = 0; y < picture->getHeight(); ++y)
        for (int x = 0; x < picture->getWidth(); ++x) {
            const unsigned char* p =
                picture->getPixels() + (static_cast<size_t>(y) * picture->getWidth() + x) * channels;
            const int kind = p[0] > 180 && p[1] < 60 && p[2] < 60 ? 0 : p[2] > 180 && p[0] < 60 && p[1] < 80 ? 1 : -1;
            if (kind >= 0) {
                sum[kind] += x;
                ++count[kind];
            }
        }
    ASSERT_GT(count[0], 1000) << "no red fence in the page";
    ASSERT_GT(count[1], 1000) << "no blue fence in the page";
    EXPECT_GT(sum[0] / count[0], sum[1] / count[1] + 100) << "the red fence stands east of the blue one";
}
