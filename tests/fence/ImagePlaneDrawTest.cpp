// Fence panels drawn on an offscreen context with one scene unit per window
// pixel: the picture stands upright below its line, undistorted, with white
// removed or kept, and keeps its vertical pixel size on a rising line.
#include "CZelImagePlane.h"
#include "CZelPointer.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <memory>
#include <sstream>
#include <vector>

namespace {

constexpr int SIZE = 128;
const unsigned char BACKGROUND[3] = {0, 0, 90};

class ImagePlaneDrawTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_context = std::make_unique<OffscreenContext>(SIZE, SIZE);
        ASSERT_TRUE(m_context->isValid()) << m_context->getRenderer();
        glViewport(0, 0, SIZE, SIZE);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, SIZE, 0.0, SIZE, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glClearColor(BACKGROUND[0] / 255.0f, BACKGROUND[1] / 255.0f, BACKGROUND[2] / 255.0f, 1.0f);
    }

    void TearDown() override
    {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        m_context.reset();
    }

    // Builds a panel (quietly) and draws it alone.
    std::vector<unsigned char> draw(CZelImagePlane* plane, bool removeWhite)
    {
        plane->setRemoveWhite(removeWhite);
        glClear(GL_COLOR_BUFFER_BIT);
        plane->render();
        return m_context->readPixels();
    }

    std::unique_ptr<OffscreenContext> m_context;
};

CZelImagePlane* makePlane(int exponent, const CZelVec3d& from, const CZelVec3d& to, CZelImage* image)
{
    CZelPointer<CZelLine3d> line = new CZelLine3d();
    line->setSize(2);
    *line->getPoint(0) = from;
    *line->getPoint(1) = to;
    CZelImagePlane* plane = new CZelImagePlane();
    std::ostringstream quiet;
    std::streambuf* previous = std::cout.rdbuf(quiet.rdbuf());
    plane->setTextureSizeExponent(exponent);
    plane->setLine(line);
    plane->setImage(image);
    std::cout.rdbuf(previous);
    return plane;
}

GLint readAlphaFunction()
{
    GLint function = 0;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &function);
    return function;
}

std::vector<int> at(const std::vector<unsigned char>& rgba, int x, int y)
{
    const unsigned char* p = &rgba[(static_cast<size_t>(y) * SIZE + static_cast<size_t>(x)) * 4];
    return {p[0], p[1], p[2]};
}

} // namespace

TEST_F(ImagePlaneDrawTest, PictureHangsUprightAndUndistortedBelowItsLine)
{
    // 90 x 80 pixels on a line 90 long: one unit per pixel, 32-pixel tiles,
    // so the picture is cut inside its third column and its top tile row.
    constexpr int W = 90, H = 80, LEFT = 16, LINE_Y = 100;
    CZelPointer<CZelImage> image = new CZelImage();
    image->setChannels(3);
    image->setSize(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            unsigned char* p = image->getPixels() + (static_cast<size_t>(y) * W + x) * 3;
            p[0] = static_cast<unsigned char>(40 + 2 * x);
            p[1] = static_cast<unsigned char>(40 + 2 * y);
            p[2] = 100;
        }
    auto set = [&](int x, int y, int r, int g, int b) {
        unsigned char* p = image->getPixels() + (static_cast<size_t>(y) * W + x) * 3;
        p[0] = static_cast<unsigned char>(r);
        p[1] = static_cast<unsigned char>(g);
        p[2] = static_cast<unsigned char>(b);
    };
    for (int y = 60; y < 63; ++y)
        for (int x = 50; x < 53; ++x)
            set(x, y, 255, 255, 255);
    set(10, 10, 255, 255, 255);
    set(11, 10, 254, 255, 255);
    CZelPointer<CZelImagePlane> plane = makePlane(5, {LEFT, LINE_Y, 0}, {LEFT + W, LINE_Y, 0}, image);
    ASSERT_EQ(plane->getColumns(), 3);
    ASSERT_EQ(plane->getRows(), 3);

    for (bool removeWhite : {true, false}) {
        const std::vector<unsigned char> rgba = draw(plane, removeWhite);
        int wrong = 0;
        for (int y = 0; y < SIZE; ++y)
            for (int x = 0; x < SIZE; ++x) {
                const int ix = x - LEFT;
                const int iy = y - (LINE_Y - H);
                std::vector<int> expected(BACKGROUND, BACKGROUND + 3);
                if (ix >= 0 && ix < W && iy >= 0 && iy < H) {
                    const unsigned char* p = image->getPixels() + (static_cast<size_t>(iy) * W + ix) * 3;
                    const bool white = p[0] == 255 && p[1] == 255 && p[2] == 255;
                    if (!(white && removeWhite))
                        expected = {p[0], p[1], p[2]};
                }
                if (at(rgba, x, y) != expected && ++wrong <= 5)
                    ADD_FAILURE() << "remove white " << removeWhite << ": window pixel " << x << ", " << y;
            }
        EXPECT_EQ(wrong, 0);
    }
    // The caller's alpha test is in force again after the panel.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_LESS, 0.5f);
    draw(plane, false);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(readAlphaFunction(), GL_LESS);
    glDisable(GL_ALPHA_TEST);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    draw(plane, true);
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(readAlphaFunction(), GL_ALWAYS);
}

TEST_F(ImagePlaneDrawTest, ReleasedImagesDrawTheSamePicture)
{
    CZelPointer<CZelImage> image = new CZelImage();
    image->setChannels(3);
    image->setSize(70, 50);
    for (size_t i = 0; i < image->getByteCount(); ++i)
        image->getPixels()[i] = static_cast<unsigned char>(i * 7 % 251);
    CZelPointer<CZelImagePlane> kept = makePlane(5, {10, 90, 0}, {80, 90, 0}, image);
    CZelPointer<CZelImagePlane> released = makePlane(5, {10, 90, 0}, {80, 90, 0}, image);
    released->releaseImages();
    EXPECT_EQ(released->getImage(), nullptr);
    EXPECT_EQ(released->getTileCount(0), 0);
    EXPECT_EQ(draw(released, false), draw(kept, false));
    // Drawn once, the tiles' pixels live in GL only; the picture stays the same.
    EXPECT_EQ(draw(released, false), draw(kept, false));
}

TEST_F(ImagePlaneDrawTest, PictureWiderThanOneSheetShowsEveryColumnInItsPlace)
{
    // 4160 x 32 pixels in 32-pixel tiles: 130 columns, more than one sheet
    // holds. Squeezed into the 128-pixel window, window column x shows
    // picture column (x + 0.5) * 32.5, whichever sheet holds it.
    constexpr int W = 4160, H = 32;
    CZelPointer<CZelImage> image = new CZelImage();
    image->setChannels(3);
    image->setSize(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            unsigned char* p = image->getPixels() + (static_cast<size_t>(y) * W + x) * 3;
            p[0] = static_cast<unsigned char>(x % 251);
            p[1] = static_cast<unsigned char>(x / 251 * 8 + y % 8);
            p[2] = static_cast<unsigned char>(y * 7);
        }
    CZelPointer<CZelImagePlane> plane = makePlane(5, {0, H, 0}, {W, H, 0}, image);
    plane->releaseImages();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, W, 0.0, SIZE, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);

    GLuint own = 0;
    glGenTextures(1, &own);
    glBindTexture(GL_TEXTURE_2D, own);
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<unsigned char> rgba = draw(plane, false);
        int wrong = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < SIZE; ++x) {
                const int ix = static_cast<int>((x + 0.5) * W / SIZE);
                const unsigned char* p = image->getPixels() + (static_cast<size_t>(y) * W + ix) * 3;
                if (at(rgba, x, y) != std::vector<int>{p[0], p[1], p[2]} && ++wrong <= 5)
                    ADD_FAILURE() << "pass " << pass << ": window pixel " << x << ", " << y;
            }
        EXPECT_EQ(wrong, 0);
        // The panel leaves texturing as it found it.
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(bound, static_cast<GLint>(own));
    }
    glDeleteTextures(1, &own);
}

TEST_F(ImagePlaneDrawTest, RisingLineKeepsTheVerticalPixelSize)
{
    // A line rising 60 over 80 is 100 long: 100 pixels wide gives one unit
    // per pixel along the line, so every 6-pixel stripe is 6 units high at
    // every column, hanging from the line at that column's height.
    constexpr int W = 100, H = 24, STRIPE = 6;
    const double x0 = 10.0, y0 = 30.0, slope = 0.75;
    CZelPointer<CZelImage> image = new CZelImage();
    image->setChannels(3);
    image->setSize(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            unsigned char* p = image->getPixels() + (static_cast<size_t>(y) * W + x) * 3;
            const bool red = (y / STRIPE) % 2 == 0;
            p[0] = red ? 200 : 0;
            p[1] = red ? 0 : 200;
            p[2] = 0;
        }
    CZelPointer<CZelImagePlane> plane = makePlane(5, {x0, y0, 0}, {x0 + 80, y0 + 60, 0}, image);
    EXPECT_DOUBLE_EQ(plane->getHeight(), 24.0);
    const std::vector<unsigned char> rgba = draw(plane, true);

    int checked = 0, wrong = 0;
    for (int x = 12; x < 88; ++x) {
        const double top = y0 + slope * (x + 0.5 - x0);
        for (int y = 0; y < SIZE; ++y) {
            const double below = top - (y + 0.5);
            const double stripe = below / STRIPE;
            // Pixels whose centre lies near a stripe boundary could go either way.
            if (std::fabs(stripe - std::round(stripe)) * STRIPE < 0.3)
                continue;
            std::vector<int> expected(BACKGROUND, BACKGROUND + 3);
            if (below > 0.0 && below < H) {
                const int fromTop = static_cast<int>(below / STRIPE);
                const bool red = ((H / STRIPE - 1 - fromTop) % 2) == 0;
                expected = red ? std::vector<int>{200, 0, 0} : std::vector<int>{0, 200, 0};
            }
            ++checked;
            if (at(rgba, x, y) != expected && ++wrong <= 5)
                ADD_FAILURE() << "window pixel " << x << ", " << y << " (" << below << " below the line)";
        }
    }
    EXPECT_GT(checked, 5000);
    EXPECT_EQ(wrong, 0);
}

TEST_F(ImagePlaneDrawTest, LitPanelsAreShadedByTheDirectionTheyFace)
{
    // Light from the viewer's side (+z), two-sided as in the view. One panel
    // faces the light; the other is turned 75 degrees away about the vertical.
    CZelPointer<CZelImage> image = new CZelImage();
    image->setChannels(3);
    image->setSize(32, 32);
    image->fillColor(200, 200, 200);
    const double turn = 75.0 * M_PI / 180.0;
    CZelPointer<CZelImagePlane> facing = makePlane(5, {10, 100, 0}, {50, 100, 0}, image);
    CZelPointer<CZelImagePlane> turned =
        makePlane(5, {70, 100, 0}, {70 + 40 * std::cos(turn), 100, -40 * std::sin(turn)}, image);

    // Deep enough for the turned panel.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, SIZE, 0.0, SIZE, -100.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    const GLfloat position[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glEnable(GL_LIGHT0);
    glClear(GL_COLOR_BUFFER_BIT);
    facing->render();
    turned->render();
    const std::vector<unsigned char> rgba = m_context->readPixels();
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);

    const int bright = at(rgba, 30, 80)[0];
    const int dim = at(rgba, 75, 80)[0];
    EXPECT_GE(bright, 190);
    EXPECT_LT(dim, bright - 40);
    // Lit, not merely ambient (about 40): the turned panel gets cos 75 of the light.
    EXPECT_GT(dim, 70);
}
