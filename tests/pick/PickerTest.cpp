// Picks against what GL draws of the same frame: a sampled pixel showing a
// fence's picture is picked on that fence and picture pixel (colours tell
// column and row), where the ray through its centre meets the fence; the
// background picks nothing. Fences at zone-prefixed UTM coordinates.
#include "CMorFrame.h"
#include "CMorViewRays.h"
#include "CTestDiagramDir.h"
#include "CZelPngWriter.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int W = 320, H = 240;
// A zone-prefixed easting and a northing.
constexpr double E0 = 32383838.62, N0 = 5806756.30;
// The pictures: 240 x 160; fence 0's may have a hole of pure white (columns
// 80 to 159, rows 50 to 109) inside a ring 4 pixels wide of near white.
constexpr int PW = 240, PH = 160;
const unsigned char RING[3] = {250, 251, 252};

bool inHole(int x, int y, int margin)
{
    return x >= 80 - margin && x < 160 + margin && y >= 50 - margin && y < 110 + margin;
}

struct Scene
{
    const char* name;
    // Fences as "east north elevation" offsets from E0, N0, one line each.
    std::vector<std::vector<std::string>> fences;
    double eye[3], target[3]; // east, elevation, north offsets
    double exaggeration;
    bool hole;
    // Format 2 options of the first fence.
    const char* options;
};

class PickerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_context = std::make_unique<OffscreenContext>(W, H);
        ASSERT_TRUE(m_context->isValid()) << m_context->getRenderer();
        testing::internal::CaptureStdout();
        m_frame.initializeFrame(W, H);
        m_frame.resizeFrame(W, H);
        // Compared with the picture's own pixels: every frame at the detail
        // it needs, not the coarse levels that stand in while tiles load.
        m_frame.setFullDetail(true);
        testing::internal::GetCapturedStdout();
    }

    // Pixel (x, y) of fence k's picture: its column and row in red and green
    // (which minification blends smoothly), the fence in blue.
    void writePicture(int fence, bool hole)
    {
        std::vector<unsigned char> rgb;
        for (int y = 0; y < PH; ++y)
            for (int x = 0; x < PW; ++x) {
                if (hole && inHole(x, y, 0))
                    rgb.insert(rgb.end(), {255, 255, 255});
                else if (hole && inHole(x, y, 4))
                    rgb.insert(rgb.end(), RING, RING + 3);
                else
                    rgb.insert(rgb.end(), {static_cast<unsigned char>(x), static_cast<unsigned char>(y),
                                           static_cast<unsigned char>(40 + 80 * fence)});
            }
        std::vector<unsigned char> png;
        std::string error;
        ASSERT_TRUE(CZelPngWriter::encode(rgb.data(), PW, PH, png, error)) << error;
        m_dir.write("p" + std::to_string(fence) + ".png", std::string(png.begin(), png.end()));
    }

    void open(const Scene& scene)
    {
        char number[64];
        std::string text = "#MORVEX2\nend\n" + std::to_string(scene.fences.size()) + "\n";
        for (size_t k = 0; k < scene.fences.size(); ++k) {
            writePicture(static_cast<int>(k), scene.hole && k == 0);
            text += std::to_string(scene.fences[k].size()) + "\n";
            for (const std::string& point : scene.fences[k]) {
                double e = 0.0, n = 0.0, z = 0.0;
                std::sscanf(point.c_str(), "%lf %lf %lf", &e, &n, &z);
                std::snprintf(number, sizeof number, "%.2f %.2f %.2f\n", E0 + e, N0 + n, z);
                text += number;
            }
            text += "p" + std::to_string(k) + ".png\n-\n0\n" + (k == 0 ? scene.options : "") + "end\n";
        }
        text += "0 0 0\n0 0 0\n0 0 0\n";
        testing::internal::CaptureStdout();
        const bool opened = m_frame.open(m_dir.write("d.fnc", text));
        CFenceDiagram* diagram = m_frame.getDiagram();
        if (opened) {
            diagram->setShowBoundingBox(false);
            diagram->setShowAxes(false);
            m_frame.setVerticalExaggeration(scene.exaggeration);
            m_frame.getCamera()->setPerspective(45.0, 1.0, 20000.0);
            m_frame.setCameraInMapUnits(CZelVec3d(E0 + scene.eye[0], scene.eye[1], N0 + scene.eye[2]),
                                        CZelVec3d(E0 + scene.target[0], scene.target[1], N0 + scene.target[2]));
        }
        testing::internal::GetCapturedStdout();
        ASSERT_TRUE(opened) << m_frame.getErrorMessage();
    }

    // The window pixel where a map point is seen.
    void pixelOf(double east, double north, double elevation, int& x, int& y)
    {
        const CZelVec3d scene = m_frame.getDiagram()->getCoordinates().toScene(east, north, elevation);
        double ndcX = 0.0, ndcY = 0.0, depth = 0.0;
        CMorViewRays(*m_frame.getCamera(), static_cast<double>(W) / H).project(scene, ndcX, ndcY, depth);
        x = static_cast<int>(std::floor((ndcX + 1.0) / 2.0 * W));
        y = static_cast<int>(std::floor((1.0 - ndcY) / 2.0 * H));
    }

    int fenceAt(int x, int y)
    {
        const CMorPick pick = m_frame.pickAt(x, y);
        return pick.hit ? pick.fence : -1;
    }

    // What the drawing shows at window pixel (x, y): -1 background, -2 the
    // ring, else the fence, with the picture's column and row.
    static int shown(const std::vector<unsigned char>& pixels, int x, int y, int& column, int& row)
    {
        const unsigned char* p = &pixels[(static_cast<size_t>(H - 1 - y) * W + x) * 4];
        if (p[0] == 255 && p[1] == 255 && p[2] == 255)
            return -1;
        // Minification is filtered: where a pixel blends two texels of
        // different codes, it tells no column or row.
        if (p[0] == RING[0] && p[1] == RING[1] && p[2] == RING[2])
            return -2;
        column = p[0];
        row = p[1];
        return p[2] / 80;
    }

    // From (east, north) to the polyline of points "east north elevation", in plan.
    static double planDistance(const std::vector<std::string>& points, double east, double north)
    {
        double best = 1e300, e0 = 0.0, n0 = 0.0, z = 0.0;
        std::sscanf(points[0].c_str(), "%lf %lf %lf", &e0, &n0, &z);
        for (size_t i = 1; i < points.size(); ++i) {
            double e1 = 0.0, n1 = 0.0;
            std::sscanf(points[i].c_str(), "%lf %lf %lf", &e1, &n1, &z);
            const double de = e1 - e0, dn = n1 - n0;
            const double t = std::max(0.0, std::min(1.0, ((east - e0) * de + (north - n0) * dn) / (de * de + dn * dn)));
            best = std::min(best, std::hypot(east - e0 - t * de, north - n0 - t * dn));
            e0 = e1;
            n0 = n1;
        }
        return best;
    }

    // Filtered minification shows a texel or a blend of its neighbours.
    static bool near(long long a, int b) { return std::llabs(a - b) <= 2; }

    // Every second pixel whose neighbours show the same thing; returns how
    // many showed a fence.
    int compareWithDrawing(const Scene& scene)
    {
        testing::internal::CaptureStdout();
        m_frame.drawFrame();
        testing::internal::GetCapturedStdout();
        const std::vector<unsigned char> pixels = m_context->readPixels();
        // The ray as GL casts it, from the matrices it drew with.
        GLdouble projection[16], modelView[16];
        GLint viewport[4];
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        m_frame.getCamera()->viewTransform();
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
        glPopMatrix();
        glGetIntegerv(GL_VIEWPORT, viewport);
        const CFenceCoordinates& coordinates = m_frame.getDiagram()->getCoordinates();
        const CZelVec3d& origin = m_frame.getCamera()->getRenderOrigin();

        int fences = 0;
        for (int y = 1; y < H - 1; y += 2)
            for (int x = 1; x < W - 1; x += 2) {
                int column = 0, row = 0, c = 0, r = 0;
                const int what = shown(pixels, x, y, column, row);
                bool uniform = true;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        uniform = uniform && shown(pixels, x + dx, y + dy, c, r) == what;
                if (!uniform || what == -2)
                    continue;
                SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
                const CMorPick pick = m_frame.pickAt(x, y);
                if (what == -1) {
                    EXPECT_FALSE(pick.hit) << "fence " << pick.fence;
                    continue;
                }
                ++fences;
                if (!pick.hit || !pick.hasPixel) {
                    ADD_FAILURE() << "no pixel of fence " << what << " picked";
                    continue;
                }
                EXPECT_EQ(pick.fence, what);
                EXPECT_TRUE(near(pick.column, column)) << pick.column << " drawn " << column;
                EXPECT_TRUE(near(pick.row, row)) << pick.row << " drawn " << row;
                // On GL's own ray through the pixel's centre, to GL's single precision.
                double near[3], far[3];
                const double wx = x + 0.5, wy = H - 1 - y + 0.5;
                gluUnProject(wx, wy, 0.0, modelView, projection, viewport, &near[0], &near[1], &near[2]);
                gluUnProject(wx, wy, 1.0, modelView, projection, viewport, &far[0], &far[1], &far[2]);
                const CZelVec3d p = coordinates.toScene(pick.east, pick.north, pick.elevation);
                const CZelVec3d a(near[0] + origin.x(), near[1] + origin.y(), near[2] + origin.z());
                const CZelVec3d b(far[0] + origin.x(), far[1] + origin.y(), far[2] + origin.z());
                CZelVec3d ab = b - a;
                ab.normalize();
                const CZelVec3d ap = p - a;
                const CZelVec3d off = ap - ab * ap.dot(ab);
                EXPECT_LT(off.length(), 1e-4 * ap.length());
                // And on the fence, in plan.
                EXPECT_LT(planDistance(scene.fences[static_cast<size_t>(what)], pick.east - E0, pick.north - N0), 1e-6);
            }
        return fences;
    }

    std::unique_ptr<OffscreenContext> m_context;
    CMorFrame m_frame;
    CTestDiagramDir m_dir;
};

const std::vector<std::string> STRAIGHT = {"0 0 100", "300 0 100"};
const std::vector<std::string> BEND = {"0 0 100", "150 60 130", "280 -40 60"};

const Scene SCENES[] = {
    {"head-on", {STRAIGHT}, {150, 0, -500}, {150, 0, 0}, 1.0, false, ""},
    {"from an angle", {STRAIGHT}, {480, 260, -420}, {150, 0, 0}, 1.0, false, ""},
    {"through a bend", {BEND}, {140, 40, -450}, {140, 20, 10}, 1.0, false, ""},
    {"through a hole onto a fence behind", {STRAIGHT, {"0 100 100", "300 100 100"}}, {150, 0, -500}, {150, 0, 0},
     1.0, true, ""},
    {"at exaggeration 3", {BEND}, {140, -150, -1500}, {140, -150, 10}, 3.0, false, ""},
    {"cropped between elevations", {BEND}, {140, -20, -500}, {140, -20, 10}, 1.0, false,
     "elevation 100 -150\ncrop 21 10 203 150\n"},
};

} // namespace

TEST_F(PickerTest, PicksWhatTheDrawingShowsWhereTheRayMeetsTheFence)
{
    for (const Scene& scene : SCENES) {
        SCOPED_TRACE(scene.name);
        open(scene);
        EXPECT_GT(compareWithDrawing(scene), 500);
    }
}

TEST_F(PickerTest, WhiteIsPassedThroughAsTheDrawingLeavesItOut)
{
    open(SCENES[3]);
    CFenceDiagram* diagram = m_frame.getDiagram();
    // Pixel coordinates of fence 0's picture are 1.25 units apart.
    int holeX = 0, holeY = 0, ringX = 0, ringY = 0;
    pixelOf(E0 + 1.25 * 120, N0, 100 - 1.25 * 80, holeX, holeY);
    pixelOf(E0 + 1.25 * 78, N0, 100 - 1.25 * 80, ringX, ringY);
    const struct {
        bool removeWhite;
        int tolerance;
        int hole, ring;
    } cases[] = {{true, 0, 1, 0}, {true, 4, 1, 0}, {true, 5, 1, 1}, {false, 64, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "remove white " << c.removeWhite << ", tolerance " << c.tolerance);
        diagram->setRemoveWhite(c.removeWhite);
        diagram->setWhiteTolerance(c.tolerance);
        EXPECT_EQ(fenceAt(holeX, holeY), c.hole);
        EXPECT_EQ(fenceAt(ringX, ringY), c.ring);
    }
}
