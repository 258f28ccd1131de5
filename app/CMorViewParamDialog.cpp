// Widgets and actions of the view-parameters dialog.
#include "CMorViewParamDialog.h"

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

#include <cstdint>

namespace {

const char* const COLOR_TITLE = "Select first/upper color";

CMorViewParamDialog* dialogOf(Fl_Widget* widget)
{
    return static_cast<CMorViewParamDialog*>(widget->window()->user_data());
}

int argumentOf(void* data)
{
    return static_cast<int>(reinterpret_cast<intptr_t>(data));
}

void* argument(int value)
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(value));
}

void onPosition(Fl_Widget* w, void* data) { dialogOf(w)->positionChanged(argumentOf(data)); }
void onTarget(Fl_Widget* w, void* data) { dialogOf(w)->targetChanged(argumentOf(data)); }
void onPerspective(Fl_Widget* w, void* data) { dialogOf(w)->perspectiveChanged(argumentOf(data)); }
void onLighting(Fl_Widget* w, void*) { dialogOf(w)->lightingChanged(); }
void onDirection(Fl_Widget* w, void* data) { dialogOf(w)->directionChosen(argumentOf(data), false); }
void onVerticalDirection(Fl_Widget* w, void* data) { dialogOf(w)->directionChosen(argumentOf(data), true); }
void onBackgroundType(Fl_Widget* w, void* data) { dialogOf(w)->backgroundTypeChosen(argumentOf(data)); }
void onFirstColor(Fl_Widget* w, void*) { dialogOf(w)->firstColorClicked(); }
void onSecondColor(Fl_Widget* w, void*) { dialogOf(w)->secondColorClicked(); }
void onAntialias(Fl_Widget* w, void*) { dialogOf(w)->antialiasChanged(); }
void onAntialiasLevel(Fl_Widget* w, void* data) { dialogOf(w)->antialiasLevelChosen(argumentOf(data)); }
void onClose(Fl_Widget* w, void*) { dialogOf(w)->hide(); }

// A grey bar across the window.
void bar(int y, const char* label)
{
    Fl_Box* box = new Fl_Box(0, y, 375, 20, label);
    box->box(FL_FLAT_BOX);
    box->color(41);
    box->labelsize(11);
}

Fl_Box* text(int x, int y, int w, int h, const char* label)
{
    Fl_Box* box = new Fl_Box(x, y, w, h, label);
    box->labelsize(11);
    box->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    return box;
}

CMorValueInput* valueInput(int x, int y, const char* label, Fl_Callback* callback, int which)
{
    CMorValueInput* input = new CMorValueInput(x, y, 95, 20, label);
    input->labelsize(11);
    input->textsize(11);
    input->range(-1e300, 1e300);
    input->callback(callback, argument(which));
    return input;
}

Fl_Group* framedGroup(int x, int y, int w, int h, const char* label)
{
    Fl_Group* group = new Fl_Group(x, y, w, h, label);
    group->box(FL_DOWN_BOX);
    group->labelsize(11);
    group->align(FL_ALIGN_TOP_LEFT);
    return group;
}

// A square arrow button of a radio set.
Fl_Button* arrowButton(int x, int y, const char* label, Fl_Callback* callback, int code)
{
    Fl_Button* button = new Fl_Button(x, y, 25, 20, label);
    button->type(FL_RADIO_BUTTON);
    button->labelsize(1);
    button->callback(callback, argument(code));
    return button;
}

Fl_Round_Button* roundButton(int x, int y, int w, const char* label, Fl_Callback* callback, int value)
{
    Fl_Round_Button* button = new Fl_Round_Button(x, y, w, 15, label);
    button->type(FL_RADIO_BUTTON);
    button->down_box(FL_ROUND_DOWN_BOX);
    button->labelsize(11);
    button->callback(callback, argument(value));
    return button;
}

Fl_Check_Button* checkButton(int x, int y, const char* label, Fl_Callback* callback)
{
    Fl_Check_Button* button = new Fl_Check_Button(x, y, 75, 15, label);
    button->down_box(FL_DOWN_BOX);
    button->labelsize(11);
    button->callback(callback);
    return button;
}

void showColor(Fl_Button* button, const float rgb[3])
{
    button->color(CMorColorChooser::toButtonColor(rgb[0], rgb[1], rgb[2]));
    button->redraw();
}

} // namespace

CMorViewParamDialog::CMorViewParamDialog()
{
    m_window = new Fl_Double_Window(375, 522, "View settings");
    m_window->labelsize(11);
    m_window->user_data(this);

    bar(0, "Camera ");
    const char* const axes[3] = {"x", "y", "z"};
    for (int k = 0; k < 3; ++k)
        m_position[k] = valueInput(21, 31 + 25 * k, axes[k], onPosition, k);
    for (int k = 0; k < 3; ++k)
        m_target[k] = valueInput(134, 31 + 25 * k, axes[k], onTarget, k);
    m_angle = valueInput(267, 31, "Angle", onPerspective, 0);
    m_near = valueInput(267, 56, "Near", onPerspective, 1);
    m_far = valueInput(267, 81, "Far", onPerspective, 2);

    bar(111, nullptr);
    m_lighting = checkButton(165, 114, "Lighting", onLighting);
    m_lighting->value(1);

    m_directionGroup = framedGroup(122, 154, 129, 96, "Direction");
    text(128, 158, 79, 15, "top");
    (new Fl_Box(220, 159, 29, 15, "vert."))->labelsize(11);
    m_direction[6] = arrowButton(128, 181, "@#3<-", onDirection, 6);
    m_direction[5] = arrowButton(128, 203, "@#<-", onDirection, 5);
    m_direction[7] = arrowButton(155, 181, "@#2<-", onDirection, 7);
    m_direction[0] = arrowButton(182, 181, "@#1<-", onDirection, 0);
    m_direction[1] = arrowButton(182, 203, "@#4<-", onDirection, 1);
    m_direction[4] = arrowButton(128, 225, "@#9<-", onDirection, 4);
    m_direction[3] = arrowButton(155, 225, "@#8<-", onDirection, 3);
    m_direction[2] = arrowButton(182, 225, "@#7<-", onDirection, 2);
    Fl_Group* vertical = new Fl_Group(218, 176, 32, 74);
    m_vertical[0] = arrowButton(221, 181, "@#9<-", onVerticalDirection, 4);
    m_vertical[1] = arrowButton(221, 203, "@#<-", onVerticalDirection, 5);
    m_vertical[2] = arrowButton(221, 225, "@#3<-", onVerticalDirection, 6);
    vertical->end();
    m_directionGroup->end();

    bar(262, "Background");
    m_firstColor = new Fl_Button(195, 304, 30, 20);
    m_firstColor->callback(onFirstColor);
    m_backgroundGroup = framedGroup(51, 303, 110, 49, "Background type");
    m_solid = roundButton(55, 312, 75, "Solid color", onBackgroundType, CMorView::BACKGROUND_SOLID);
    m_solid->value(1);
    m_gradient = roundButton(55, 330, 80, "Gradient", onBackgroundType, CMorView::BACKGROUND_GRADIENT);
    m_backgroundGroup->end();
    m_secondColor = new Fl_Button(195, 330, 30, 20);
    m_secondColor->callback(onSecondColor);
    m_secondColor->deactivate();
    text(232, 306, 135, 16, "First color (solid color)");
    text(232, 332, 73, 16, "Second color");

    bar(360, nullptr);
    m_antialias = checkButton(165, 363, "Antialias", onAntialias);
    m_jitterGroup = framedGroup(120, 401, 140, 49, "Jitter");
    m_passes[0] = roundButton(124, 410, 26, "2", onAntialiasLevel, 0);
    m_passes[1] = roundButton(124, 428, 26, "3", onAntialiasLevel, 1);
    m_passes[2] = roundButton(155, 410, 30, "4", onAntialiasLevel, 2);
    m_passes[3] = roundButton(155, 428, 30, "8", onAntialiasLevel, 3);
    m_passes[4] = roundButton(185, 410, 32, "15", onAntialiasLevel, 4);
    m_passes[5] = roundButton(185, 428, 32, "24", onAntialiasLevel, 5);
    m_passes[6] = roundButton(220, 410, 31, "66", onAntialiasLevel, 6);
    m_jitterGroup->end();

    m_messages = new CMorMessageLine(6, 455, 363, 28);
    m_close = new Fl_Button(153, 494, 64, 20, "Close");
    m_close->labelsize(11);
    m_close->callback(onClose);
    Fl_Box* separator = new Fl_Box(0, 486, 375, 2);
    separator->box(FL_ENGRAVED_FRAME);
    m_window->end();
}

CMorViewParamDialog::~CMorViewParamDialog()
{
    m_window->hide();
    delete m_window;
}

void CMorViewParamDialog::setView(CMorView* view)
{
    m_view = view;
    update();
}

void CMorViewParamDialog::show()
{
    CMorToolWindow::show(m_window);
}

void CMorViewParamDialog::hide()
{
    m_window->hide();
}

void CMorViewParamDialog::update()
{
    if (m_view == nullptr)
        return;
    CFenceDiagram* diagram = m_view->getDiagram();
    CZelCamera* camera = m_view->getCamera();
    if (diagram == nullptr || camera == nullptr) {
        m_window->deactivate();
        return;
    }
    m_window->activate();

    float first[3], second[3];
    m_view->getLowerColor(second[0], second[1], second[2]);
    if (m_view->getBackgroundType() == CMorView::BACKGROUND_SOLID) {
        m_view->getSolidColor(first[0], first[1], first[2]);
        m_secondColor->deactivate();
    } else {
        m_view->getUpperColor(first[0], first[1], first[2]);
        m_secondColor->activate();
    }
    showColor(m_firstColor, first);
    showColor(m_secondColor, second);

    m_antialias->value(m_view->getAntialias() ? 1 : 0);
    if (m_view->getAntialias())
        m_jitterGroup->activate();
    else
        m_jitterGroup->deactivate();
    const int level = m_view->getAntialiasLevel();
    // setonly: a radio set shows one choice, never the old one beside the new.
    m_passes[level >= 1 && level <= 6 ? level : 0]->setonly();

    // East, elevation, north in true map units, whatever the exaggeration.
    CZelVec3d position, target;
    m_view->getCameraInMapUnits(position, target);
    for (int k = 0; k < 3; ++k) {
        m_position[k]->value(position[k]);
        m_target[k]->value(target[k]);
    }
    double angle, nearPlane, farPlane;
    camera->getPerspective(angle, nearPlane, farPlane);
    m_angle->value(angle);
    m_near->value(nearPlane);
    m_far->value(farPlane);

    const bool lighting = diagram->getFenceLighting();
    m_lighting->value(lighting ? 1 : 0);
    if (lighting)
        m_directionGroup->activate();
    else
        m_directionGroup->deactivate();
    const int direction = m_view->getLightDirection();
    m_direction[direction >= 0 && direction <= 7 ? direction : 0]->setonly();
}

void CMorViewParamDialog::positionChanged(int axis)
{
    pointChanged(axis, true);
}

void CMorViewParamDialog::targetChanged(int axis)
{
    pointChanged(axis, false);
}

void CMorViewParamDialog::pointChanged(int axis, bool position)
{
    CZelVec3d points[2];
    if (m_view == nullptr || !m_view->getCameraInMapUnits(points[0], points[1]))
        return;
    CZelVec3d& point = points[position ? 0 : 1];
    CMorValueInput* field = (position ? m_position : m_target)[axis];
    if (!field->checkRange(CMorSettingRanges::get(CMorSettingRanges::CAMERA_COORDINATE), point[axis], m_messages))
        return;
    point[axis] = field->value();
    m_view->setCameraInMapUnits(points[0], points[1]);
    // A typed camera is a place Back returns to.
    m_view->recordCamera();
    m_view->redraw();
}

void CMorViewParamDialog::perspectiveChanged(int which)
{
    CZelCamera* camera = m_view != nullptr ? m_view->getCamera() : nullptr;
    if (camera == nullptr)
        return;
    double values[3];
    camera->getPerspective(values[0], values[1], values[2]);
    CMorValueInput* const fields[3] = {m_angle, m_near, m_far};
    const CMorSettingRanges::Range ranges[3] = {CMorSettingRanges::get(CMorSettingRanges::FIELD_OF_VIEW),
                                                CMorSettingRanges::nearPlane(values[2]),
                                                CMorSettingRanges::farPlane(values[1])};
    if (!fields[which]->checkRange(ranges[which], values[which], m_messages))
        return;
    values[which] = fields[which]->value();
    camera->setPerspective(values[0], values[1], values[2]);
    // A typed camera is a place Back returns to.
    m_view->recordCamera();
    m_view->redraw();
}

void CMorViewParamDialog::lightingChanged()
{
    if (m_view == nullptr || m_view->getDiagram() == nullptr)
        return;
    const bool on = m_lighting->value() != 0;
    m_view->getDiagram()->setFenceLighting(on);
    if (on)
        m_directionGroup->activate();
    else
        m_directionGroup->deactivate();
    m_view->redraw();
    tellSettingsChanged();
}

void CMorViewParamDialog::tellSettingsChanged()
{
    if (m_settingsListener)
        m_settingsListener();
}

void CMorViewParamDialog::directionChosen(int direction, bool vertical)
{
    // The grid and the "vert." column are two radio sets for one light: the
    // set not clicked lets go, so that its pressed button shows no stale
    // choice and can be clicked again.
    if (vertical) {
        for (Fl_Button* button : m_direction)
            button->value(0);
    } else {
        for (Fl_Button* button : m_vertical)
            button->value(0);
    }
    if (m_view == nullptr)
        return;
    m_view->setLightDirection(direction);
    tellSettingsChanged();
}

void CMorViewParamDialog::backgroundTypeChosen(int type)
{
    if (m_view == nullptr)
        return;
    m_view->setBackgroundType(type);
    update();
    tellSettingsChanged();
}

void CMorViewParamDialog::firstColorClicked()
{
    if (m_view == nullptr)
        return;
    const bool solid = m_view->getBackgroundType() == CMorView::BACKGROUND_SOLID;
    float rgb[3];
    if (solid)
        m_view->getSolidColor(rgb[0], rgb[1], rgb[2]);
    else
        m_view->getUpperColor(rgb[0], rgb[1], rgb[2]);
    double r = rgb[0], g = rgb[1], b = rgb[2];
    if (!CMorColorChooser::choose(COLOR_TITLE, r, g, b))
        return;
    if (solid)
        m_view->setSolidColor(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
    else
        m_view->setUpperColor(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
    update();
    tellSettingsChanged();
}

void CMorViewParamDialog::secondColorClicked()
{
    if (m_view == nullptr)
        return;
    float rgb[3];
    m_view->getLowerColor(rgb[0], rgb[1], rgb[2]);
    double r = rgb[0], g = rgb[1], b = rgb[2];
    if (!CMorColorChooser::choose(COLOR_TITLE, r, g, b))
        return;
    m_view->setLowerColor(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
    update();
    tellSettingsChanged();
}

void CMorViewParamDialog::antialiasChanged()
{
    if (m_view == nullptr)
        return;
    const bool on = m_antialias->value() != 0;
    m_view->setAntialias(on);
    if (on)
        m_jitterGroup->activate();
    else
        m_jitterGroup->deactivate();
    tellSettingsChanged();
}

void CMorViewParamDialog::antialiasLevelChosen(int level)
{
    if (m_view == nullptr)
        return;
    m_view->setAntialiasLevel(level);
    update();
    tellSettingsChanged();
}
