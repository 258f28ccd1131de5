// The "View settings" tool window: camera position, target and perspective,
// fence lighting and light direction, background and antialiasing of the view.
// Every change goes to the view at once; there is no OK button. A typed value
// out of its range is refused with a message in the dialog.
#pragma once

#include <functional>
#include <utility>

class CMorMessageLine;
class CMorView;
class CMorValueInput;
class Fl_Button;
class Fl_Check_Button;
class Fl_Double_Window;
class Fl_Group;
class Fl_Round_Button;

class CMorViewParamDialog
{
public:
    // Builds the window hidden, without a view.
    CMorViewParamDialog();
    ~CMorViewParamDialog();
    CMorViewParamDialog(const CMorViewParamDialog&) = delete;
    CMorViewParamDialog& operator=(const CMorViewParamDialog&) = delete;

    // Borrowed; loads the widgets from it.
    void setView(CMorView* view);
    // Told after the user changed a setting other than the camera (lighting,
    // light direction, background, antialiasing).
    void setSettingsListener(std::function<void()> listener) { m_settingsListener = std::move(listener); }
    CMorView* getView() const { return m_view; }
    // Loads the widgets from the view; greys the window out while the view
    // has no diagram.
    void update();
    // Shows the window as a tool window.
    void show();
    void hide();
    // Borrowed.
    Fl_Double_Window* getWindow() const { return m_window; }

    // The widgets' actions.
    void positionChanged(int axis);
    void targetChanged(int axis);
    // 0 the field of view, 1 the near plane, 2 the far plane.
    void perspectiveChanged(int which);
    void lightingChanged();
    // vertical: one of the "vert." buttons, else one of the grid.
    void directionChosen(int direction, bool vertical);
    void backgroundTypeChosen(int type);
    void firstColorClicked();
    void secondColorClicked();
    void antialiasChanged();
    void antialiasLevelChosen(int level);

private:
    void tellSettingsChanged();
    // A camera field, in map units: of the eye when position, else of the target.
    void pointChanged(int axis, bool position);

    CMorView* m_view = nullptr;
    std::function<void()> m_settingsListener;
    Fl_Double_Window* m_window;
    CMorValueInput* m_position[3];
    CMorValueInput* m_target[3];
    CMorValueInput* m_angle;
    CMorValueInput* m_near;
    CMorValueInput* m_far;
    Fl_Check_Button* m_lighting;
    Fl_Group* m_directionGroup;
    // Indexed by light direction 0 to 7.
    Fl_Button* m_direction[8];
    // Top to bottom: directions 4, 5, 6.
    Fl_Button* m_vertical[3];
    Fl_Button* m_firstColor;
    Fl_Group* m_backgroundGroup;
    Fl_Round_Button* m_solid;
    Fl_Round_Button* m_gradient;
    Fl_Button* m_secondColor;
    Fl_Check_Button* m_antialias;
    Fl_Group* m_jitterGroup;
    // Indexed by antialias level 0 to 6.
    Fl_Round_Button* m_passes[7];
    Fl_Button* m_close;
    CMorMessageLine* m_messages;
};
