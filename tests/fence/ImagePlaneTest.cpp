// Fence panels: tiles, pieces and texture ranges along straight and bent lines,
// the build log and degenerate lines; then drawn offscreen with one scene unit
// per window pixel: upright and undistorted below the line, white removed or
// kept, enlarged and far, coarse levels standing in while tiles load.
#include "CPyramidMemory.h"
#include "CZelImagePlane.h"
#include "CZelPointer.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

CZelLine3d* makeLine(const std::vector<CZelVec3d>& points)
{
    CZelLine3d* line = new CZelLine3d();
    line->setSize(static_cast<int>(points.size()));
    for (int i = 0; i < line->getPointCount(); ++i) // a line holds two points or none
        *line->getPoint(i) = points[static_cast<size_t>(i)];
    return line;
}

// An RGB picture whose pixels the function fills.
CZelImage* makePicture(int width, int height, const std::function<void(int x, int y, unsigned char* p)>& fill)
{
    CZelImage* image = new CZelImage();
    image->setChannels(3);
    image->setSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            fill(x, y, image->getPixels() + (static_cast<size_t>(y) * width + x) * 3);
    return image;
}

// Pixel (x, y) is (x, y, 7) modulo 256.
CZelImage* makeImage(int width, int height)
{
    return makePicture(width, height, [](int x, int y, unsigned char* p) {
        p[0] = static_cast<unsigned char>(x);
        p[1] = static_cast<unsigned char>(y);
        p[2] = 7;
    });
}

// What the action writes to standard output.
std::string logOf(const std::function<void()>& action)
{
    std::ostringstream log;
    std::streambuf* previous = std::cout.rdbuf(log.rdbuf());
    action();
    std::cout.rdbuf(previous);
    return log.str();
}

// Builds the panel the way the diagram does and returns what it logged.
std::string build(CZelImagePlane* plane, int exponent, CZelLine3d* line, CZelImage* image)
{
    return logOf([&] {
        plane->setTextureSizeExponent(exponent);
        plane->setLine(line);
        plane->setImage(image);
    });
}
// One coordinate of a piece's corner: 'x', 'y', 'z', 's' or 't'; piece -1 is a row's last.
double cornerOf(CZelImagePlane* plane, int row, int piece, int i, char what)
{
    CZelQuadPlane* q = plane->getQuad(row, piece < 0 ? plane->getQuadCount(row) + piece : piece);
    const CZelVec3d *p = q->getCoord(i), *st = q->getTextureCoord(i);
    const double values[5] = {p->x(), p->y(), p->z(), st->x(), st->y()};
    return values[std::string("xyzst").find(what)];
}

// The log of a 300 x 200 picture with 128-pixel tiles on a line of length 600.
const char* const LOG_300_BY_200 = "realTotalLength = 768\n---- OffsetCalc Start ----\nm_rows = 2\n"
                                   "m_textureSize = 128\nm_rawImage->getHeight() = 200\nimageHeight = 256\n"
                                   "imageDiffY = 56\nimageOffsetY = 112\n---- OffsetCalc End ----\n"
                                   "imageDiffY = 0\nimageDiffX = 84\nratioX = 0.34375\n"
                                   "imageDiffY = 56\nimageDiffX = 84\nratioX = 0.34375\nratioY = 0.5625\n";

} // namespace

TEST(ImagePlane, TilesAndPiecesFollowTheLineAndHangFromIt)
{
    const struct {
        const char* name;
        std::vector<CZelVec3d> line;
        int width, height, exponent;
        double panelHeight;
        const char* log; // null: not checked
        int columns, rows, pieces; // pieces -1: not checked
        double height3d;
        CZelVec3d end; // of the line extended to whole tiles
        struct At {
            int row, piece, corner;
            char what;
            double value;
        };
        std::vector<At> corners;
        std::vector<std::vector<double>> bentPieces; // x0, z0, x1, z1, s0, s1 of every row's pieces
    } cases[] = {
        // Bottom row from 400 below the line up to 144 below it (tile length 256 minus the 112 units of
        // padding above the picture); the last piece stops at the line's end; the top row's upper edge
        // lies on the line and shows the picture's 72 rows.
        {"straight", {{0, 0, 0}, {600, 0, 0}}, 300, 200, 7, 0.0, LOG_300_BY_200, 3, 2, 3, 400.0, {768, 0, 0},
         {{0, 0, 0, 'y', -400}, {0, 0, 3, 'y', -144}, {0, 2, 0, 'x', 512}, {0, 2, 1, 'x', 600}, {0, 2, 1, 's', 0.34375},
          {1, 1, 2, 'y', 0}, {1, 1, 2, 't', 0.5625}, {1, 1, 1, 'y', -144}, {1, 2, 2, 'x', 600}},
         {}},
        // A given panel height stretches the rows only: 640 instead of 256.
        {"given height", {{0, 0, 0}, {600, 0, 0}}, 300, 200, 7, 1000.0, nullptr, 3, 2, 3, 1000.0, {768, 0, 0},
         {{0, 0, 0, 'y', -1000}, {0, 0, 3, 'y', -360}, {1, 1, 2, 'y', 0}, {0, 2, 1, 'x', 600}}, {}},
        // A vertex inside a tile splits it into two pieces.
        {"bent", {{0, 0, 0}, {300, 0, 0}, {300, 0, 300}}, 300, 200, 7, 0.0, LOG_300_BY_200, 3, 2, 4, 400.0, {300, 0, 468}, {},
         {{0, 0, 256, 0, 0, 1}, {256, 0, 300, 0, 0, 0.171875}, {300, 0, 300, 212, 0.171875, 1},
          {300, 212, 300, 300, 0, 0.34375}}},
        {"tall and narrow", {{0, 50, 0}, {100, 50, 0}}, 100, 300, 7, 0.0, nullptr,
         1, 3, 1, 300.0, {128, 50, 0}, {{0, 0, 0, 'y', -250}, {1, 0, 0, 'y', -122}, {2, 0, 0, 'y', 6}, {2, 0, 3, 'y', 50}}, {}},
        // A picture of whole tiles is neither cut nor shortened.
        {"whole tiles", {{0, 0, 0}, {0, 0, 512}}, 256, 128, 7, 0.0, nullptr,
         2, 1, 2, 256.0, {0, 0, 512}, {{0, 1, 2, 's', 1}, {0, 1, 2, 't', 1}}, {}},
        // Zero-length segments make empty pieces, never undefined ones: a zero-length last segment (the
        // line is extended along the last direction), a repeated first point and a tile edge on a vertex.
        {"zero-length last segment", {{0, 0, 0}, {0, 0, 100}, {0, 0, 100}}, 150, 64, 6, 0.0, nullptr, 3, 1, -1, 64.0 / 1.5,
         {0, 0, 128}, {{0, -1, 1, 'z', 100}, {0, -1, 1, 's', 22.0 / 64.0}}, {}},
        {"repeated first point", {{0, 0, 0}, {0, 0, 0}, {0, 0, 100.0 / 150.0 * 64.0}, {0, 0, 100}}, 150, 64, 6, 0.0,
         nullptr, 3, 1, -1, 64.0 / 1.5, {0, 0, 128}, {{0, -1, 1, 'z', 100}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
        if (c.panelHeight > 0.0)
            plane->setPanelHeight(c.panelHeight);
        CZelPointer<CZelLine3d> line = makeLine(c.line);
        CZelPointer<CZelImage> image = makeImage(c.width, c.height);
        const std::string log = build(plane, c.exponent, line, image);
        EXPECT_EQ(log, c.log ? c.log : log);
        EXPECT_EQ(plane->getColumns(), c.columns);
        ASSERT_EQ(plane->getRows(), c.rows);
        EXPECT_DOUBLE_EQ(plane->getHeight(), c.height3d);
        EXPECT_EQ(*plane->getExtendedLine()->getPoint(plane->getExtendedLine()->getPointCount() - 1), c.end);
        for (int r = 0; r < c.rows; ++r) {
            ASSERT_EQ(plane->getQuadCount(r), c.pieces > 0 ? c.pieces : plane->getQuadCount(r));
            for (int q = 0; q < plane->getQuadCount(r); ++q)
                for (int i = 0; i < 4; ++i)
                    for (char what : std::string("xyzst"))
                        ASSERT_TRUE(std::isfinite(cornerOf(plane, r, q, i, what))) << r << " " << q << " " << i;
            for (size_t q = 0; q < c.bentPieces.size(); ++q) {
                const int k = static_cast<int>(q);
                EXPECT_EQ((std::vector<double>{cornerOf(plane, r, k, 0, 'x'), cornerOf(plane, r, k, 0, 'z'),
                                               cornerOf(plane, r, k, 1, 'x'), cornerOf(plane, r, k, 1, 'z'),
                                               cornerOf(plane, r, k, 0, 's'), cornerOf(plane, r, k, 1, 's')}),
                          c.bentPieces[q]) << "row " << r << " piece " << q;
            }
        }
        for (const auto& at : c.corners)
            EXPECT_DOUBLE_EQ(cornerOf(plane, at.row, at.piece, at.corner, at.what), at.value)
                << "row " << at.row << " piece " << at.piece << " corner " << at.corner << " " << at.what;
    }
}

TEST(ImagePlane, LinesWithoutLengthBuildNothingAndTileExponentsBeyondZeroToFourteenAreRefused)
{
    CZelPointer<CZelImage> image = makeImage(150, 64);
    // A line of one point has no segments at all.
    for (const std::vector<CZelVec3d>& points : std::vector<std::vector<CZelVec3d>>{
             {{5, 5, 5}, {5, 5, 5}, {5, 5, 5}}, {{0, 0, 0}, {NAN, 0, 0}}, {{0, 0, 0}}}) {
        CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
        CZelPointer<CZelLine3d> line = makeLine({{0, 0, 0}, {10, 0, 0}});
        build(plane, 6, line, image);
        ASSERT_EQ(plane->getRows(), 1);
        line = makeLine(points);
        EXPECT_EQ(logOf([&] {
                      plane->setLine(line);
                      plane->setImage(image);
                  }),
                  "Image plane: the line has no length, nothing is built\n");
        EXPECT_EQ(plane->getRows(), -1);
        EXPECT_EQ(plane->getQuadCount(0), 0);
        EXPECT_DOUBLE_EQ(plane->getHeight(), 0.0);
    }

    CZelPointer<CZelImagePlane> plane = new CZelImagePlane();
    for (int refused : {-1, 15, 31})
        EXPECT_FALSE(plane->setTextureSizeExponent(refused)) << refused;
    EXPECT_EQ(plane->getTextureSize(), 256);
    EXPECT_TRUE(plane->setTextureSizeExponent(14) && plane->getTextureSize() == 16384);
    EXPECT_TRUE(plane->setTextureSizeExponent(0) && plane->getTextureSize() == 1);
}

namespace {

constexpr int SIZE = 128;
const std::vector<int> BACKGROUND = {0, 0, 90}, RED = {200, 0, 0}, GREEN = {0, 200, 0};

std::vector<int> rgb(const unsigned char* p)
{
    return {p[0], p[1], p[2]};
}

std::vector<int> pictureAt(CZelImage* image, int x, int y)
{
    return rgb(image->getPixels() + (static_cast<size_t>(y) * image->getWidth() + x) * 3);
}

std::vector<int> windowAt(const std::vector<unsigned char>& rgba, int x, int y)
{
    return rgb(&rgba[(static_cast<size_t>(y) * SIZE + static_cast<size_t>(x)) * 4]);
}

// Window pixels below row `rows` unlike what expected gives (nothing: not checked); the first few are reported.
int mismatches(const std::vector<unsigned char>& rgba, int rows, const std::function<std::vector<int>(int, int)>& expected)
{
    int wrong = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < SIZE; ++x) {
            const std::vector<int> e = expected(x, y);
            if (!e.empty() && windowAt(rgba, x, y) != e && ++wrong <= 5)
                ADD_FAILURE() << "window pixel " << x << ", " << y;
        }
    return wrong;
}

// A panel of 32-pixel tiles along a straight line.
CZelImagePlane* makePlane(const CZelVec3d& from, const CZelVec3d& to, CZelImage* image)
{
    CZelImagePlane* plane = new CZelImagePlane();
    CZelPointer<CZelLine3d> line = makeLine({from, to});
    build(plane, 5, line, image);
    return plane;
}

void ortho(double width, double depth)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, SIZE, -depth, depth);
    glMatrixMode(GL_MODELVIEW);
}

class ImagePlaneDrawTest : public OffscreenGLTest
{
protected:
    void SetUp() override
    {
        OffscreenGLTest::SetUp();
        m_context.reset();
        m_context = std::make_unique<OffscreenContext>(SIZE, SIZE);
        glViewport(0, 0, SIZE, SIZE);
        ortho(SIZE, 1.0);
        glClearColor(BACKGROUND[0] / 255.0f, BACKGROUND[1] / 255.0f, BACKGROUND[2] / 255.0f, 1.0f);
        // Every draw at the level its view needs.
        CPyramidMemory::getInstance().setSynchronous(true);
    }
    void TearDown() override
    {
        CPyramidMemory::getInstance().setSynchronous(false);
        OffscreenGLTest::TearDown();
    }

    std::vector<unsigned char> draw(CZelImagePlane* plane, bool removeWhite)
    {
        CPyramidMemory::getInstance().beginFrame();
        plane->setRemoveWhite(removeWhite);
        glClear(GL_COLOR_BUFFER_BIT);
        plane->render();
        return m_context->readPixels();
    }

    // White two-sided light from +z.
    static void light(bool on)
    {
        const GLfloat position[4] = {0.0f, 0.0f, 1.0f, 0.0f}, white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, position);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glEnable(GL_LIGHT0);
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
        (on ? glEnable : glDisable)(GL_LIGHTING);
    }

    // The four 8-pixel stripes of a 32 x 8 picture on a line from 16 to 48 at height 100, as drawn.
    std::vector<std::vector<int>> stripesShown(CZelImage* image, bool removeWhite, int tolerance = 0)
    {
        CZelPointer<CZelImagePlane> plane = makePlane({16, 100, 0}, {48, 100, 0}, image);
        plane->setWhiteTolerance(tolerance);
        const std::vector<unsigned char> rgba = draw(plane, removeWhite);
        std::vector<std::vector<int>> shown;
        for (int k = 0; k < 4; ++k)
            shown.push_back(windowAt(rgba, 20 + 8 * k, 96));
        return shown;
    }
};

} // namespace

TEST_F(ImagePlaneDrawTest, PictureHangsUprightAndUndistortedBelowItsLine)
{
    // 90 x 80 pixels on a line 90 long in 32-pixel tiles: cut inside its third column and top row.
    constexpr int W = 90, H = 80, LEFT = 16, LINE_Y = 100;
    CZelPointer<CZelImage> image = makePicture(W, H, [](int x, int y, unsigned char* p) {
        p[0] = static_cast<unsigned char>(40 + 2 * x);
        p[1] = static_cast<unsigned char>(40 + 2 * y);
        p[2] = 100;
        // A white square and a white pixel beside an almost white one.
        if ((x >= 50 && x < 53 && y >= 60 && y < 63) || (y == 10 && (x == 10 || x == 11)))
            p[0] = p[1] = p[2] = 255;
        if (x == 11 && y == 10)
            p[0] = 254;
    });
    CZelPointer<CZelImagePlane> plane = makePlane({LEFT, LINE_Y, 0}, {LEFT + W, LINE_Y, 0}, image);
    ASSERT_EQ(plane->getColumns(), 3);
    ASSERT_EQ(plane->getRows(), 3);
    for (bool removeWhite : {true, false})
        EXPECT_EQ(mismatches(draw(plane, removeWhite), SIZE,
                             [&](int x, int y) {
                                 const int ix = x - LEFT, iy = y - (LINE_Y - H);
                                 if (ix < 0 || ix >= W || iy < 0 || iy >= H)
                                     return BACKGROUND;
                                 const std::vector<int> p = pictureAt(image, ix, iy);
                                 return removeWhite && p == std::vector<int>{255, 255, 255} ? BACKGROUND : p;
                             }),
                  0)
            << "remove white " << removeWhite;
    // The caller's alpha test is in force again after the panel.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_LESS, 0.5f);
    draw(plane, false);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(readInteger(GL_ALPHA_TEST_FUNC), GL_LESS);
    glDisable(GL_ALPHA_TEST);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    draw(plane, true);
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(readInteger(GL_ALPHA_TEST_FUNC), GL_ALWAYS);
}

TEST_F(ImagePlaneDrawTest, NearWhiteWithinTheToleranceAndTransparentPixelsAreLeftOut)
{
    // Stripes: white, (254, 255, 255), (250, 250, 250), dark grey.
    const std::vector<std::vector<int>> stripes = {{255, 255, 255}, {254, 255, 255}, {250, 250, 250}, {20, 20, 20}};
    CZelPointer<CZelImage> image = makePicture(32, 8, [&](int x, int, unsigned char* p) {
        std::copy(stripes[static_cast<size_t>(x / 8)].begin(), stripes[static_cast<size_t>(x / 8)].end(), p);
    });
    const struct {
        int tolerance;
        bool removeWhite;
        std::vector<bool> drawn;
    } cases[] = {{0, true, {false, true, true, true}},  {1, true, {false, false, true, true}},
                 {4, true, {false, false, true, true}}, {5, true, {false, false, false, true}},
                 {5, false, {true, true, true, true}},  {0, false, {true, true, true, true}}};
    for (bool lit : {false, true}) {
        light(lit);
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "lit " << lit << ", tolerance " << c.tolerance << ", remove white "
                                            << c.removeWhite);
            const std::vector<std::vector<int>> shown = stripesShown(image, c.removeWhite, c.tolerance);
            for (size_t k = 0; k < stripes.size(); ++k)
                if (lit)
                    EXPECT_EQ(shown[k] != BACKGROUND, c.drawn[k]) << "stripe " << k;
                else
                    EXPECT_EQ(shown[k], c.drawn[k] ? stripes[k] : BACKGROUND) << "stripe " << k;
        }
    }
    light(false);

    // Stripes of alpha 0, 127, 128 and 255: red, then white. Pixels transparent in the picture are never
    // drawn, the rest opaque.
    for (const int channels : {2, 4}) {
        CZelPointer<CZelImage> image = new CZelImage();
        image->setChannels(channels);
        image->setSize(32, 8);
        for (int i = 0; i < 32 * 8; ++i) {
            unsigned char* p = image->getPixels() + i * channels;
            const int stripe = i % 32 / 8;
            p[0] = stripe == 3 ? 255 : 200;
            if (channels == 4)
                p[1] = p[2] = stripe == 3 ? 255 : 0;
            p[channels - 1] = static_cast<unsigned char>(std::vector<int>{0, 127, 128, 255}[static_cast<size_t>(stripe)]);
        }
        for (const bool removeWhite : {false, true})
            EXPECT_EQ(stripesShown(image, removeWhite),
                      (std::vector<std::vector<int>>{BACKGROUND, BACKGROUND,
                                                     channels == 4 ? RED : std::vector<int>{200, 200, 200},
                                                     removeWhite ? BACKGROUND : std::vector<int>{255, 255, 255}}))
                << channels << " channels, remove white " << removeWhite;
    }
}

TEST_F(ImagePlaneDrawTest, EnlargedPixelsStaySharpAndTexturingIsLeftAsFound)
{
    // A one-pixel checkerboard in a large picture, its top right corner seen
    // four times enlarged; seen from afar the boxes of the next test show
    // their mean.
    constexpr int N = 1024;
    CZelPointer<CZelImage> image = makePicture(N, N, [](int x, int y, unsigned char* p) {
        const bool red = (x + y) % 2 == 0;
        p[0] = red ? 200 : 0;
        p[1] = red ? 0 : 200;
        p[2] = 0;
    });
    CZelPointer<CZelImagePlane> plane = makePlane({0, N, 0}, {N, N, 0}, image);
    GLuint own = 0;
    glGenTextures(1, &own);
    glBindTexture(GL_TEXTURE_2D, own);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(N - 32, N, N - 32, N, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    EXPECT_EQ(mismatches(draw(plane, false), SIZE,
                         [&](int x, int y) { return pictureAt(image, N - 32 + x / 4, N - 32 + y / 4); }),
              0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(readInteger(GL_TEXTURE_BINDING_2D), static_cast<int>(own));
    glDeleteTextures(1, &own);
}

TEST_F(ImagePlaneDrawTest, WindowFramesDrawCoarseTilesAtOnceAndFinerOnesAsTheyCome)
{
    // 1024 pixels square: levels 3 to 1 are read at once, level 0 on the
    // tile workers. Each 2 x 2 box holds two white pixels and two dark ones.
    constexpr int N = 1024;
    CZelPointer<CZelImage> image = makePicture(N, N, [](int x, int y, unsigned char* p) {
        p[0] = p[1] = p[2] = x % 2 == 0 ? 255 : 40;
    });
    CZelPointer<CZelImagePlane> plane = makePlane({0, N, 0}, {N, N, 0}, image);
    CPyramidMemory& memory = CPyramidMemory::getInstance();
    memory.setSynchronous(false);
    // Draws until nothing is missing; returns the frames it took.
    const auto settle = [&](std::vector<unsigned char>& rgba) {
        int frames = 0;
        do {
            const uint64_t seen = memory.getProgress();
            rgba = draw(plane, plane->getRemoveWhite());
            ++frames;
            if (memory.getMissing() > 0)
                memory.waitForProgress(seen, 5.0);
        } while (memory.getMissing() > 0 && frames < 100);
        return frames;
    };
    std::vector<unsigned char> rgba = draw(plane, true);
    EXPECT_GT(memory.getMissing(), 0);
    // A coarser level stands in at once: the dark of the boxes, white left out.
    EXPECT_EQ(windowAt(rgba, 64, 64), (std::vector<int>{40, 40, 40}));
    settle(rgba);
    EXPECT_EQ(mismatches(rgba, SIZE,
                         [&](int x, int y) {
                             const std::vector<int> p = pictureAt(image, x, N - SIZE + y);
                             return p[0] == 255 ? BACKGROUND : p;
                         }),
              0);

    // Far away, white kept: the coarse levels are made anew on a worker and
    // the old ones stand in meanwhile; then the boxes show their mean.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 8 * N, 0, 8 * N, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    settle(rgba);
    EXPECT_EQ(windowAt(rgba, 8, 8), (std::vector<int>{40, 40, 40}));
    plane->setRemoveWhite(false);
    rgba = draw(plane, false);
    EXPECT_EQ(windowAt(rgba, 8, 8), (std::vector<int>{40, 40, 40}));
    EXPECT_GT(memory.getMissing(), 0);
    settle(rgba);
    EXPECT_EQ(windowAt(rgba, 8, 8), (std::vector<int>{148, 148, 148}));
}

TEST_F(ImagePlaneDrawTest, LevelsMeetWithoutCracksAlongAFenceSeenAtAnAngle)
{
    // A long dark fence receding from the eye: its near end drawn from
    // full-resolution tiles, its far end from ever coarser ones; across
    // every window row it covers, no background shows between its ends.
    constexpr int W = 4096, H = 256;
    CZelPointer<CZelImage> image = makePicture(W, H, [](int x, int y, unsigned char* p) {
        p[0] = static_cast<unsigned char>(60 + x % 7);
        p[1] = static_cast<unsigned char>(30 + y % 5);
        p[2] = 20;
    });
    CZelPointer<CZelImagePlane> plane = makePlane({0, H, 0}, {W, H, 0}, image);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 1.0, 20000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(-60.0, H / 2.0, 120.0, 600.0, H / 2.0, 0.0, 0.0, 1.0, 0.0);
    const std::vector<unsigned char> rgba = draw(plane, true);
    glLoadIdentity();
    int rows = 0, cracks = 0;
    for (int y = 0; y < SIZE; ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < SIZE; ++x)
            if (windowAt(rgba, x, y) != BACKGROUND) {
                first = first < 0 ? x : first;
                last = x;
            }
        if (first < 0)
            continue;
        ++rows;
        for (int x = first; x <= last; ++x)
            cracks += windowAt(rgba, x, y) == BACKGROUND;
    }
    EXPECT_GT(rows, 40);
    EXPECT_EQ(cracks, 0);
}

TEST_F(ImagePlaneDrawTest, RisingLineKeepsTheVerticalPixelSize)
{
    // A line rising 60 over 80 is 100 long, one unit per pixel: every 6-pixel
    // stripe is 6 units high at every column, hanging from the line there.
    constexpr int W = 100, H = 24, STRIPE = 6;
    CZelPointer<CZelImage> image = makePicture(W, H, [&](int, int y, unsigned char* p) {
        const std::vector<int>& c = (y / STRIPE) % 2 == 0 ? RED : GREEN;
        std::copy(c.begin(), c.end(), p);
    });
    CZelPointer<CZelImagePlane> plane = makePlane({10, 30, 0}, {90, 90, 0}, image);
    EXPECT_DOUBLE_EQ(plane->getHeight(), 24.0);
    int checked = 0;
    EXPECT_EQ(mismatches(draw(plane, true), SIZE,
                         [&](int x, int y) {
                             const double below = 30 + 0.75 * (x + 0.5 - 10) - (y + 0.5), stripe = below / STRIPE;
                             // Pixels whose centre lies near a stripe boundary could go either way.
                             // Filtering blends the texels beside a boundary.
                             if (x < 12 || x >= 88 || std::fabs(stripe - std::round(stripe)) * STRIPE < 1.0)
                                 return std::vector<int>();
                             ++checked;
                             if (below <= 0.0 || below >= H)
                                 return BACKGROUND;
                             return (H / STRIPE - 1 - static_cast<int>(stripe)) % 2 == 0 ? RED : GREEN;
                         }),
              0);
    EXPECT_GT(checked, 3000);
}
