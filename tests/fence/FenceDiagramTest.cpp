// The diagram model: loading builds fences, labels, box and axes; bounds, label
// lift, camera placement, settings, failures; saving exactly and crash-safely.
#include "CFence.h"
#include "CFenceDescription.h"
#include "CFenceDiagram.h"
#include "ChildOutput.h"
#include "CTestDiagramDir.h"
#include "CZelBillboard.h"
#include "CZelScaleIndicator.h"
#include "OffscreenContext.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// Two fences: one 400 long in x at elevation 10, one along z at elevation 20.
std::string twoFences(const std::string& legend = "", const std::string& camera = "0 0 0\n0 0 0\n0 0 0\n")
{
    return "#MORVEX1\n2\n2\n0 0 10\n400 0 10\nred.png\nFirst\n0\n2\n0 0 20\n0 100 20\nred.png\n-\n1\n" + camera +
           legend;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Loads quietly; false with the diagram's message on failure.
::testing::AssertionResult quietLoad(CFenceDiagram* diagram, const std::string& path)
{
    testing::internal::CaptureStdout();
    const bool loaded = diagram->load(path);
    testing::internal::GetCapturedStdout();
    return loaded ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << diagram->getErrorMessage();
}

// Field of view, near and far distance.
CZelVec3d perspectiveOf(CZelCamera* camera)
{
    double fov, nearDistance, farDistance;
    camera->getPerspective(fov, nearDistance, farDistance);
    return CZelVec3d(fov, nearDistance, farDistance);
}

class FenceDiagramTest : public OffscreenGLTest
{
protected:
    void SetUp() override
    {
        OffscreenGLTest::SetUp();
        // 100 x 50 pixels along 400 units: a fence 200 high; along 100 units: 50 high.
        dir.writePng("red.png", 100, 50, 200, 0, 0);
        diagram->setCamera(camera);
    }

    double labelElevation(int i) const
    {
        double x, y, z;
        diagram->getLabelGroup()->getChild(i)->getPosition(x, y, z);
        return y + diagram->getOrigin().y();
    }

    CTestDiagramDir dir;
    CZelPointer<CZelCamera> camera{new CZelCamera()};
    CZelPointer<CFenceDiagram> diagram{new CFenceDiagram()};
};

} // namespace

TEST_F(FenceDiagramTest, LoadBuildsFencesBoundsCameraAndLabelsWithTheSettingsMadeBefore)
{
    diagram->setShowBoundingBox(true);
    EXPECT_FALSE(diagram->getShowBoundingBox());
    diagram->setLabelIntervals(2, 3, 4);
    ASSERT_TRUE(quietLoad(diagram, dir.write("d.fnc", twoFences())));
    ASSERT_EQ(diagram->getSize(), 5);

    // S comes from the larger horizontal extent only.
    EXPECT_EQ(diagram->getDiagramSize(), 400.0);
    EXPECT_EQ(diagram->getGreatestFenceHeight(), 200.0);
    double min[3], max[3]; // east, north, elevation
    diagram->getBounds(min, max);
    EXPECT_EQ(CZelVec3d(min[2], max[2], max[1]), CZelVec3d(10.0, 20.0, 100.0));
    // The box's bottom face lies at min y - H (relative to the origin).
    const double originY = diagram->getOrigin().y();
    EXPECT_EQ(diagram->getBoundingBox()->getCoord(0)->y() + originY, 10.0 - 200.0);
    EXPECT_EQ(diagram->getBoundingBox()->getCoord(2)->y() + originY, 20.0);

    // Centre east 200, north 50, elevation 15, H = 200: aim at y 15 - 100
    // from 2 S to the south, along the scene's +z.
    EXPECT_EQ(camera->getTarget(), CZelVec3d(200.0, -85.0, -50.0));
    EXPECT_EQ(camera->getPosition(), CZelVec3d(200.0, -85.0, 750.0));
    EXPECT_EQ(perspectiveOf(camera), CZelVec3d(45.0, 4.0, 1200.0));

    // The settings made before loading reached the built parts.
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(static_cast<CZelScaleIndicator*>(diagram->getAxisGroup()->getChild(k))->getLabelInterval(), k + 2);
    EXPECT_TRUE(diagram->getShowBoundingBox());

    // Labels stand above their own anchors through a refresh (S = 400, margin 0.02: lift 8).
    EXPECT_EQ(labelElevation(0), 18.0);
    EXPECT_EQ(labelElevation(1), 28.0);
    diagram->setRelativeMargin(0.05);
    testing::internal::CaptureStdout();
    diagram->refresh();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(labelElevation(0), 30.0);
    EXPECT_EQ(labelElevation(1), 40.0);
    // They are centred on their billboards at the new font size.
    for (int i = 0; i < 2; ++i) {
        CZelShape* text = static_cast<CZelBillboard*>(diagram->getLabelGroup()->getChild(i))->getChild(0);
        CZelText* label = static_cast<CZelText*>(text);
        label->setText(label->getText());
        double w, h, d, x, y, z;
        label->getSize(w, h, d);
        text->getPosition(x, y, z);
        EXPECT_DOUBLE_EQ(x, -w / 2.0);
        EXPECT_DOUBLE_EQ(y, -h / 2.0);
    }

    // A camera stored in the file; its axes are east, up and north.
    ASSERT_TRUE(quietLoad(diagram, dir.write("c.fnc", twoFences("", "6543210.57 2 3\n4 5 6\n30 0.5 900\n"))));
    EXPECT_EQ(camera->getPosition(), CZelVec3d(6543210.57, 2.0, -3.0));
    EXPECT_EQ(camera->getTarget(), CZelVec3d(4.0, 5.0, -6.0));
    EXPECT_EQ(perspectiveOf(camera), CZelVec3d(30.0, 0.5, 900.0));
}

TEST_F(FenceDiagramTest, AFailureAfterEveryFenceWasBuiltLeavesNothing)
{
    EXPECT_FALSE(diagram->load(dir.write("f.fnc", twoFences("nolegend.png\n1 1\n0 0\n0.5\n"))));
    EXPECT_EQ(diagram->getErrorMessage(), "File " + dir.path() + "/nolegend.png not found.");
    EXPECT_EQ(diagram->getSize(), 0);
}

TEST_F(FenceDiagramTest, MissingPicturesAreAskedForOnceBecomeOutlinesAndAreSavedAsRead)
{
    const std::string text = "#MORVEX1\n3\n2\n0 0 10\n400 0 10\ngone.png\nFirst\n0\n"
                             "2\n0 0 20\n0 100 20\nred.png\n-\n1\n2\n5 5 5\n6 6 6\nsub/gone.png\nThird\n1\n"
                             "1 2 3\n4 5 6\n45 1 100\nno-legend.png\n10 20\n2 1\n0.3\n";
    const std::string path = dir.write("d.fnc", text);
    std::string asked;
    diagram->setMissingPicturesHandler([&asked](const std::vector<CFenceDiagram::MissingPicture>& missing) {
        for (const CFenceDiagram::MissingPicture& picture : missing)
            asked += picture.path + " " + std::to_string(picture.fence) + "\n";
        return true;
    });
    ASSERT_TRUE(quietLoad(diagram, path));
    EXPECT_EQ(asked, dir.file("gone.png") + " 0\n" + dir.file("sub/gone.png") + " 2\n" + dir.file("no-legend.png") +
                         " -1\n");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(static_cast<CFence*>(diagram->getChild(i))->hasPicture(), i == 1) << i;
    EXPECT_EQ(diagram->getLegendImage(), nullptr);

    ASSERT_TRUE(diagram->save(path));
    EXPECT_EQ(readFile(path), text);
}

TEST_F(FenceDiagramTest, OutlinesTakeTheMedianProportionsOfTheLoadedPictures)
{
    // Proportions (height / width): red 0.5, square 1, flat 0.25. The outline stands along 100 units.
    dir.writePng("square.png", 50, 50, 0, 200, 0);
    dir.writePng("flat.png", 100, 25, 0, 0, 200);
    const struct {
        std::vector<std::string> pictures;
        double height;
    } cases[] = {
        {{}, 25.0}, // a quarter of its length
        {{"red.png"}, 50.0},
        {{"red.png", "square.png"}, 75.0},
        {{"flat.png", "square.png", "red.png"}, 50.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pictures.size());
        std::string text = "#MORVEX1\n" + std::to_string(c.pictures.size() + 1) + "\n";
        for (const std::string& picture : c.pictures)
            text += "2\n0 0 0\n10 0 0\n" + picture + "\n-\n0\n";
        text += "2\n0 0 0\n100 0 0\ngone.png\n-\n0\n0 0 0\n0 0 0\n0 0 0\n";
        CZelPointer<CFenceDiagram> loaded = new CFenceDiagram();
        loaded->setMissingPicturesHandler([](const std::vector<CFenceDiagram::MissingPicture>&) { return true; });
        ASSERT_TRUE(quietLoad(loaded, dir.write("d.fnc", text)));
        EXPECT_EQ(static_cast<CFence*>(loaded->getChild(static_cast<int>(c.pictures.size())))->getHeight(), c.height);
        // The outline, the highest fence, reaches down to the box's bottom.
        EXPECT_EQ(loaded->getGreatestFenceHeight(), c.height);
        EXPECT_EQ(loaded->getBoundingBox()->getCoord(0)->y() + loaded->getOrigin().y(), -c.height);
    }
}

TEST_F(FenceDiagramTest, SectionsPlacedByElevationStandFlatAndAreSavedAsRead)
{
    // A polyline rising from 10 to 40 along 300 east and 400 north; its
    // section stands from 500 to -6000 however its picture is proportioned,
    // as does its outline when the picture is missing.
    const std::string section = "3\n0 0 10\n300 0 40\n300 400 20\n%s\nA-A'\n1\nelevation 500 -6000\ncrop 10 5 30 15\nend\n";
    for (const std::string picture : {"red.png", "gone.png"}) {
        SCOPED_TRACE(picture);
        std::string text = "#MORVEX2\nend\n2\n" + section + "2\n0 0 20\n0 100 20\nred.png\n-\n1\nend\n0 0 0\n0 0 0\n45 1 100\n";
        text.replace(text.find("%s"), 2, picture);
        const std::string path = dir.write("e.fnc", text);
        CZelPointer<CFenceDiagram> loaded = new CFenceDiagram();
        loaded->setMissingPicturesHandler([](const std::vector<CFenceDiagram::MissingPicture>&) { return true; });
        ASSERT_TRUE(quietLoad(loaded, path));
        CFence* fence = static_cast<CFence*>(loaded->getChild(0));
        EXPECT_DOUBLE_EQ(fence->getHeight(), 6500.0);
        // Flat at the top, its columns spread over the horizontal length.
        EXPECT_DOUBLE_EQ(fence->getLine()->getLength(), 700.0);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(fence->getLine()->getPoint(i)->y() + loaded->getOrigin().y(), 500.0);
        // The 20 x 10 pixels of the crop make one tile.
        EXPECT_EQ(fence->getColumns(), fence->hasPicture() ? 1 : -1);
        // The label above the top (S 400, lift 8); the box down to the bottom.
        double x, y, z;
        loaded->getLabelGroup()->getChild(0)->getPosition(x, y, z);
        EXPECT_EQ(y + loaded->getOrigin().y(), 508.0);
        EXPECT_EQ(loaded->getBottom(), -6000.0);
        EXPECT_EQ(loaded->getBoundingBox()->getCoord(0)->y() + loaded->getOrigin().y(), -6000.0);
        EXPECT_EQ(loaded->getBoundingBox()->getCoord(2)->y() + loaded->getOrigin().y(), 500.0);
        testing::internal::CaptureStdout();
        ASSERT_TRUE(loaded->save(path));
        testing::internal::GetCapturedStdout();
        const std::string saved = readFile(path);
        EXPECT_EQ(saved.substr(0, text.find("0 0 0\n0 0 0")), text.substr(0, text.find("0 0 0\n0 0 0")));
    }
}

TEST_F(FenceDiagramTest, ExaggerationStretchesTheBoxLabelsAndCameraAboutTheBottom)
{
    // Bottom 10 - 200 = -190: elevation 20 stands at -190 + 3 x 210 at exaggeration 3.
    ASSERT_TRUE(quietLoad(diagram, dir.write("d.fnc", twoFences("", "10 300 -500\n200 0 50\n45 1 5000\n"))));
    diagram->setVerticalExaggeration(3.0);
    const double originY = diagram->getOrigin().y();
    const CZelShape* box = diagram->getBoundingBox();
    double px, py, pz, sx, sy, sz;
    const_cast<CZelShape*>(box)->getPosition(px, py, pz);
    box->getScale(sx, sy, sz);
    EXPECT_DOUBLE_EQ(py + sy * diagram->getBoundingBox()->getCoord(2)->y() + originY, 440.0);
    EXPECT_DOUBLE_EQ(py + sy * diagram->getBoundingBox()->getCoord(0)->y() + originY, -190.0);
    // Labels stand above their stretched anchors, lifted by the unstretched margin.
    EXPECT_DOUBLE_EQ(labelElevation(0), -190.0 + 3.0 * 200.0 + 8.0);
    EXPECT_DOUBLE_EQ(camera->getPosition().y(), -190.0 + 3.0 * 490.0);
    EXPECT_EQ(perspectiveOf(camera), CZelVec3d(45.0, 1.0, 5000.0));
}

TEST_F(FenceDiagramTest, MapCoordinatesAndTheCameraAreSavedBitIdentical)
{
    dir.writePng("legend.png", 30, 10, 0, 0, 255);
    const std::string path = dir.write("s.fnc", "#MORVEX1\n1\n3\n6543210.57 512345.123456789 101.5\n"
                                                "6543310.57 512445.25 99\n6543410.5 512345.25 98.25\nred.png\n"
                                                "North\n1\n1 2 3\n4 5 6\n45 1 100\nlegend.png\n10 20\n2 1\n0.3\n");
    ASSERT_TRUE(quietLoad(diagram, path));

    camera->setPosition(6543260.123456789, 400.25, -512000.75);
    diagram->setLegendPositionY(1);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(diagram->save(path)) << diagram->getErrorMessage();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), dir.path() + "\ns.fnc\n");
    EXPECT_EQ(readFile(path), "#MORVEX1\n1\n3\n6543210.57 512345.123456789 101.5\n6543310.57 512445.25 99\n"
                              "6543410.5 512345.25 98.25\nred.png\nNorth\n1\n"
                              "6543260.123456789 400.25 512000.75\n4 5 6\n45 1 100\n"
                              "legend.png\n10 20\n2 0\n0.3\n");
    CZelPointer<CZelCamera> other(new CZelCamera());
    CZelPointer<CFenceDiagram> again(new CFenceDiagram());
    again->setCamera(other);
    ASSERT_TRUE(quietLoad(again, path));
    EXPECT_EQ(other->getPosition(), camera->getPosition());
}

namespace {

// A large description: a truncation anywhere, even at a line end, changes what it reads as.
std::string largeDescription(int fences, int points)
{
    std::ostringstream out;
    out.precision(17);
    out << "#MORVEX1\n" << fences << "\n";
    for (int f = 0; f < fences; ++f) {
        out << points << "\n";
        for (int p = 0; p < points; ++p)
            out << 512000.25 + p * 1.5 << " " << 6541000.125 + f * 100.0 << " " << 300.0 - 0.001 * p << "\n";
        out << "section.png\nFence-" << f << "\n" << (f % 2) << "\n";
    }
    out << "512000 900 6545000\n513000 200 6541000\n45 10 20000\nsection.png\n10 20\n2 1\n0.25\n";
    return out.str();
}

class SaveCrashTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir.writePng("section.png", 16, 8, 40, 120, 200);
        path = dir.write("large.fnc", largeDescription(20, 4000));
        diagram->setCamera(camera);
        ASSERT_TRUE(quietLoad(diagram, path));
    }

    // Camera position (k, round, 7) in the file: every save writes a different file.
    bool save(int k, int round)
    {
        camera->setPosition(k, round, -7.0);
        camera->setTarget(1.0, 2.0, -3.0);
        return diagram->save(path);
    }

    CTestDiagramDir dir;
    std::string path;
    CZelPointer<CZelCamera> camera{new CZelCamera()};
    CZelPointer<CFenceDiagram> diagram{new CFenceDiagram()};
};

} // namespace

TEST_F(SaveCrashTest, AKillAtAnyMomentLeavesTheOldOrTheNewFileComplete)
{
    const std::string original = readFile(path);
    CFenceDescription reference;
    std::string error;
    ASSERT_TRUE(reference.parse(original, path, error)) << error;

    testing::internal::CaptureStdout();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(save(0, 0)) << diagram->getErrorMessage();
    const auto oneSave = std::chrono::steady_clock::now() - start;
    testing::internal::GetCapturedStdout();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << original;

    const unsigned seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const long long span = std::chrono::duration_cast<std::chrono::microseconds>(oneSave).count() * 3 + 1000;
    std::uniform_int_distribution<long long> delay(0, span);
    int unchanged = 0, replaced = 0;
    for (int round = 1; round <= 40; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) { // saves for ever; only the kill ends it
            if (!freopen("/dev/null", "w", stdout))
                _exit(2);
            for (int k = 1;; ++k)
                if (!save(k, round))
                    _exit(3);
        }
        usleep(static_cast<useconds_t>(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process ended by itself, status " << status;

        const std::string text = readFile(path);
        if (text == original) {
            ++unchanged;
            continue;
        }
        // Not the old file: it must be exactly what one complete save writes.
        CFenceDescription saved;
        ASSERT_TRUE(saved.parse(text, path, error)) << "round " << round << ": " << error;
        const double k = saved.cameraPosition[0];
        ASSERT_TRUE(k >= 1 && k == std::floor(k)) << "round " << round;
        CFenceDescription expected = reference;
        expected.cameraPosition[0] = k;
        expected.cameraPosition[1] = round;
        expected.cameraPosition[2] = 7.0;
        for (int t = 0; t < 3; ++t)
            expected.cameraTarget[t] = t + 1.0;
        ASSERT_EQ(text, expected.format()) << "round " << round;
        ++replaced;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << original;
    }
    // Kills fell both before any save was complete and after some were.
    EXPECT_GT(unchanged, 0);
    EXPECT_GT(replaced, 0);
}

TEST_F(SaveCrashTest, AReadOnlyDirectoryIsReportedAndTheFileKept)
{
    const std::string original = readFile(path);
    ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
    int status = 0;
    const std::string message = outputOfChild(
        [this] {
            if (!freopen("/dev/null", "w", stdout))
                _exit(2);
            const std::string outcome = save(5, 5) ? "saved" : "refused: ";
            return outcome + diagram->getErrorMessage();
        },
        status);
    chmod(dir.path().c_str(), 0700);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    EXPECT_EQ(message, "refused: Cannot write " + path + ": permission denied.");
    EXPECT_EQ(readFile(path), original);
    // The file and its picture, no temporary left.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}
