// Painting on transparent and opaque canvases.
#include "CMorArtwork.h"
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

TEST(Canvas, OpaqueCanvasBlendsOverItsBackground)
{
    CMorCanvas canvas(2, 2, {255, 255, 255});
    EXPECT_EQ(canvas.depth(), 3);
    canvas.fillRect(0, 0, 1, 1, {0, 0, 0}, 0.5);
    EXPECT_EQ(canvas.pixel(0, 0).r, 128);
    EXPECT_EQ(canvas.alpha(0, 0), 255);
}

TEST(Canvas, ToolIconsAreDrawnInsideTheirSquareWithATransparentBorder)
{
    const CMorCanvas icons[] = {CMorArtwork::iconOpen(),           CMorArtwork::iconSave(),
                                CMorArtwork::iconExport(),         CMorArtwork::iconCopy(),
                                CMorArtwork::iconViewParameters(), CMorArtwork::iconDiagramParameters(),
                                CMorArtwork::iconResetView()};
    for (const CMorCanvas& icon : icons) {
        ASSERT_EQ(icon.width(), 22);
        ASSERT_EQ(icon.height(), 22);
        ASSERT_EQ(icon.depth(), 4);
        int opaque = 0;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 22; ++x)
                opaque += icon.alpha(x, y) > 200;
        // Enough drawing to be seen, enough air around it to read as an icon.
        EXPECT_GT(opaque, 22 * 22 / 6);
        EXPECT_LT(opaque, 22 * 22 * 9 / 10);
    }
}
