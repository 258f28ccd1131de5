// A measuring axis between two points: the axis line, major ticks every power
// of ten that suits its length, ten minor ticks per major step, an arrow head
// at the second point and camera-facing distance labels at the major ticks.
// Map labels instead put the ticks at round values (1, 2 or 5 times a power
// of ten) of a quantity that runs linearly from the first point to the second,
// and label them with those values.
#pragma once

#include "CZelBillboard.h"
#include "CZelCamera.h"
#include "CZelFont.h"
#include "CZelPointer.h"
#include "CZelShape.h"
#include "CZelText.h"
#include "CZelVec3d.h"

#include <cstdint>
#include <string>
#include <vector>

class CZelScaleIndicator : public CZelShape
{
    ZEL_DECLARE_CLASS(CZelScaleIndicator, CZelShape)
public:
    CZelScaleIndicator();
    ~CZelScaleIndicator() override = default;

    // Recomputes the ticks from the current points on every draw.
    void doCreateGeometry() override;

    void setFirstPoint(double x, double y, double z) { m_firstPoint.setComponents(x, y, z); }
    void setSecondPoint(double x, double y, double z) { m_secondPoint.setComponents(x, y, z); }
    const CZelVec3d& getFirstPoint() const { return m_firstPoint; }
    const CZelVec3d& getSecondPoint() const { return m_secondPoint; }
    // A label at every n-th major tick, counting from the first point;
    // values below 1 label every tick.
    void setLabelInterval(int n) { m_labelInterval = n < 1 ? 1 : n; }
    int getLabelInterval() const { return m_labelInterval; }
    // Across: extra distance of the labels beyond the tick ends, its sign
    // picking the side. Along is kept but not used for drawing.
    void setTextOffset(double across, double along);
    void getTextOffset(double& across, double& along) const;
    // Adds a reference to the font (shared with the label text); null draws
    // no labels.
    void setFont(CZelFont* font);
    // Borrowed.
    CZelFont* getFont() const { return m_font; }
    // Adds a reference to the camera the labels turn toward.
    void setCamera(CZelCamera* camera);
    // Borrowed.
    CZelCamera* getCamera() const { return m_camera; }
    // The values at the two points, in the units the labels count in (the
    // axis may be drawn stretched); without them they are 0 and the length.
    void setValues(double first, double second);
    void clearValues() { m_hasValues = false; }
    // Labels the values themselves at round steps; the label interval is
    // then raised, at every draw, as far as keeps the labels apart on the
    // screen.
    void setMapLabels(bool on) { m_mapLabels = on; }
    bool getMapLabels() const { return m_mapLabels; }
    // The label interval of the last draw.
    int getLabelIntervalDrawn() const { return m_labelIntervalDrawn; }
    // The axis as it is drawn: its lines as pairs of points (the axis, the
    // major and minor ticks, the arrow head) and, at every major tick, a
    // label's anchor, its whole step number and its text. False, with
    // nothing, for an axis without a direction or a range. Sets the tick
    // sizes.
    struct Layout
    {
        std::vector<CZelVec3d> lines;
        std::vector<CZelVec3d> anchors;
        std::vector<double> steps;
        std::vector<std::string> labels;
    };
    bool layOut(Layout& layout);
    // Whether the label of this step number shows at this label interval.
    static bool isLabelled(double step, int interval);
    // Half lengths of the ticks of the last draw.
    double getTickSize() const { return m_tickSize; }
    double getMinorTickSize() const { return m_minorTickSize; }

    // The major step of an axis of this length is 10 to this power: the
    // largest power from 10^8 down to 10^-2 that the length exceeds, else
    // 10^-3. Longer axes get larger steps, so that no axis has more than
    // 10000 major ticks. The minor step is a tenth of the major one.
    static int stepExponent(double length);
    static double powerOfTen(int exponent);
    // The label of a distance: six significant digits, no trailing zeros.
    static std::string formatLabel(double distance);
    // The step of map labels for a range: the smallest 1, 2 or 5 times a
    // power of ten that divides it into at most ten steps.
    static double mapStep(double range);
    // A map label: as many decimals as the step needs, none from 1 on.
    static std::string formatMapLabel(double value, double step);

private:
    // The smallest label interval, from the chosen one on, at which the
    // labels (anchors, their whole step numbers, texts) lie apart on the screen
    // through the current matrices.
    int separatingInterval(const std::vector<CZelVec3d>& anchors, const std::vector<double>& steps,
                           const std::vector<std::string>& labels);

    CZelVec3d m_firstPoint;
    CZelVec3d m_secondPoint;
    double m_tickSize = 0.0;
    int32_t m_labelInterval = 1;
    double m_minorTickSize = 0.0;
    double m_textOffsetAcross = 0.0;
    double m_textOffsetAlong = 0.0;
    CZelPointer<CZelFont> m_font;
    CZelPointer<CZelText> m_text;
    CZelPointer<CZelBillboard> m_billboard;
    CZelPointer<CZelCamera> m_camera;
    bool m_hasValues = false;
    double m_values[2] = {0.0, 0.0};
    bool m_mapLabels = false;
    int m_labelIntervalDrawn = 1;
};
