// The main window: menu bar, tool bar and the OpenGL view; it owns the two
// parameter dialogs and the help and about windows, turns every menu command and tool button into a call of
// the view or a window, names the open diagram in its title, and closes the program when the view goes away.
// It keeps the user's preferences: view settings as defaults, recent diagrams, the file dialogs' folders.
#pragma once

#include "CMorCanvas.h"
#include "CMorPreferences.h"
#include "CMorRecentFiles.h"
#include "CMorViewChangedEvent.h"
#include "CMorViewCloseEvent.h"
#include "CMorViewDropEvent.h"
#include "CMorViewPickEvent.h"
#include "CMorViewSettings.h"
#include "CZelInitEvent.h"

#include <functional>

#include <string>
#include <vector>

class CLogWindow;
class CMorDiagramDialog;
class CMorHelpWindow;
class CMorProgressBar;
class CMorReadout;
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

class CMorWindow : public CMorViewChangedEvent,
                   public CMorViewCloseEvent,
                   public CMorViewDropEvent,
                   public CMorViewPickEvent,
                   public CZelInitEvent
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
    // Reads the user's preferences from path, before show: their view
    // settings become the view's defaults, with the recent diagrams and the
    // file dialogs' folders. Every change is written back to path at once,
    // over what another Morvex may have written meanwhile. Without this call
    // the preferences live in memory only.
    void loadPreferences(const std::string& path);

    // Shows the main window over the work area less a 50-pixel margin, then
    // the view, and starts listening to the view.
    void show();
    // Places w (borrowed) in the middle of the main window; does not show it.
    void centerWindow(Fl_Window* w);

    // The view-parameters dialog follows the camera.
    void onViewChanged() override;
    void onViewClose() override;
    // One local description file dropped onto the view opens, once the drag
    // source has been told that the drop is over; anything else is refused
    // with a line in the log.
    void onViewDrop(const std::string& text) override;
    // The readout shows what lies under the pointer and the measurement.
    void onViewPick() override;
    // After the view's first set-up, which opens the file named on the
    // command line.
    void onInit(int width, int height) override;

    // Commands of the menu and the tool bar.
    void openDiagram();
    // Entry index (from 0) of File > Open Recent; a file that is gone is
    // taken off the list, with a message.
    void openRecent(int index);
    // A description made from GIS section lines by morvex-import, opened;
    // the open diagram's section lines back to GeoJSON.
    void importSectionLines();
    void exportSectionLines();
    // Empties the view and gives the diagram's memory back.
    void closeDiagram();
    void saveSettings();
    // Save settings to a new description file, which becomes the open one.
    void saveSettingsAs();
    void resetView();
    // The open diagram's vertical exaggeration to the next step up or down.
    void stepExaggeration(bool raise);
    void exportView();
    // The diagram as a glTF file or a web page, chosen in a file dialog.
    void exportScene();
    void copyToClipboard();
    // The measurement's points, distances and angles, or the point under the
    // pointer, as text on the clipboard.
    void copyCoordinates();
    // Escape: the measurement's points go.
    void clearMeasurement();
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
    CMorReadout* getReadout() const { return m_readout; }
    CMorViewParamDialog* getViewParamDialog() const { return m_viewParamDialog; }
    CMorDiagramDialog* getDiagramDialog() const { return m_diagramDialog; }
    const CMorRecentFiles& getRecentFiles() const { return m_recentFiles; }
    const CMorPreferences& getPreferences() const { return m_preferences; }

private:
    void buildToolBar();
    // Opens path with the view; a success joins the recent list.
    bool openPath(const std::string& path);
    static void openDropped(void* data);
    void openDropped();
    // After every diagram that opened, from whatever command.
    void rememberOpened();
    void showRecentFiles();
    // The user changed a setting in "View settings": it becomes a default.
    void viewSettingsChanged();
    // Reads the preferences again, lets change alter them and writes them.
    void updatePreferences(const std::function<void(CMorPreferences&)>& change);
    // The folder of path remembered under key, for the next file dialog.
    void rememberFolder(const std::string& key, const std::string& path);
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
    // Belongs to the tool bar.
    CMorReadout* m_readout;
    // The tool-button icons' pixels; the images point into them.
    std::vector<CMorCanvas> m_iconPixels;
    std::vector<Fl_RGB_Image*> m_iconImages;
    std::vector<Fl_Image*> m_greyIconImages;
    CMorPreferences m_preferences;
    CMorRecentFiles m_recentFiles;
    // The menu keeps pointers to these labels.
    std::string m_recentLabels[CMorRecentFiles::LIMIT];
    // The view's settings as last shown by an open or a change: what a
    // change in the dialog is told apart from.
    CMorViewSettings m_settingsShown;
    std::string m_droppedText;
};
