// Measuring axes drawn in GL feedback mode: axis, tick and arrow lines in scene
// units, and the labels a recording font is asked to draw, with where.
#include "CZelFont.h"
#include "CZelPointer.h"
#include "CZelScaleIndicator.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct Label {
    std::string text;
    double x, y, z;
};

// Measures 2 units a character and 3 high (times scale); records each string drawn and its origin.
class RecordingFont : public CZelFont
{
public:
    RecordingFont() : CZelFont("") {}
    void getSize(double& width, double& height, double& depth) override
    {
        width = 2.0 * scale * static_cast<double>(getText().size());
        height = 3.0 * scale;
        depth = 0.0;
    }
    double scale = 1.0;
    void doCreateGeometry() override
    {
        double m[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        drawn.push_back({getText(), m[12], m[13], m[14]});
    }
    std::vector<Label> drawn;
};

struct Segment {
    CZelVec3d a, b;
    double length() const { return (b - a).length(); }
};

class ScaleIndicatorTest : public OffscreenGLTest
{
protected:
    void SetUp() override
    {
        OffscreenGLTest::SetUp();
        axis->setFont(font);
    }

    // Draws the axis in feedback mode in an orthographic box of half size `box`
    // around `centre`; the lines come back in scene units.
    std::vector<Segment> drawLines(const CZelVec3d& centre, double box)
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(centre.x() - box, centre.x() + box, centre.y() - box, centre.y() + box, -box, box);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslated(0.0, 0.0, -centre.z());
        std::vector<GLfloat> buffer(1 << 20);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        font->drawn.clear();
        axis->render();
        const GLint count = glRenderMode(GL_RENDER);
        EXPECT_GE(count, 0) << "feedback buffer too small";
        auto scene = [&](size_t i) {
            return CZelVec3d(centre.x() - box + buffer[i] / 32.0 * box, centre.y() - box + buffer[i + 1] / 32.0 * box,
                             centre.z() + box * (1.0 - 2.0 * buffer[i + 2]));
        };
        std::vector<Segment> lines;
        for (size_t i = 0; i < static_cast<size_t>(count);) {
            const GLfloat token = buffer[i++];
            if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN)
                lines.push_back({scene(i), scene(i + 3)});
            i += token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN ? 6
                 : token == GL_POLYGON_TOKEN                           ? 1 + 3 * static_cast<size_t>(buffer[i])
                 : token == GL_PASS_THROUGH_TOKEN                      ? 1
                                                                       : 3;
        }
        return lines;
    }

    static std::vector<Segment> withLength(const std::vector<Segment>& lines, double length, double tolerance = 1e-3)
    {
        std::vector<Segment> found;
        for (const Segment& s : lines)
            if (std::fabs(s.length() - length) < tolerance)
                found.push_back(s);
        return found;
    }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const Label& label : font->drawn)
            result.push_back(label.text);
        return result;
    }

    CZelPointer<CZelScaleIndicator> axis{new CZelScaleIndicator()};
    CZelPointer<RecordingFont> font{new RecordingFont()};
};

constexpr double TOLERANCE = 1e-3;

bool near(const CZelVec3d& a, const CZelVec3d& b)
{
    return (a - b).length() < TOLERANCE;
}

} // namespace

TEST_F(ScaleIndicatorTest, AxisOf250HasMajorsEveryHundredMinorsEveryTenAndAnArrow)
{
    axis->setSecondPoint(250, 0, 0);
    const std::vector<Segment> lines = drawLines({125, 0, 0}, 150);
    ASSERT_EQ(lines.size(), 1u + 3u + 25u + 2u);
    EXPECT_TRUE(near(lines[0].a, {0, 0, 0}) && near(lines[0].b, {250, 0, 0}));
    // Ticks run across the axis along z, from the -z end to the +z end.
    const std::vector<Segment> majors = withLength(lines, 10.0), minors = withLength(lines, 5.0);
    ASSERT_EQ(majors.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(near(majors[i].a, {100.0 * i, 0, -5}) && near(majors[i].b, {100.0 * i, 0, 5})) << i;
    ASSERT_EQ(minors.size(), 25u);
    for (size_t i = 0; i < 25; ++i)
        EXPECT_NEAR(minors[i].a.x(), 10.0 * static_cast<double>(i), TOLERANCE);
    // The arrow head: 5 back along the axis and 5 across on either side.
    const Segment &left = lines[lines.size() - 2], &right = lines[lines.size() - 1];
    EXPECT_TRUE(near(left.a, {245, 0, -5}) && near(left.b, {250, 0, 0}));
    EXPECT_TRUE(near(right.a, {250, 0, 0}) && near(right.b, {245, 0, 5}));

    // Labels centred on the ends of the major ticks on the +z side.
    ASSERT_EQ(texts(), (std::vector<std::string>{"0", "100", "200"}));
    for (size_t i = 0; i < 3; ++i) {
        const Label& label = font->drawn[i];
        EXPECT_DOUBLE_EQ(label.x, 100.0 * static_cast<double>(i) - static_cast<double>(label.text.size()));
        EXPECT_DOUBLE_EQ(label.y, -1.5);
        EXPECT_DOUBLE_EQ(label.z, 5.0);
    }
}

TEST_F(ScaleIndicatorTest, MajorStepIsThePowerOfTenTheLengthExceeds)
{
    // Exactly 100 does not exceed 10^2: majors every 10, minors every 1.
    axis->setSecondPoint(0, 0, 100);
    std::vector<Segment> lines = drawLines({0, 0, 50}, 60);
    const std::vector<Segment> majors = withLength(lines, 1.0);
    ASSERT_EQ(majors.size(), 10u);
    // An axis along +z ticks along +x.
    EXPECT_TRUE(near(majors[1].a, {0.5, 0, 10})) << majors[1].a.x();
    EXPECT_EQ(withLength(lines, 0.5).size(), 100u);
    ASSERT_EQ(font->drawn.size(), 10u);
    EXPECT_EQ(font->drawn[9].text, "90");

    // 0.005 exceeds none of 10^8 .. 10^-2: the step is 10^-3.
    axis->setSecondPoint(0.005, 0, 0);
    lines = drawLines({0.0025, 0, 0}, 0.004);
    const std::vector<Segment> small = withLength(lines, 0.0001, 1e-6);
    ASSERT_GE(small.size(), 5u);
    EXPECT_NEAR(small[3].a.x(), 0.003, 1e-6);
    ASSERT_GE(font->drawn.size(), 5u);
    EXPECT_EQ(font->drawn[3].text, "0.003");

    // Beyond 10^12 the step grows with the length: at most 10000 major ticks, never an endless loop.
    const std::pair<double, int> exponents[] = {{250.0, 2}, {0.01, -3}, {1e12, 8}, {1e20, 16}};
    for (const auto& [length, exponent] : exponents)
        EXPECT_EQ(CZelScaleIndicator::stepExponent(length), exponent) << length;
}

TEST_F(ScaleIndicatorTest, LabelIntervalAndTextOffsetMoveOnlyTheLabels)
{
    axis->setSecondPoint(550, 0, 0);
    axis->setLabelInterval(2);
    EXPECT_EQ(withLength(drawLines({275, 0, 0}, 300), 10.0).size(), 6u);
    EXPECT_EQ(texts(), (std::vector<std::string>{"0", "200", "400"}));
    // An interval below 1 would divide by zero: every tick is labelled.
    axis->setLabelInterval(0);
    EXPECT_EQ(axis->getLabelInterval(), 1);
    // Offsets push the labels beyond the tick ends on the side of their sign (n is -z here).
    for (double across : {-3.0, 3.0}) {
        axis->setTextOffset(across, 7.0);
        drawLines({275, 0, 0}, 300);
        ASSERT_EQ(font->drawn.size(), 6u);
        EXPECT_DOUBLE_EQ(font->drawn[1].z, across < 0 ? 8.0 : -8.0);
        EXPECT_DOUBLE_EQ(font->drawn[1].x, 100.0 - 3.0);
    }
}

TEST_F(ScaleIndicatorTest, DownwardAxisTicksAlongZAndAxisWithoutLengthDrawsNothing)
{
    axis->setFirstPoint(0, 100, 0);
    axis->setSecondPoint(0, 0, 0);
    const std::vector<Segment> majors = withLength(drawLines({0, 50, 0}, 60), 1.0);
    ASSERT_EQ(majors.size(), 10u);
    EXPECT_TRUE(near(majors[1].a, {0, 90, 0.5}));
    for (double end : {100.0, static_cast<double>(NAN)}) {
        axis->setSecondPoint(0, end, 0);
        EXPECT_TRUE(drawLines({0, 50, 0}, 60).empty());
        EXPECT_TRUE(font->drawn.empty());
    }
}

TEST_F(ScaleIndicatorTest, MapLabelsShowRoundValuesAndKeepApart)
{
    // Eastings 512100 to 514900 along 2800 units: steps of 500 at their
    // multiples, labelled with the values; then labels 720 wide (and 180
    // high) would crowd steps 500 apart: every second one is left out.
    axis->setSecondPoint(2800, 0, 0);
    axis->setValues(512100.0, 514900.0);
    axis->setMapLabels(true);
    const std::vector<Segment> majors = withLength(drawLines({1400, 0, 0}, 1500), 50.0);
    ASSERT_EQ(majors.size(), 5u);
    EXPECT_NEAR(majors[0].a.x(), 400.0, TOLERANCE);
    EXPECT_EQ(texts(), (std::vector<std::string>{"512500", "513000", "513500", "514000", "514500"}));
    font->scale = 60.0;
    drawLines({1400, 0, 0}, 1500);
    EXPECT_EQ(texts(), (std::vector<std::string>{"513000", "514000"}));
    EXPECT_EQ(axis->getLabelIntervalDrawn(), 2);

    // Elevations counted downwards, drawn stretched three times: the values stay true.
    font->scale = 1.0;
    axis->setFirstPoint(0, 1500, 0);
    axis->setSecondPoint(0, -900, 0);
    axis->setValues(500.0, -300.0);
    drawLines({0, 300, 0}, 1300);
    ASSERT_EQ(texts(), (std::vector<std::string>{"500", "400", "300", "200", "100", "0", "-100", "-200", "-300"}));
    EXPECT_NEAR(font->drawn[1].y - font->drawn[0].y, -300.0, TOLERANCE);
}

TEST(ScaleIndicatorLabels, MapStepsAreRoundAndLabelsWrittenPlainly)
{
    const std::pair<double, double> steps[] = {{10, 1}, {11, 2}, {0.3, 0.05}};
    for (const auto& step : steps)
        EXPECT_DOUBLE_EQ(CZelScaleIndicator::mapStep(step.first), step.second) << step.first;
    // Map values with the digits of their step; distances like a default stream.
    const std::tuple<double, double, const char*> mapLabels[] = {
        {-6000.0, 500.0, "-6000"}, {0.15, 0.05, "0.15"}, {-0.0, 0.2, "0.0"}};
    for (const auto& [value, step, text] : mapLabels)
        EXPECT_EQ(CZelScaleIndicator::formatMapLabel(value, step), text) << value;
    const std::pair<double, const char*> distances[] = {{0.5, "0.5"}, {123456.7, "123457"}, {0.1 + 0.2, "0.3"}};
    for (const auto& [distance, text] : distances)
        EXPECT_EQ(CZelScaleIndicator::formatLabel(distance), text) << distance;
}
