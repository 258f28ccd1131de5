// The diagram model: loading builds fences, labels, box and axes in order;
// bounds, size, label lift, camera placement, settings, failures and saving.
#include "CFence.h"
#include "CFenceDescription.h"
#include "CFenceDiagram.h"
#include "CTestDiagramDir.h"
#include "CZelBillboard.h"
#include "CZelScaleIndicator.h"
#include "OffscreenContext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// Two fences: one 400 long in x at elevation 10, one along z at elevation 20.
std::string twoFences(const std::string& camera, const std::string& legend = "")
{
    return "#MORVEX1\n2\n"
           "2\n0 0 10\n400 0 10\nred.png\nFirst\n0\n"
           "2\n0 0 20\n0 100 20\nred.png\n-\n1\n" +
           camera + legend;
}

const std::string NO_CAMERA = "0 0 0\n0 0 0\n0 0 0\n";

class FenceDiagramTest : public OffscreenGLTest
{
protected:
    void SetUp() override
    {
        OffscreenGLTest::SetUp();
        // 100 x 50 pixels along 400 units: a fence 200 high; along 100 units: 50 high.
        dir.writePng("red.png", 100, 50, 200, 0, 0);
        camera = new CZelCamera();
        diagram = new CFenceDiagram();
        diagram->setCamera(camera);
    }

    double labelElevation(int i) const
    {
        double x, y, z;
        diagram->getLabelGroup()->getChild(i)->getPosition(x, y, z);
        return y;
    }

    CTestDiagramDir dir;
    CZelPointer<CZelCamera> camera;
    CZelPointer<CFenceDiagram> diagram;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST_F(FenceDiagramTest, LoadBuildsChildrenInOrder)
{
    testing::internal::CaptureStdout();
    ASSERT_TRUE(diagram->load(dir.write("d.fnc", twoFences(NO_CAMERA)))) << diagram->getErrorMessage();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("0, 0, 10\n400, 0, 10\n"), std::string::npos) << out;
    EXPECT_NE(out.find("description = First\n"), std::string::npos);
    EXPECT_NE(out.find("description = \n"), std::string::npos);

    ASSERT_EQ(diagram->getSize(), 5);
    EXPECT_TRUE(diagram->getChild(0)->isClass("CFence"));
    EXPECT_TRUE(diagram->getChild(1)->isClass("CFence"));
    EXPECT_EQ(diagram->getChild(2), diagram->getBoundingBox());
    EXPECT_EQ(diagram->getChild(3), diagram->getLabelGroup());
    EXPECT_EQ(diagram->getChild(4), diagram->getAxisGroup());
    EXPECT_EQ(diagram->getAxisGroup()->getSize(), 3);
    EXPECT_EQ(diagram->getFenceCount(), 2);
    EXPECT_EQ(diagram->getDescription(1), "");
}

TEST_F(FenceDiagramTest, SizeBoundsAndBoundingBox)
{
    ASSERT_TRUE(diagram->load(dir.write("d.fnc", twoFences(NO_CAMERA)))) << diagram->getErrorMessage();
    // S comes from the larger horizontal extent only.
    EXPECT_EQ(diagram->getDiagramSize(), 400.0);
    EXPECT_EQ(diagram->getGreatestFenceHeight(), 200.0);
    double min[3], max[3];
    diagram->getBounds(min, max);
    EXPECT_EQ(min[1], 10.0);
    EXPECT_EQ(max[1], 20.0);
    EXPECT_EQ(max[2], 100.0);

    // The box's bottom face lies at min y - H (relative to the origin).
    const CZelVec3d& origin = diagram->getOrigin();
    const CZelVec3d* corner = diagram->getBoundingBox()->getCoord(0);
    EXPECT_EQ(corner->y() + origin.y(), 10.0 - 200.0);
    EXPECT_EQ(diagram->getBoundingBox()->getCoord(2)->y() + origin.y(), 20.0);
}

TEST_F(FenceDiagramTest, LabelsStandAboveTheirOwnAnchors)
{
    // S = 400, m = 0.02: lift 8.
    ASSERT_TRUE(diagram->load(dir.write("d.fnc", twoFences(NO_CAMERA)))) << diagram->getErrorMessage();
    const double origin = diagram->getOrigin().y();
    EXPECT_EQ(labelElevation(0) + origin, 18.0);
    EXPECT_EQ(labelElevation(1) + origin, 28.0);

    // Every label keeps its own anchor through refresh.
    diagram->setRelativeMargin(0.05);
    testing::internal::CaptureStdout();
    diagram->refresh();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(labelElevation(0) + origin, 30.0);
    EXPECT_EQ(labelElevation(1) + origin, 40.0);

    // Labels are centred on their billboards at the new font size.
    for (int i = 0; i < 2; ++i) {
        CZelShape* text = static_cast<CZelBillboard*>(diagram->getLabelGroup()->getChild(i))->getChild(0);
        double w, h, d, x, y, z;
        CZelText* label = static_cast<CZelText*>(text);
        label->setText(label->getText());
        label->getSize(w, h, d);
        text->getPosition(x, y, z);
        EXPECT_DOUBLE_EQ(x, -w / 2.0);
        EXPECT_DOUBLE_EQ(y, -h / 2.0);
    }
}

TEST_F(FenceDiagramTest, AutomaticAndStoredCamera)
{
    ASSERT_TRUE(diagram->load(dir.write("d.fnc", twoFences(NO_CAMERA)))) << diagram->getErrorMessage();
    // Centre (200, 15, 50), H = 200: aim at y 15 - 100 from 2 S along +z.
    EXPECT_EQ(camera->getTarget(), CZelVec3d(200.0, -85.0, 50.0));
    EXPECT_EQ(camera->getPosition(), CZelVec3d(200.0, -85.0, 850.0));
    double fov, nearDistance, farDistance;
    camera->getPerspective(fov, nearDistance, farDistance);
    EXPECT_EQ(fov, 45.0);
    EXPECT_EQ(nearDistance, 4.0);
    EXPECT_EQ(farDistance, 1200.0);

    CZelPointer<CFenceDiagram> stored(new CFenceDiagram());
    stored->setCamera(camera);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(stored->load(dir.write("c.fnc", twoFences("6543210.57 2 3\n4 5 6\n30 0.5 900\n"))));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Positioning using values from file.\n"), std::string::npos);
    EXPECT_EQ(camera->getPosition(), CZelVec3d(6543210.57, 2.0, 3.0));
    EXPECT_EQ(camera->getTarget(), CZelVec3d(4.0, 5.0, 6.0));
    camera->getPerspective(fov, nearDistance, farDistance);
    EXPECT_EQ(fov, 30.0);
    EXPECT_EQ(nearDistance, 0.5);
}

TEST_F(FenceDiagramTest, SettingsBeforeAndAfterLoading)
{
    diagram->setShowBoundingBox(true);
    EXPECT_FALSE(diagram->getShowBoundingBox());
    EXPECT_FALSE(diagram->getRemoveWhite());
    diagram->setLabelIntervals(2, 3, 4);
    ASSERT_TRUE(diagram->load(dir.write("d.fnc", twoFences(NO_CAMERA)))) << diagram->getErrorMessage();
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(static_cast<CZelScaleIndicator*>(diagram->getAxisGroup()->getChild(k))->getLabelInterval(), k + 2);
    EXPECT_TRUE(diagram->getShowBoundingBox());
    diagram->setShowBoundingBox(false);
    EXPECT_EQ(diagram->getBoundingBox()->getState(), 1);

    EXPECT_TRUE(diagram->getRemoveWhite());
    diagram->setRemoveWhite(false);
    EXPECT_FALSE(static_cast<CFence*>(diagram->getChild(0))->getRemoveWhite());
    EXPECT_FALSE(static_cast<CFence*>(diagram->getChild(1))->getRemoveWhite());
    EXPECT_FALSE(diagram->getRemoveWhite());

    diagram->setShowAxes(false);
    EXPECT_EQ(diagram->getAxisGroup()->getState(), 1);
    diagram->setBoundingBoxColor(0.1f, 0.2f, 0.3f);
    float r, g, b;
    diagram->getBoundingBoxColor(r, g, b);
    EXPECT_FLOAT_EQ(g, 0.2f);
}

TEST_F(FenceDiagramTest, FailuresNameTheProblemAndLeaveNothing)
{
    const std::string missing = twoFences(NO_CAMERA).replace(twoFences(NO_CAMERA).find("red.png"), 7, "sub/a.png");
    EXPECT_FALSE(diagram->load(dir.write("m.fnc", missing)));
    EXPECT_EQ(diagram->getErrorMessage(), "File " + dir.path() + "/sub/a.png not found.");
    EXPECT_EQ(diagram->getSize(), 0);

    std::string mixedCase = twoFences(NO_CAMERA);
    mixedCase.replace(mixedCase.find("red.png"), 7, "red.Png");
    dir.writePng("red.Png", 4, 4, 1, 2, 3);
    EXPECT_FALSE(diagram->load(dir.write("p.fnc", mixedCase)));
    EXPECT_EQ(diagram->getErrorMessage(), "Unsupported file format.");

    EXPECT_FALSE(diagram->load(dir.write("l.fnc", twoFences(NO_CAMERA, "nolegend.png\n1 1\n0 0\n0.5\n"))));
    EXPECT_EQ(diagram->getErrorMessage(), "File " + dir.path() + "/nolegend.png not found.");
    EXPECT_EQ(diagram->getSize(), 0);

    EXPECT_FALSE(diagram->load(dir.write("t.fnc", "#MORVEX1\n1\n2\n0 0 0\n")));
    EXPECT_NE(diagram->getErrorMessage().find("fence 1 of 1: point 2 X is missing"), std::string::npos)
        << diagram->getErrorMessage();
}

TEST_F(FenceDiagramTest, SaveWritesCameraAndLegendAndReadsBackBitIdentical)
{
    dir.writePng("legend.png", 30, 10, 0, 0, 255);
    const std::string text = "#MORVEX1\n1\n3\n6543210.57 512345.123456789 101.5\n6543310.57 512445.25 99\n"
                             "6543410.5 512345.25 98.25\nred.png\nNorth\n1\n1 2 3\n4 5 6\n45 1 100\n"
                             "legend.png\n10 20\n2 1\n0.3\n";
    const std::string path = dir.write("s.fnc", text);
    ASSERT_TRUE(diagram->load(path)) << diagram->getErrorMessage();
    camera->setPosition(6543260.123456789, 400.25, 512000.75);
    diagram->setLegendPositionY(1);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(diagram->save(path)) << diagram->getErrorMessage();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), dir.path() + "\ns.fnc\n");

    const std::string saved = readFile(path);
    EXPECT_EQ(saved, "#MORVEX1\n1\n3\n6543210.57 512345.123456789 101.5\n6543310.57 512445.25 99\n"
                     "6543410.5 512345.25 98.25\nred.png\nNorth\n1\n"
                     "6543260.123456789 400.25 512000.75\n4 5 6\n45 1 100\n"
                     "legend.png\n10 20\n2 0\n0.3\n");
    CZelPointer<CZelCamera> other(new CZelCamera());
    CZelPointer<CFenceDiagram> again(new CFenceDiagram());
    again->setCamera(other);
    ASSERT_TRUE(again->load(path));
    EXPECT_EQ(other->getPosition(), camera->getPosition());
}

TEST_F(FenceDiagramTest, AFailedSaveKeepsTheOriginal)
{
    const std::string path = dir.write("s.fnc", twoFences(NO_CAMERA));
    ASSERT_TRUE(diagram->load(path));
    EXPECT_FALSE(diagram->save(dir.path() + "/missing/dir/s.fnc"));
    EXPECT_NE(diagram->getErrorMessage().find("missing/dir/s.fnc"), std::string::npos);
    EXPECT_EQ(readFile(path), twoFences(NO_CAMERA));
}
