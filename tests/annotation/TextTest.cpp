// Fonts and texts offscreen: extents, the string a text hands to its font,
// pixels of drawn text, Latin-1 bytes, and a font file that cannot be read.
#include "CMorFontLookup.h"
#include "CZelPointer.h"
#include "CZelPolygonalFont.h"
#include "CZelText.h"
#include "CZelVectorFont.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

namespace {

const std::string& fontFile()
{
    static const std::string file = CMorFontLookup::findLabelFontFile();
    return file;
}

class TextTest : public OffscreenGLTest
{
protected:
    void SetUp() override
    {
        OffscreenGLTest::SetUp();
        ASSERT_FALSE(fontFile().empty()) << "no TrueType font installed";
        font = new CZelPolygonalFont(fontFile());
        ASSERT_TRUE(font->isLoaded());
    }

    CZelPointer<CZelPolygonalFont> font;
};

// Bounding box of the pixels brighter than black, in window coordinates.
struct PixelBox {
    int count = 0;
    int left = 1 << 30, bottom = 1 << 30, right = -1, top = -1;
};

PixelBox litPixels(const OffscreenContext& context)
{
    const std::vector<unsigned char> rgba = context.readPixels();
    PixelBox box;
    for (int i = 0; i < context.width() * context.height(); ++i) {
        const int x = i % context.width(), y = i / context.width();
        if (rgba[static_cast<size_t>(i) * 4] >= 128) {
            ++box.count;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.bottom = std::min(box.bottom, y);
            box.top = std::max(box.top, y);
        }
    }
    return box;
}

// A pixel-exact orthographic view of the whole context, white on black, unlit.
void pixelView(const OffscreenContext& context)
{
    glViewport(0, 0, context.width(), context.height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, context.width(), 0.0, context.height(), -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
}

} // namespace

TEST_F(TextTest, ExtentsFollowTheSize)
{
    font->setText("1250");
    font->setSize(1.0);
    double w1 = 0.0, h1 = 0.0, d1 = 0.0;
    font->getSize(w1, h1, d1);
    font->setSize(2.0);
    double w2 = 0.0, h2 = 0.0, d2 = 0.0;
    font->getSize(w2, h2, d2);
    EXPECT_DOUBLE_EQ(w2, 2.0 * w1);
    EXPECT_DOUBLE_EQ(h2, 2.0 * h1);
    // Digits stand about three quarters of an em high.
    EXPECT_GT(h1, 0.5);
    EXPECT_LT(h1, 1.0);
}

TEST_F(TextTest, SingleByteLettersOfWindowsFilesMeasureAndDrawAsTheirUtf8Twins)
{
    font->setSize(1.0);
    const auto width = [this](const std::string& text) {
        font->setText(text);
        double w = 0.0, h = 0.0, d = 0.0;
        font->getSize(w, h, d);
        font->render();
        return w;
    };
    const double utf8 = width("S\xc3\xbc" "d");
    EXPECT_GT(utf8, width("Sd"));
    EXPECT_DOUBLE_EQ(width("S\xfc" "d"), utf8);
    // A sequence cut off at the end is taken byte by byte, never read past.
    EXPECT_DOUBLE_EQ(width("ab\xc3"), width("ab\xc3\x83"));
    EXPECT_DOUBLE_EQ(width("\xe2\x82"), width("\xc3\xa2\xc2\x82"));
}

TEST_F(TextTest, TextHandsItsStringToTheFontOnlyWhenItHasOne)
{
    CZelPointer<CZelText> text = new CZelText(), fresh = new CZelText();
    text->setText("500");
    double w = 1.0, h = 1.0, d = 1.0;
    text->getSize(w, h, d);
    EXPECT_EQ(w + h, 0.0);
    font->setText("other");
    text->setFont(font);
    EXPECT_EQ(font->getText(), "other");
    text->setText("1000");
    EXPECT_EQ(font->getText(), "1000");
    // A new text draws its default string through the font.
    fresh->setFont(font);
    fresh->render();
    EXPECT_EQ(font->getText(), "Zel++");
    text->render();
    EXPECT_EQ(font->getText(), "1000");
    EXPECT_EQ(font->getReferenceCount(), 3);
}

TEST_F(TextTest, StringDrawsInsideItsMeasuredBoxAtTheTextPosition)
{
    m_context.reset(new OffscreenContext(160, 64));
    pixelView(*m_context);
    font->setSize(40.0);
    CZelPointer<CZelText> text = new CZelText();
    text->setFont(font);
    text->setText("HH");
    text->setPosition(20.0, 12.0, 0.0);
    double w = 0.0, h = 0.0, d = 0.0;
    text->getSize(w, h, d);
    text->render();

    const PixelBox box = litPixels(*m_context);
    ASSERT_GT(box.count, 200);
    // "H" stands on the baseline with little side bearing: ink fills the measured box.
    EXPECT_NEAR(box.bottom, 12, 1);
    EXPECT_NEAR(box.top + 1 - box.bottom, h, 2.0);
    EXPECT_NEAR(box.right + 1 - box.left, w, 2.0);
    EXPECT_GE(box.left, 20);
    EXPECT_LE(box.left, 26);
    // Nothing left pushed or switched on by the scaled drawing.
    EXPECT_EQ(readInteger(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextTest, MissingFontDrawsAndMeasuresNothing)
{
    pixelView(*m_context);

    // A system without fonts: the lookup answers an empty path.
    CMorFontLookup noFonts([] { return std::string(); });
    std::ostringstream log;
    const std::string none = noFonts.getLabelFontFile(log);
    for (const std::string& file : {none, std::string("/nonexistent/font.ttf")}) {
        CZelPointer<CZelPolygonalFont> font = new CZelPolygonalFont(file);
        EXPECT_FALSE(font->isLoaded());
        font->setSize(30.0);
        CZelPointer<CZelText> text = new CZelText();
        text->setFont(font);
        text->setText("HH");
        text->setPosition(5.0, 5.0, 0.0);
        text->render();
        double w = 1.0, h = 1.0, d = 1.0;
        text->getSize(w, h, d);
        EXPECT_EQ(w + h + d, 0.0);
    }
    EXPECT_EQ(litPixels(*m_context).count, 0);

    // A vector font has no outlines to measure.
    CZelPointer<CZelVectorFont> vector = new CZelVectorFont(fontFile());
    vector->setSize(3.0);
    double w = 7.0, h = 7.0, d = 7.0;
    vector->getSize(w, h, d);
    EXPECT_EQ(w + h + d, 0.0);
}
