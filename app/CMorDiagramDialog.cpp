// Widgets and actions of the diagram-parameters dialog.
#include "CMorDiagramDialog.h"

#include "CMorColorChooser.h"
#include "CMorMessageLine.h"
#include "CMorSettingRanges.h"
#include "CMorToolWindow.h"
#include "CMorValueInput.h"
#include "CMorView.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Spinner.H>
#include <FL/Fl_Value_Slider.H>

#include <climits>
#include <cmath>
#include <cstdint>

namespace {

const int WIDTH = 280;
// Value inputs and spinners line up here, their labels to the left.
const int FIELD_X = 160;

// Corner button geometry and label; the horizontal and vertical positions
// follow from the index (three a row, top row first).
struct Corner
{
    int x;
    int y;
    const char* label;
};
const Corner CORNERS[6] = {{100, 490, "@#3<-"}, {127, 490, "@#2<-"}, {154, 490, "@#1<-"},
                           {100, 513, "@#9<-"}, {127, 513, "@#8<-"}, {154, 513, "@#7<-"}};

CMorDiagramDialog* dialogOf(Fl_Widget* widget)
{
    return static_cast<CMorDiagramDialog*>(widget->window()->user_data());
}

void onRemoveWhite(Fl_Widget* w, void*) { dialogOf(w)->removeWhiteChanged(); }
void onBoundingBox(Fl_Widget* w, void*) { dialogOf(w)->boundingBoxChanged(); }
void onAxes(Fl_Widget* w, void*) { dialogOf(w)->axesChanged(); }
void onLineWidth(Fl_Widget* w, void*) { dialogOf(w)->lineWidthChanged(); }
void onTextSize(Fl_Widget* w, void*) { dialogOf(w)->textSizeChanged(); }
void onMargin(Fl_Widget* w, void*) { dialogOf(w)->marginChanged(); }
void onLegendMarginX(Fl_Widget* w, void*) { dialogOf(w)->legendMarginXChanged(); }
void onLegendMarginY(Fl_Widget* w, void*) { dialogOf(w)->legendMarginYChanged(); }
void onLegendSize(Fl_Widget* w, void*) { dialogOf(w)->legendSizeChanged(); }
void onWhiteTolerance(Fl_Widget* w, void*) { dialogOf(w)->whiteToleranceChanged(); }
void onLabelInterval(Fl_Widget* w, void*) { dialogOf(w)->labelIntervalChanged(); }
void onBoundingBoxColor(Fl_Widget* w, void*) { dialogOf(w)->boundingBoxColorClicked(); }
void onTextColor(Fl_Widget* w, void*) { dialogOf(w)->textColorClicked(); }
void onClose(Fl_Widget* w, void*) { dialogOf(w)->hide(); }
void onShowLegend(Fl_Widget* w, void*) { dialogOf(w)->showLegendChanged(); }
void onExaggeration(Fl_Widget* w, void*) { dialogOf(w)->exaggerationChanged(); }
void onDistanceLabels(Fl_Widget* w, void*) { dialogOf(w)->axisLabelsChosen(false); }
void onMapLabels(Fl_Widget* w, void*) { dialogOf(w)->axisLabelsChosen(true); }

void onCorner(Fl_Widget* w, void* data)
{
    const int index = static_cast<int>(reinterpret_cast<intptr_t>(data));
    dialogOf(w)->cornerChosen(index % 3, index / 3);
}

void header(int y, const char* label)
{
    Fl_Box* box = new Fl_Box(0, y, WIDTH, 20, label);
    box->box(FL_FLAT_BOX);
    box->color(41);
    box->labelsize(11);
}

void text(int x, int y, const char* label)
{
    Fl_Box* box = new Fl_Box(x, y, 130, 16, label);
    box->labelsize(11);
    box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
}

Fl_Check_Button* checkButton(int x, int y, int w, const char* label, Fl_Callback* callback)
{
    Fl_Check_Button* button = new Fl_Check_Button(x, y, w, 15, label);
    button->down_box(FL_DOWN_BOX);
    button->labelsize(11);
    button->value(1);
    button->callback(callback);
    return button;
}

Fl_Button* swatch(int x, int y, Fl_Callback* callback)
{
    Fl_Button* button = new Fl_Button(x, y, 30, 20);
    button->callback(callback);
    return button;
}

CMorValueInput* valueInput(int y, int w, const char* label, Fl_Callback* callback)
{
    CMorValueInput* input = new CMorValueInput(FIELD_X, y, w, 20, label);
    input->labelsize(11);
    input->textsize(11);
    input->range(-1e300, 1e300);
    input->callback(callback);
    return input;
}

Fl_Spinner* spinner(int y, const char* label)
{
    Fl_Spinner* spinner = new Fl_Spinner(FIELD_X, y, 50, 17, label);
    spinner->labelsize(11);
    spinner->textsize(11);
    const CMorSettingRanges::Range range = CMorSettingRanges::get(CMorSettingRanges::LABEL_INTERVAL);
    spinner->range(range.low, range.high);
    spinner->step(1);
    spinner->value(1);
    spinner->when(FL_WHEN_CHANGED);
    spinner->callback(onLabelInterval);
    return spinner;
}

// Truncated towards zero like a cast, but values beyond the int range (and
// NaN) are taken as the nearest end instead of being undefined.
int truncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

void showColor(Fl_Button* button, float r, float g, float b)
{
    button->color(CMorColorChooser::toButtonColor(r, g, b));
    button->redraw();
}

} // namespace

CMorDiagramDialog::CMorDiagramDialog()
{
    m_window = new Fl_Double_Window(WIDTH, 692, "Diagram properties");
    m_window->labelsize(11);
    m_window->user_data(this);

    header(0, "Appearance");
    m_removeWhite = checkButton(71, 30, 90, "Remove white", onRemoveWhite);
    m_showBoundingBox = checkButton(71, 50, 115, "Show bounding box", onBoundingBox);
    m_showAxes = checkButton(71, 70, 124, "Show axis indicators", onAxes);
    m_boundingBoxColor = swatch(73, 94, onBoundingBoxColor);
    text(111, 96, "Bounding box color");
    m_lineWidth = new Fl_Value_Slider(73, 122, 155, 20, "Line width");
    m_lineWidth->type(FL_HOR_SLIDER);
    m_lineWidth->labelsize(11);
    m_lineWidth->textsize(11);
    m_lineWidth->align(FL_ALIGN_LEFT);
    const CMorSettingRanges::Range lineWidths = CMorSettingRanges::get(CMorSettingRanges::LINE_WIDTH);
    m_lineWidth->range(lineWidths.low, lineWidths.high);
    m_lineWidth->step(1);
    m_lineWidth->value(1);
    m_lineWidth->callback(onLineWidth);
    m_whiteTolerance = valueInput(150, 50, "White tolerance", onWhiteTolerance);
    m_whiteTolerance->value(0);

    header(182, "Annotation");
    m_textSize = valueInput(215, 95, "Relative text size", onTextSize);
    m_margin = valueInput(240, 95, "Relative margin", onMargin);
    m_textColor = swatch(73, 265, onTextColor);
    text(111, 267, "Text color");
    m_labelInterval[0] = spinner(292, "Label interval X");
    m_labelInterval[1] = spinner(311, "Label interval Y");
    m_labelInterval[2] = spinner(330, "Label interval Z");

    header(356, "Legend");
    m_legendMarginX = valueInput(386, 95, "Legend margin x (pixels)", onLegendMarginX);
    m_legendMarginY = valueInput(411, 95, "Legend margin y (pixels)", onLegendMarginY);
    m_legendSize = valueInput(436, 95, "Relative margin size", onLegendSize);
    m_legendSize->value(0.5);
    m_legendPosition = new Fl_Group(94, 482, 91, 57, "Legend position");
    m_legendPosition->box(FL_DOWN_BOX);
    m_legendPosition->labelsize(11);
    m_legendPosition->align(FL_ALIGN_TOP_LEFT);
    for (int i = 0; i < 6; ++i) {
        m_corners[i] = new Fl_Button(CORNERS[i].x, CORNERS[i].y, 25, 20, CORNERS[i].label);
        m_corners[i]->type(FL_RADIO_BUTTON);
        m_corners[i]->labelsize(1);
        m_corners[i]->callback(onCorner, reinterpret_cast<void*>(static_cast<intptr_t>(i)));
    }
    m_legendPosition->end();
    m_showLegend = checkButton(190, 492, 85, "Show legend", onShowLegend);

    header(548, "Scale");
    m_exaggeration = valueInput(578, 95, "Vertical exaggeration", onExaggeration);
    m_exaggeration->value(1);
    text(20, 605, "Axis labels:");
    Fl_Group* axisLabels = new Fl_Group(90, 603, 185, 20);
    m_distanceLabels = new Fl_Round_Button(92, 605, 70, 15, "distance");
    m_mapLabels = new Fl_Round_Button(162, 605, 110, 15, "map coordinates");
    for (Fl_Round_Button* button : {m_distanceLabels, m_mapLabels}) {
        button->type(FL_RADIO_BUTTON);
        button->down_box(FL_ROUND_DOWN_BOX);
        button->labelsize(11);
    }
    m_distanceLabels->callback(onDistanceLabels);
    m_mapLabels->callback(onMapLabels);
    m_distanceLabels->value(1);
    axisLabels->end();

    m_messages = new CMorMessageLine(6, 626, WIDTH - 12, 28);
    m_close = new Fl_Button((WIDTH - 64) / 2, 665, 64, 20, "Close");
    m_close->labelsize(11);
    m_close->callback(onClose);
    Fl_Box* separator = new Fl_Box(0, 658, WIDTH, 2);
    separator->box(FL_ENGRAVED_FRAME);
    m_window->end();
}

CMorDiagramDialog::~CMorDiagramDialog()
{
    m_window->hide();
    delete m_window;
}

void CMorDiagramDialog::setView(CMorView* view)
{
    m_view = view;
    update();
}

void CMorDiagramDialog::show()
{
    CMorToolWindow::show(m_window);
}

void CMorDiagramDialog::hide()
{
    m_window->hide();
}

void CMorDiagramDialog::update()
{
    if (m_view == nullptr)
        return;
    CFenceDiagram* diagram = m_view->getDiagram();
    if (diagram == nullptr) {
        m_window->deactivate();
        return;
    }
    m_window->activate();

    float r, g, b;
    diagram->getBoundingBoxColor(r, g, b);
    showColor(m_boundingBoxColor, r, g, b);
    diagram->getTextColor(r, g, b);
    showColor(m_textColor, r, g, b);

    m_removeWhite->value(diagram->getRemoveWhite() ? 1 : 0);
    m_whiteTolerance->value(diagram->getWhiteTolerance());
    m_showBoundingBox->value(diagram->getShowBoundingBox() ? 1 : 0);
    m_showAxes->value(diagram->getShowAxes() ? 1 : 0);
    // The slider offers no width that GL would draw thinner.
    m_lineWidth->maximum(CMorSettingRanges::lineWidth(m_view->getWidestLine()).high);
    m_lineWidth->value(diagram->getLineWidth());
    m_showLegend->value(diagram->getShowLegend() ? 1 : 0);
    m_exaggeration->value(diagram->getVerticalExaggeration());
    (diagram->getMapAxisLabels() ? m_mapLabels : m_distanceLabels)->setonly();

    m_textSize->value(diagram->getRelativeTextSize());
    m_margin->value(diagram->getRelativeMargin());
    m_legendMarginX->value(diagram->getLegendMarginX());
    m_legendMarginY->value(diagram->getLegendMarginY());
    m_legendSize->value(diagram->getLegendSize());

    m_labelInterval[0]->value(diagram->getLabelIntervalX());
    m_labelInterval[1]->value(diagram->getLabelIntervalY());
    m_labelInterval[2]->value(diagram->getLabelIntervalZ());

    const int horizontal = diagram->getLegendPositionX();
    const int row = diagram->getLegendPositionY() == 0 ? 0 : 1;
    if (horizontal >= 0 && horizontal <= 2) {
        m_corners[row * 3 + horizontal]->setonly();
    } else {
        // No corner fits: none is shown pressed.
        for (Fl_Button* corner : m_corners)
            corner->value(0);
    }
}

void CMorDiagramDialog::redrawView()
{
    m_view->redraw();
}

CFenceDiagram* CMorDiagramDialog::getDiagram() const
{
    return m_view != nullptr ? m_view->getDiagram() : nullptr;
}

void CMorDiagramDialog::removeWhiteChanged()
{
    if (CFenceDiagram* diagram = getDiagram()) {
        diagram->setRemoveWhite(m_removeWhite->value() != 0);
        redrawView();
    }
}

void CMorDiagramDialog::whiteToleranceChanged()
{
    CFenceDiagram* diagram = getDiagram();
    if (diagram == nullptr ||
        !check(m_whiteTolerance, CMorSettingRanges::WHITE_TOLERANCE, diagram->getWhiteTolerance()))
        return;
    diagram->setWhiteTolerance(truncateToInt(m_whiteTolerance->value()));
    redrawView();
}

void CMorDiagramDialog::boundingBoxChanged()
{
    if (CFenceDiagram* diagram = getDiagram()) {
        diagram->setShowBoundingBox(m_showBoundingBox->value() != 0);
        redrawView();
    }
}

void CMorDiagramDialog::axesChanged()
{
    if (CFenceDiagram* diagram = getDiagram()) {
        diagram->setShowAxes(m_showAxes->value() != 0);
        redrawView();
    }
}

void CMorDiagramDialog::lineWidthChanged()
{
    if (CFenceDiagram* diagram = getDiagram()) {
        diagram->setLineWidth(truncateToInt(m_lineWidth->value()));
        redrawView();
    }
}

bool CMorDiagramDialog::check(CMorValueInput* field, CMorSettingRanges::Setting setting, double lastGood)
{
    return field->checkRange(CMorSettingRanges::get(setting), lastGood, m_messages);
}

void CMorDiagramDialog::textSizeChanged()
{
    CFenceDiagram* diagram = getDiagram();
    if (diagram == nullptr || !check(m_textSize, CMorSettingRanges::RELATIVE_TEXT_SIZE, diagram->getRelativeTextSize()))
        return;
    diagram->setRelativeTextSize(m_textSize->value());
    diagram->refresh();
    redrawView();
}

void CMorDiagramDialog::marginChanged()
{
    CFenceDiagram* diagram = getDiagram();
    if (diagram == nullptr || !check(m_margin, CMorSettingRanges::RELATIVE_MARGIN, diagram->getRelativeMargin()))
        return;
    diagram->setRelativeMargin(m_margin->value());
    diagram->refresh();
    redrawView();
}

void CMorDiagramDialog::legendMarginXChanged()
{
    CFenceDiagram* diagram = getDiagram();
    if (diagram == nullptr || !check(m_legendMarginX, CMorSettingRanges::LEGEND_MARGIN, diagram->getLegendMarginX()))
        return;
    diagram->setLegendMarginX(truncateToInt(m_legendMarginX->value()));
    redrawView();
}

void CMorDiagramDialog::legendMarginYChanged()
{
    CFenceDiagram* diagram = getDiagram();
    if (diagram == nullptr || !check(m_legendMarginY, CMorSettingRanges::LEGEND_MARGIN, diagram->getLegendMarginY()))
        return;
    diagram->setLegendMarginY(truncateToInt(m_legendMarginY->value()));
    redrawView();
}

void CMorDiagramDialog::legendSizeChanged()
{
    CFenceDiagram* diagram = getDiagram();
    if (diagram == nullptr || !check(m_legendSize, CMorSettingRanges::LEGEND_SIZE, diagram->getLegendSize()))
        return;
    diagram->setLegendSize(m_legendSize->value());
    redrawView();
}

void CMorDiagramDialog::labelIntervalChanged()
{
    if (CFenceDiagram* diagram = getDiagram()) {
        diagram->setLabelIntervals(truncateToInt(m_labelInterval[0]->value()),
                                   truncateToInt(m_labelInterval[1]->value()),
                                   truncateToInt(m_labelInterval[2]->value()));
        redrawView();
    }
}

void CMorDiagramDialog::cornerChosen(int horizontal, int vertical)
{
    if (CFenceDiagram* diagram = getDiagram()) {
        diagram->setLegendPositionX(horizontal);
        diagram->setLegendPositionY(vertical);
        redrawView();
    }
}

void CMorDiagramDialog::boundingBoxColorClicked()
{
    CFenceDiagram* diagram = getDiagram();
    if (diagram == nullptr)
        return;
    float rgb[3];
    diagram->getBoundingBoxColor(rgb[0], rgb[1], rgb[2]);
    double r = rgb[0], g = rgb[1], b = rgb[2];
    if (!CMorColorChooser::choose("Select bounding box color", r, g, b))
        return;
    diagram->setBoundingBoxColor(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
    redrawView();
    update();
}

void CMorDiagramDialog::textColorClicked()
{
    CFenceDiagram* diagram = getDiagram();
    if (diagram == nullptr)
        return;
    float rgb[3];
    diagram->getTextColor(rgb[0], rgb[1], rgb[2]);
    double r = rgb[0], g = rgb[1], b = rgb[2];
    if (!CMorColorChooser::choose("Select text color", r, g, b))
        return;
    diagram->setTextColor(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
    diagram->refresh();
    redrawView();
    update();
}

void CMorDiagramDialog::showLegendChanged()
{
    if (CFenceDiagram* diagram = getDiagram()) {
        diagram->setShowLegend(m_showLegend->value() != 0);
        redrawView();
    }
}

void CMorDiagramDialog::exaggerationChanged()
{
    CFenceDiagram* diagram = getDiagram();
    if (diagram == nullptr ||
        !check(m_exaggeration, CMorSettingRanges::VERTICAL_EXAGGERATION, diagram->getVerticalExaggeration()))
        return;
    m_view->setVerticalExaggeration(m_exaggeration->value());
}

void CMorDiagramDialog::axisLabelsChosen(bool map)
{
    if (CFenceDiagram* diagram = getDiagram()) {
        diagram->setMapAxisLabels(map);
        redrawView();
    }
}
