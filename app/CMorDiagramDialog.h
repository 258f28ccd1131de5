// The "Diagram properties" tool window: the settings of the open fence
// diagram (white removal, bounding box, axes, line width, text, label
// intervals, legend, vertical exaggeration and what the axes count). Every
// change goes to the diagram at once; a typed value out of its range is
// refused with a message in the dialog.
#pragma once

#include "CMorSettingRanges.h"

class CFenceDiagram;
class CMorMessageLine;
class CMorView;
class CMorValueInput;
class Fl_Button;
class Fl_Check_Button;
class Fl_Double_Window;
class Fl_Group;
class Fl_Round_Button;
class Fl_Spinner;
class Fl_Value_Slider;

class CMorDiagramDialog
{
public:
    // Builds the window hidden, without a view.
    CMorDiagramDialog();
    virtual ~CMorDiagramDialog();
    CMorDiagramDialog(const CMorDiagramDialog&) = delete;
    CMorDiagramDialog& operator=(const CMorDiagramDialog&) = delete;

    // Borrowed; loads the widgets from its diagram.
    void setView(CMorView* view);
    CMorView* getView() const { return m_view; }
    // Loads the widgets from the view's diagram; greys the window out while
    // the view has none.
    void update();
    // Shows the window as a tool window.
    void show();
    void hide();
    // Borrowed.
    Fl_Double_Window* getWindow() const { return m_window; }

    // The widgets' actions.
    void removeWhiteChanged();
    void whiteToleranceChanged();
    void boundingBoxChanged();
    void axesChanged();
    void lineWidthChanged();
    void textSizeChanged();
    void marginChanged();
    void legendMarginXChanged();
    void legendMarginYChanged();
    void legendSizeChanged();
    void labelIntervalChanged();
    // horizontal 0 left to 2 right, vertical 0 top or 1 bottom.
    void cornerChosen(int horizontal, int vertical);
    void boundingBoxColorClicked();
    void textColorClicked();
    void showLegendChanged();
    void exaggerationChanged();
    void axisLabelsChosen(bool map);

private:
    // Borrowed; null without a view or a diagram.
    CFenceDiagram* getDiagram() const;
    void redrawView();
    // See CMorValueInput::checkRange.
    bool check(CMorValueInput* field, CMorSettingRanges::Setting setting, double lastGood);

    CMorView* m_view = nullptr;
    Fl_Double_Window* m_window;
    Fl_Check_Button* m_removeWhite;
    Fl_Check_Button* m_showBoundingBox;
    Fl_Button* m_boundingBoxColor;
    CMorValueInput* m_textSize;
    CMorValueInput* m_margin;
    CMorValueInput* m_legendMarginX;
    CMorValueInput* m_legendMarginY;
    Fl_Group* m_legendPosition;
    // Top row left to right, then the bottom row.
    Fl_Button* m_corners[6];
    Fl_Button* m_textColor;
    Fl_Check_Button* m_showAxes;
    Fl_Value_Slider* m_lineWidth;
    Fl_Button* m_close;
    CMorValueInput* m_legendSize;
    Fl_Spinner* m_labelInterval[3];
    CMorValueInput* m_whiteTolerance;
    Fl_Check_Button* m_showLegend;
    CMorValueInput* m_exaggeration;
    Fl_Round_Button* m_distanceLabels;
    Fl_Round_Button* m_mapLabels;
    CMorMessageLine* m_messages;
};
