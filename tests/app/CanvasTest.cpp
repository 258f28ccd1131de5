// Painting on a transparent canvas. Opaque canvases (the splash, the help
// pictures) and the tool icons are looked at on screen by the GUI tests.
#include "CMorCanvas.h"

#include <gtest/gtest.h>

TEST(Canvas, FillsOnATransparentCanvasKeepTheirColourAndCarryTheirCoverage)
{
    CMorCanvas canvas(4, 4);
    EXPECT_EQ(canvas.depth(), 4);
    EXPECT_EQ(canvas.alpha(0, 0), 0);
    canvas.fillRect(0, 0, 2, 4, {200, 40, 20}, 0.5);
    // Half opacity over nothing: the colour itself, half covering; not
    // darkened towards the black of the empty pixels.
    const CMorCanvas::Colour half = canvas.pixel(0, 0);
    EXPECT_EQ(half.r, 200);
    EXPECT_EQ(half.g, 40);
    EXPECT_EQ(canvas.alpha(0, 0), 128);
    // An opaque fill over it covers it; a half fill of another colour over
    // the half-covered pixel mixes the two by their weights.
    canvas.fillRect(0, 0, 1, 4, {0, 0, 255});
    EXPECT_EQ(canvas.pixel(0, 1).b, 255);
    EXPECT_EQ(canvas.alpha(0, 1), 255);
    canvas.fillRect(1, 0, 1, 4, {0, 200, 0}, 0.5);
    EXPECT_NEAR(canvas.alpha(1, 0), 191, 1);
    EXPECT_NEAR(canvas.pixel(1, 0).r, 200.0 / 3, 1);
    EXPECT_NEAR(canvas.pixel(1, 0).g, 40.0 / 3 + 200.0 * 2 / 3, 1);
    EXPECT_EQ(canvas.alpha(3, 3), 0);
}
