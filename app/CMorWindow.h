// The main window: menu bar, tool bar and the OpenGL view; it owns the two
// parameter dialogs and the help and about windows, turns every menu command and tool button into a call of
// the view or a window, names the open diagram in its title, and closes the program when the view goes away.
#pragma once

#include "CMorCanvas.h"
#include "CMorViewChangedEvent.h"
#include "CMorViewCloseEvent.h"
#include "CZelInitEvent.h"

#include <string>
#include <vector>

class CLogWindow;
class CMorDiagramDialog;
class CMorHelpWindow;
class CMorProgressBar;
class CMorView;
class CMorViewParamDialog;
class CSplashFrame;
class Fl_Double_Window;
class Fl_HoverButton;
class Fl_Menu_Bar;
class Fl_Image;
class Fl_RGB_Image;
class Fl_Scroll;
class Fl_Window;

class CMorWindow : public CMorViewChangedEvent, public CMorViewCloseEvent, public CZelInitEvent
{
public:
    // Builds every window hidden.
    CMorWindow();
    virtual ~CMorWindow();
    CMorWindow(const CMorWindow&) = delete;
    CMorWindow& operator=(const CMorWindow&) = delete;

    // Borrowed: the strings stay the caller's.
    void setCommandLine(int argc, char** argv);
    // Borrowed; null for none.
    void setLogWindow(CLogWindow* logWindow) { m_logWindow = logWindow; }
    // Hands one command-line argument to the view.
    void addCommandLineParam(const std::string& param);

    // Shows the main window over the work area less a 50-pixel margin, then
    // the view, and starts listening to the view.
    void show();
    // Places w (borrowed) in the middle of the main window; does not show it.
    void centerWindow(Fl_Window* w);

    // The view-parameters dialog follows the camera.
    void onViewChanged() override;
    void onViewClose() override;
    // After the view's first set-up, which opens the file named on the
    // command line.
    void onInit(int width, int height) override;

    // Commands of the menu and the tool bar.
    void openDiagram();
    // Empties the view and gives the diagram's memory back.
    void closeDiagram();
    void saveSettings();
    void resetView();
    void exportView();
    void copyToClipboard();
    void showViewParameters();
    void showDiagramParameters();
    void showLog();
    void exit();
    void showHelp();
    void showAbout();

    // Borrowed, owned by this object.
    Fl_Double_Window* getWindow() const { return m_window; }
    CMorView* getView() const { return m_view; }
    Fl_Menu_Bar* getMenuBar() const { return m_menuBar; }
    // The tool buttons are its children, left to right.
    Fl_Scroll* getToolBar() const { return m_toolBar; }
    CMorHelpWindow* getHelpWindow() const { return m_helpWindow; }
    CSplashFrame* getAboutWindow() const { return m_aboutWindow; }
    CMorViewParamDialog* getViewParamDialog() const { return m_viewParamDialog; }
    CMorDiagramDialog* getDiagramDialog() const { return m_diagramDialog; }

private:
    void buildToolBar();
    // Both dialogs show what the view and its diagram hold now.
    void reloadDialogs();
    void setCommandsActive(bool active);
    // The title names the open diagram; Save settings, Export and Copy are
    // active only while one is open.
    void showDiagramState();
    // Hides every window that closes with the program; while a diagram loads
    // or the view exports, as soon as that is over.
    void hideWindows();
    static void hideWhenIdle(void* data);

    char** m_argv = nullptr;
    int m_argc = -1;
    bool m_hidePending = false;
    // False while a picture is taken.
    bool m_commandsActive = true;
    CSplashFrame* m_aboutWindow;
    CMorHelpWindow* m_helpWindow;
    CMorViewParamDialog* m_viewParamDialog;
    CLogWindow* m_logWindow = nullptr;
    CMorDiagramDialog* m_diagramDialog;
    Fl_Double_Window* m_window;
    Fl_Menu_Bar* m_menuBar;
    Fl_Scroll* m_toolBar;
    Fl_HoverButton* m_openButton;
    Fl_HoverButton* m_copyButton;
    Fl_HoverButton* m_exportButton;
    Fl_HoverButton* m_saveButton;
    Fl_HoverButton* m_resetButton;
    Fl_HoverButton* m_viewParamButton;
    Fl_HoverButton* m_diagramParamButton;
    CMorView* m_view;
    // Owned; its bar belongs to the tool bar.
    CMorProgressBar* m_progressBar;
    // The tool-button icons' pixels; the images point into them.
    std::vector<CMorCanvas> m_iconPixels;
    std::vector<Fl_RGB_Image*> m_iconImages;
    std::vector<Fl_Image*> m_greyIconImages;
};
