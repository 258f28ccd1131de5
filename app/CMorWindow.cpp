// Main window with its menu, tool buttons and view.
#include "CMorWindow.h"

#include "CMorMemoryPlan.h"

#include "CImageSizeDialog.h"
#include "CLogWindow.h"
#include "CMorArtwork.h"
#include "CMorClipboard.h"
#include "CMorDiagramDialog.h"
#include "CMorHelpWindow.h"
#include "CMorImportRunner.h"
#include "CMorMessageBox.h"
#include "CMorPackedBitmap.h"
#include "CMorGltfBuilder.h"
#include "CMorPingReply.h"
#include "CMorProgressBar.h"
#include "CMorReadout.h"
#include "CMorToolWindow.h"
#include "CMorUriList.h"
#include "CMorView.h"
#include "CMorViewParamDialog.h"
#include "CPyramidMemory.h"
#include "CSplashFrame.h"
#include "Fl_HoverButton.h"
#include "chooseFile.h"
#include "pickText.h"
#include "runCommand.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Scroll.H>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>

namespace {

const char* const TITLE = "Morvex - version 1.0";

// Menu items reach the main window through the menu bar's window, tool
// buttons through their tool bar's parent.
CMorWindow* fromMenu(Fl_Widget* menuBar)
{
    return static_cast<CMorWindow*>(menuBar->window()->user_data());
}

CMorWindow* fromButton(Fl_Widget* button)
{
    return static_cast<CMorWindow*>(button->parent()->parent()->user_data());
}

void menuOpen(Fl_Widget* w, void*) { fromMenu(w)->openDiagram(); }
void menuRecent(Fl_Widget* w, void* index)
{
    fromMenu(w)->openRecent(static_cast<int>(reinterpret_cast<intptr_t>(index)));
}
void menuImportLines(Fl_Widget* w, void*) { fromMenu(w)->importSectionLines(); }
void menuExportLines(Fl_Widget* w, void*) { fromMenu(w)->exportSectionLines(); }
void menuSave(Fl_Widget* w, void*) { fromMenu(w)->saveSettings(); }
void menuSaveAs(Fl_Widget* w, void*) { fromMenu(w)->saveSettingsAs(); }
void menuExport(Fl_Widget* w, void*) { fromMenu(w)->exportView(); }
void menuExportScene(Fl_Widget* w, void*) { fromMenu(w)->exportScene(); }
void menuShowLog(Fl_Widget* w, void*) { fromMenu(w)->showLog(); }
void menuClose(Fl_Widget* w, void*) { fromMenu(w)->closeDiagram(); }
void menuExit(Fl_Widget* w, void*) { fromMenu(w)->exit(); }
void menuCopy(Fl_Widget* w, void*) { fromMenu(w)->copyToClipboard(); }
void menuCopyCoordinates(Fl_Widget* w, void*) { fromMenu(w)->copyCoordinates(); }
void menuResetView(Fl_Widget* w, void*) { fromMenu(w)->resetView(); }
void menuBack(Fl_Widget* w, void*) { fromMenu(w)->getView()->goBack(); }
void menuForward(Fl_Widget* w, void*) { fromMenu(w)->getView()->goForward(); }
void menuRaiseExaggeration(Fl_Widget* w, void*) { fromMenu(w)->stepExaggeration(true); }
void menuLowerExaggeration(Fl_Widget* w, void*) { fromMenu(w)->stepExaggeration(false); }
void menuViewParameters(Fl_Widget* w, void*) { fromMenu(w)->showViewParameters(); }
void menuDiagramParameters(Fl_Widget* w, void*) { fromMenu(w)->showDiagramParameters(); }
void menuHelp(Fl_Widget* w, void*) { fromMenu(w)->showHelp(); }
void menuAbout(Fl_Widget* w, void*) { fromMenu(w)->showAbout(); }

// The window manager's close button ends the program like Exit. The toolkit
// runs this callback for Escape as well, which people press to cancel
// something, never to quit: here it lets go of the measurement.
void windowClosed(Fl_Widget* w, void*)
{
    CMorWindow* window = static_cast<CMorWindow*>(w->user_data());
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) {
        window->clearMeasurement();
        return;
    }
    window->exit();
}

void buttonOpen(Fl_Widget* w, void*) { fromButton(w)->openDiagram(); }
void buttonSave(Fl_Widget* w, void*) { fromButton(w)->saveSettings(); }
void buttonExport(Fl_Widget* w, void*) { fromButton(w)->exportView(); }
void buttonCopy(Fl_Widget* w, void*) { fromButton(w)->copyToClipboard(); }
void buttonViewParameters(Fl_Widget* w, void*) { fromButton(w)->showViewParameters(); }
void buttonDiagramParameters(Fl_Widget* w, void*) { fromButton(w)->showDiagramParameters(); }
void buttonResetView(Fl_Widget* w, void*) { fromButton(w)->resetView(); }

#define MOR_ITEM(label, shortcut, callback, flags) \
    { label, shortcut, callback, nullptr, flags, FL_NORMAL_LABEL, 0, 12, 0 }
#define MOR_END \
    { nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0 }
// One entry of Open Recent, hidden until the list reaches it.
#define MOR_RECENT(index) \
    { "", 0, menuRecent, reinterpret_cast<void*>(index), FL_MENU_INVISIBLE, FL_NORMAL_LABEL, 0, 12, 0 }

Fl_Menu_Item menuTable[] = {
    MOR_ITEM("&File", 0, nullptr, FL_SUBMENU),
    MOR_ITEM("&Open...", FL_CTRL + 'o', menuOpen, 0),
    MOR_ITEM("Open &Recent", 0, nullptr, FL_SUBMENU),
    MOR_RECENT(0), MOR_RECENT(1), MOR_RECENT(2), MOR_RECENT(3),
    MOR_RECENT(4), MOR_RECENT(5), MOR_RECENT(6), MOR_RECENT(7),
    MOR_END,
    MOR_ITEM("&Import section lines...", 0, menuImportLines, 0),
    MOR_ITEM("Sa&ve settings", FL_CTRL + 's', menuSave, 0),
    MOR_ITEM("Save &As...", FL_CTRL + FL_SHIFT + 's', menuSaveAs, 0),
    MOR_ITEM("&Export PNG...", FL_CTRL + 'e', menuExport, 0),
    MOR_ITEM("Export &3-D...", FL_CTRL + FL_SHIFT + 'e', menuExportScene, 0),
    MOR_ITEM("Export section &lines...", 0, menuExportLines, FL_MENU_DIVIDER),
    MOR_ITEM("&Show log window...", FL_CTRL + 'l', menuShowLog, FL_MENU_DIVIDER),
    MOR_ITEM("&Close", FL_CTRL + 'w', menuClose, 0),
    MOR_ITEM("&Exit", FL_ALT + FL_F + 4, menuExit, 0),
    MOR_END,
    MOR_ITEM("&Edit", 0, nullptr, FL_SUBMENU),
    MOR_ITEM("&Copy", FL_CTRL + 'c', menuCopy, 0),
    MOR_ITEM("Copy coordinates", FL_CTRL + FL_SHIFT + 'c', menuCopyCoordinates, 0),
    MOR_END,
    MOR_ITEM("View", 0, nullptr, FL_SUBMENU),
    MOR_ITEM("&Reset View", FL_Home, menuResetView, 0),
    MOR_ITEM("&Back", FL_ALT + FL_Left, menuBack, 0),
    MOR_ITEM("&Forward", FL_ALT + FL_Right, menuForward, FL_MENU_DIVIDER),
    MOR_ITEM("Raise Vertical E&xaggeration", FL_CTRL + FL_Up, menuRaiseExaggeration, 0),
    MOR_ITEM("Lower Vertical Exa&ggeration", FL_CTRL + FL_Down, menuLowerExaggeration, FL_MENU_DIVIDER),
    MOR_ITEM("&View Parameters", FL_CTRL + '1', menuViewParameters, 0),
    MOR_END,
    MOR_ITEM("&Diagram", 0, nullptr, FL_SUBMENU),
    MOR_ITEM("&Diagram Parameters", FL_CTRL + '2', menuDiagramParameters, 0),
    MOR_END,
    MOR_ITEM("&Help", 0, nullptr, FL_SUBMENU),
    MOR_ITEM("&Zoom/Pan keys...", 0, menuHelp, 0),
    MOR_ITEM("&About Morvex...", 0, menuAbout, 0),
    MOR_END,
    MOR_END,
};

#undef MOR_ITEM
#undef MOR_END
#undef MOR_RECENT

static_assert(CMorRecentFiles::LIMIT == 8, "the menu table holds eight recent entries");

struct ToolButton {
    int x;
    const char* tooltip;
    Fl_Callback* callback;
    CMorCanvas (*icon)();
};

// Left to right.
const ToolButton toolButtons[] = {
    {4, "Open fence diagram", buttonOpen, CMorArtwork::iconOpen},
    {40, "Save settings", buttonSave, CMorArtwork::iconSave},
    {76, "Export to PNG image", buttonExport, CMorArtwork::iconExport},
    {125, "Copy window to clipboard", buttonCopy, CMorArtwork::iconCopy},
    {175, "View Parameters", buttonViewParameters, CMorArtwork::iconViewParameters},
    {212, "Diagram Parameters", buttonDiagramParameters, CMorArtwork::iconDiagramParameters},
    {265, "Reset view", buttonResetView, CMorArtwork::iconResetView},
};

const int MARGIN = 50;

// The commands that act on the open diagram.
Fl_Callback* const diagramMenuCommands[] = {menuSave, menuSaveAs, menuExport, menuExportScene, menuExportLines,
                                            menuCopy, menuCopyCoordinates, menuRaiseExaggeration,
                                            menuLowerExaggeration, menuClose};

// The export's progress bar, kept at the right end of the tool bar.
const int PROGRESS_WIDTH = 180;
const int PROGRESS_HEIGHT = 19;
// The readout begins right of the last tool button.
const int READOUT_X = 310;

// Description files go by their extension, or, named otherwise, by their
// first word.
bool isDescriptionFile(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && path.find('/', dot) == std::string::npos) {
        std::string extension = path.substr(dot + 1);
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (extension == "fnc")
            return true;
    }
    char start[7] = {};
    std::ifstream in(path, std::ios::binary);
    return in.read(start, sizeof start) && std::string(start, sizeof start) == "#MORVEX";
}

// A dropped text can be anything, of any length: the log quotes its start.
std::string quoted(const std::string& text)
{
    const size_t LONGEST = 80;
    std::string shown;
    for (char c : text.substr(0, LONGEST))
        shown += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    return "\"" + shown + (text.size() > LONGEST ? "...\"" : "\"");
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, std::max<size_t>(slash, 1));
}

uint32_t runImageTool(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& directory)
{
    return runCommand(program, arguments, directory);
}

} // namespace

CMorWindow::CMorWindow()
{
    m_window = new Fl_Double_Window(511, 446);
    m_window->copy_label(TITLE);
    m_window->xclass("morvex");
    m_window->user_data(this);
    m_window->callback(windowClosed);
    m_window->align(Fl_Align(FL_ALIGN_CLIP | FL_ALIGN_INSIDE));

    m_menuBar = new Fl_Menu_Bar(0, 0, 511, 24, "Diagram parametera");
    m_menuBar->box(FL_NO_BOX);
    m_menuBar->labelsize(12);
    m_menuBar->textsize(12);
    // A copy of its own: items are greyed out per window.
    m_menuBar->copy(menuTable);

    buildToolBar();

    m_view = new CMorView(0, 67, 511, 379);
    m_view->box(FL_FLAT_BOX);
    m_view->color(0);
    m_view->selection_color(49);
    m_view->labelsize(14);
    m_view->align(FL_ALIGN_CENTER);
    m_view->when(FL_WHEN_RELEASE);
    m_window->resizable(m_view);
    m_window->end();
    m_view->setToolRunner(runImageTool);
    m_view->setExportProgress(m_progressBar);

    m_viewParamDialog = new CMorViewParamDialog();
    m_diagramDialog = new CMorDiagramDialog();
    m_helpWindow = new CMorHelpWindow();
    m_aboutWindow = new CSplashFrame();
    m_viewParamDialog->setSettingsListener([this] { viewSettingsChanged(); });
    showDiagramState();
    showRecentFiles();
}

void CMorWindow::buildToolBar()
{
    m_toolBar = new Fl_Scroll(-1, 24, 513, 43);
    m_toolBar->box(FL_ENGRAVED_FRAME);
    std::vector<Fl_HoverButton*> buttons;
    for (const ToolButton& tool : toolButtons) {
        m_iconPixels.push_back(tool.icon());
        const CMorCanvas& pixels = m_iconPixels.back();
        m_iconImages.push_back(new Fl_RGB_Image(pixels.data(), pixels.width(), pixels.height(), pixels.depth()));
        auto* button = new Fl_HoverButton(tool.x, 29, 33, 33);
        button->tooltip(tool.tooltip);
        button->box(FL_UP_BOX);
        button->color(49);
        button->selection_color(49);
        button->labelsize(14);
        button->align(FL_ALIGN_CENTER);
        button->when(FL_WHEN_RELEASE);
        button->image(m_iconImages.back());
        // A deactivated button shows a greyed copy of its icon.
        Fl_Image* grey = m_iconImages.back()->copy();
        grey->inactive();
        m_greyIconImages.push_back(grey);
        button->deimage(grey);
        button->callback(tool.callback);
        buttons.push_back(button);
    }
    m_readout = new CMorReadout(READOUT_X, 29, 33);
    m_progressBar = new CMorProgressBar(511 - 8 - PROGRESS_WIDTH, 29 + (33 - PROGRESS_HEIGHT) / 2, PROGRESS_WIDTH,
                                        PROGRESS_HEIGHT);
    m_toolBar->end();
    m_openButton = buttons[0];
    m_saveButton = buttons[1];
    m_exportButton = buttons[2];
    m_copyButton = buttons[3];
    m_viewParamButton = buttons[4];
    m_diagramParamButton = buttons[5];
    m_resetButton = buttons[6];
}

CMorWindow::~CMorWindow()
{
    Fl::remove_timeout(hideWhenIdle, this);
    Fl::remove_timeout(openDropped, this);
    // The view tells its listeners when it goes; this object is half gone then.
    m_view->setChangedListener(nullptr);
    m_view->setCloseListener(nullptr);
    m_view->setDropListener(nullptr);
    m_view->setPickListener(nullptr);
    if (CMorToolWindow::getOwner() == m_window)
        CMorToolWindow::setOwner(nullptr);
    m_view->setExportProgress(nullptr);
    delete m_aboutWindow;
    delete m_helpWindow;
    delete m_diagramDialog;
    delete m_viewParamDialog;
    delete m_window;
    delete m_progressBar;
    for (Fl_RGB_Image* image : m_iconImages)
        delete image;
    for (Fl_Image* image : m_greyIconImages)
        delete image;
}

void CMorWindow::setCommandLine(int argc, char** argv)
{
    m_argc = argc;
    m_argv = argv;
}

void CMorWindow::addCommandLineParam(const std::string& param)
{
    m_view->addCommandLineParam(param);
}

void CMorWindow::loadPreferences(const std::string& path)
{
    m_preferences = CMorPreferences(path);
    std::string error;
    // A damaged file costs the preferences, never the start.
    if (!m_preferences.load(error))
        std::cout << "The preferences are not used: " << error << std::endl;
    CMorViewSettings defaults;
    defaults.load(m_preferences);
    m_view->setDefaultViewSettings(defaults);
    m_recentFiles.load(m_preferences);
    showRecentFiles();
    // MiB for the fences' picture tiles; the built-in budget otherwise.
    const std::string budget = m_preferences.get("memory-budget");
    if (!budget.empty()) {
        char* end = nullptr;
        const long long mebibytes = std::strtoll(budget.c_str(), &end, 10);
        if (end != budget.c_str() && *end == '\0' && mebibytes >= 16 && mebibytes <= (1LL << 20))
            CPyramidMemory::getInstance().setBudget(static_cast<uint64_t>(mebibytes) << 20);
        else
            std::cout << "The preference memory-budget = " << budget
                      << " is not used: it takes MiB from 16 to 1048576." << std::endl;
    }
    // Under a memory limit the tiles get what is left of it once the
    // screen's frame and the GL driver are counted.
    uint64_t fitted = CPyramidMemory::getInstance().getBudget();
    std::string memoryMessage;
    if (!CMorMemoryPlan::fitDrawing(Fl::w(), Fl::h(), 0, fitted, memoryMessage))
        std::cout << memoryMessage << std::endl;
    if (fitted < CPyramidMemory::getInstance().getBudget()) {
        CPyramidMemory::getInstance().setBudget(fitted);
        std::cout << "Picture tiles get " << (fitted >> 20) << " MiB: the memory left." << std::endl;
    }
}

void CMorWindow::updatePreferences(const std::function<void(CMorPreferences&)>& change)
{
    std::string error;
    if (!m_preferences.load(error))
        std::cout << "The preferences are written anew: " << error << std::endl;
    change(m_preferences);
    if (!m_preferences.save(error))
        std::cout << "The preferences could not be saved: " << error << std::endl;
}

void CMorWindow::show()
{
    // Several sizes so that the window manager need not scale one.
    CMorCanvas icons[] = {CMorArtwork::programIcon(16), CMorArtwork::programIcon(32),
                          CMorArtwork::programIcon(48)};
    Fl_RGB_Image small(icons[0].data(), 16, 16, 4);
    Fl_RGB_Image medium(icons[1].data(), 32, 32, 4);
    Fl_RGB_Image large(icons[2].data(), 48, 48, 4);
    const Fl_RGB_Image* images[] = {&small, &medium, &large};
    // The window copies the images.
    m_window->icons(images, 3);

    m_window->show();
    CMorPingReply::offer(m_window);
    int x = 0, y = 0, width = 0, height = 0;
    Fl::screen_work_area(x, y, width, height);
    m_window->resize(x + MARGIN, y + MARGIN, std::max(1, width - 2 * MARGIN), std::max(1, height - 2 * MARGIN));
    CMorToolWindow::setOwner(m_window);

    m_view->mode(FL_DOUBLE | FL_DEPTH);
    m_view->show();
    // Only now: setting the GL mode may hide and show the view again.
    m_view->setChangedListener(this);
    m_view->setCloseListener(this);
    m_view->setDropListener(this);
    m_view->setPickListener(this);
    // Behind the view's own set-up, which opens the file named on the command line.
    m_view->addInitEvent(this);
}

void CMorWindow::centerWindow(Fl_Window* w)
{
    const int x = m_window->x() + m_window->w() / 2 - w->w() / 2;
    const int y = m_window->y() + m_window->h() / 2 - w->h() / 2;
    w->resize(x, y, w->w(), w->h());
    w->redraw();
}

void CMorWindow::onViewChanged()
{
    // An export keeps the dialogs greyed out until it is done.
    if (!m_view->isExporting())
        m_viewParamDialog->update();
}

void CMorWindow::onViewClose()
{
    hideWindows();
}

void CMorWindow::onViewPick()
{
    const CMorPick& pick = m_view->getPointerPick();
    const CFenceDiagram* diagram = m_view->getDiagram();
    const std::string label = pick.hit && diagram != nullptr ? diagram->getDescription(pick.fence) : "";
    std::string text = pointerReadout(pick, label);
    const std::string measured = measurementReadout(m_view->getMeasurement());
    if (!measured.empty())
        text += "\n" + measured;
    m_readout->setText(text);
}

void CMorWindow::onInit(int, int)
{
    m_settingsShown = m_view->getViewSettings();
    if (m_view->getDiagram() != nullptr)
        rememberOpened();
    showDiagramState();
}

void CMorWindow::onViewDrop(const std::string& text)
{
    // Judged and opened once the toolkit has told the drag source that the
    // drop is over: every log line lets the toolkit handle events, which must
    // not happen while it is still handing over the drop, and a long load
    // must not keep a file manager waiting.
    m_droppedText = text;
    Fl::remove_timeout(openDropped, this);
    Fl::add_timeout(0.0, openDropped, this);
}

void CMorWindow::openDropped(void* data)
{
    static_cast<CMorWindow*>(data)->openDropped();
}

void CMorWindow::openDropped()
{
    const std::vector<std::string> uris = CMorUriList::split(m_droppedText);
    std::string path, refusal;
    if (m_view->isLoading())
        refusal = "a diagram is being loaded";
    else if (m_view->isExporting())
        refusal = "a picture of the view is being taken";
    else if (uris.empty())
        refusal = "nothing that names a file was dropped";
    else if (uris.size() > 1)
        refusal = std::to_string(uris.size()) + " files were dropped; Morvex opens one diagram at a time";
    else if (!CMorUriList::localPath(uris[0], path))
        refusal = quoted(uris[0]) + " is not a file on this computer";
    else if (!isDescriptionFile(path))
        refusal = path + " is not a Morvex description file (.fnc)";
    if (!refusal.empty()) {
        std::cout << "Drop refused: " << refusal << "." << std::endl;
        return;
    }
    std::cout << "Dropped " << path << std::endl;
    openPath(path);
}

void CMorWindow::rememberOpened()
{
    const std::string path = m_view->getFileName();
    updatePreferences([this, &path](CMorPreferences& preferences) {
        // The list as another Morvex may have left it, with this file first.
        m_recentFiles.load(preferences);
        m_recentFiles.add(path);
        m_recentFiles.store(preferences);
    });
    showRecentFiles();
    m_settingsShown = m_view->getViewSettings();
}

void CMorWindow::showRecentFiles()
{
    const int first = m_menuBar->find_index(menuRecent);
    const std::vector<std::string>& paths = m_recentFiles.getPaths();
    for (int i = 0; i < CMorRecentFiles::LIMIT; ++i) {
        const int flags = m_menuBar->mode(first + i) & ~FL_MENU_INVISIBLE;
        if (static_cast<size_t>(i) < paths.size()) {
            m_recentLabels[i] = CMorRecentFiles::menuLabel(i, paths[static_cast<size_t>(i)]);
            m_menuBar->replace(first + i, m_recentLabels[i].c_str());
            m_menuBar->mode(first + i, flags);
        } else {
            m_menuBar->mode(first + i, flags | FL_MENU_INVISIBLE);
        }
    }
    // The submenu's title, greyed out while the list is empty.
    const int title = first - 1;
    const int flags = m_menuBar->mode(title) & ~FL_MENU_INACTIVE;
    m_menuBar->mode(title, paths.empty() ? flags | FL_MENU_INACTIVE : flags);
}

void CMorWindow::viewSettingsChanged()
{
    const CMorViewSettings now = m_view->getViewSettings();
    updatePreferences([this, &now](CMorPreferences& preferences) { now.storeChanges(m_settingsShown, preferences); });
    CMorViewSettings defaults = m_view->getDefaultViewSettings();
    defaults.load(m_preferences);
    m_view->setDefaultViewSettings(defaults);
    m_settingsShown = now;
}

void CMorWindow::rememberFolder(const std::string& key, const std::string& path)
{
    const std::string folder = folderOf(path);
    if (!folder.empty() && folder != m_preferences.get(key))
        updatePreferences([&key, &folder](CMorPreferences& preferences) { preferences.set(key, folder); });
}

void CMorWindow::showDiagramState()
{
    // A load in progress has no diagram yet but may keep the one shown: the
    // title and the commands stay as they are, the commands refuse and say so.
    if (m_view->isLoading())
        return;
    const bool open = m_view->getDiagram() != nullptr;
    std::string title = TITLE;
    if (open) {
        const std::string& path = m_view->getFileName();
        title = path.substr(path.rfind('/') + 1) + " - " + title;
    }
    if (title != m_window->label())
        m_window->copy_label(title.c_str());
    const bool active = m_commandsActive && open;
    for (Fl_Widget* button : {m_saveButton, m_exportButton, m_copyButton}) {
        if (active)
            button->activate();
        else
            button->deactivate();
    }
    for (Fl_Callback* command : diagramMenuCommands) {
        const int index = m_menuBar->find_index(command);
        const int mode = m_menuBar->mode(index) & ~FL_MENU_INACTIVE;
        m_menuBar->mode(index, active ? mode : mode | FL_MENU_INACTIVE);
    }
}

void CMorWindow::hideWhenIdle(void* data)
{
    CMorWindow* window = static_cast<CMorWindow*>(data);
    if (window->m_view->isLoading() || window->m_view->isExporting()) {
        Fl::repeat_timeout(0.05, hideWhenIdle, data);
        return;
    }
    window->m_hidePending = false;
    window->hideWindows();
}

void CMorWindow::hideWindows()
{
    // A load may run inside the view's own drawing (a file named on the
    // command line) and lets the toolkit handle events at every line it logs,
    // an export between its tiles: a window hidden then is pulled out from
    // under the toolkit's drawing. The windows go as soon as that is over.
    if (m_view->isLoading() || m_view->isExporting()) {
        if (!m_hidePending) {
            m_hidePending = true;
            Fl::add_timeout(0.05, hideWhenIdle, this);
            std::cout << (m_view->isLoading() ? "Morvex ends when the diagram has been loaded."
                                              : "Morvex ends when the picture has been exported.")
                      << std::endl;
        }
        return;
    }
    m_window->hide();
    // Dialogs, log, help, about, the start-up splash: no other window keeps
    // the program running once the main window is closed.
    while (Fl_Window* shown = Fl::first_window())
        shown->hide();
}

void CMorWindow::openDiagram()
{
    // Refused before the file dialog, which would run inside the loading.
    if (m_view->isLoading()) {
        std::cout << "Open refused: a diagram is being loaded." << std::endl;
        return;
    }
    const char* chosen = chooseFile("Open fence diagram", "*.fnc", "", CMorFileDialogKind::Open,
                                    m_preferences.get("folder.open"));
    if (chosen == nullptr)
        return;
    const std::string path = chosen;
    rememberFolder("folder.open", path);
    openPath(path);
}

bool CMorWindow::openPath(const std::string& path)
{
    const bool opened = m_view->open(path);
    if (opened)
        rememberOpened();
    showDiagramState();
    // Opening runs the event loop while it reads, so a reload on a mouse
    // event may have seen the diagram half built.
    reloadDialogs();
    return opened;
}

void CMorWindow::importSectionLines()
{
    if (m_view->isLoading()) {
        std::cout << "Import refused: a diagram is being loaded." << std::endl;
        return;
    }
    const char* chosen = chooseFile("Import section lines",
                                    "Section lines\t*.{geojson,json,shp,gpkg,csv,kml,gml,fgb}\nAll files\t*", "",
                                    CMorFileDialogKind::Open, m_preferences.get("folder.import"));
    if (chosen == nullptr)
        return;
    const std::string input = chosen;
    rememberFolder("folder.import", input);
    const std::string name = input.substr(input.rfind('/') + 1);
    chosen = chooseFile("Save imported diagram as", "*.fnc", (name.substr(0, name.rfind('.')) + ".fnc").c_str(),
                        CMorFileDialogKind::Save, folderOf(input));
    if (chosen == nullptr)
        return;
    const std::string output = chosen;
    std::string message;
    if (!CMorImportRunner::importLines(input, output, message)) {
        CMorMessageBox::alert(message);
        return;
    }
    openPath(output);
}

void CMorWindow::exportSectionLines()
{
    if (m_view->isLoading()) {
        std::cout << "Export refused: a diagram is being loaded." << std::endl;
        return;
    }
    if (m_view->isExporting() || m_view->getDiagram() == nullptr)
        return;
    const std::string diagram = m_view->getFileName();
    const std::string name = diagram.substr(diagram.rfind('/') + 1);
    const char* chosen = chooseFile("Export section lines", "*.geojson",
                                    (name.substr(0, name.rfind('.')) + ".geojson").c_str(), CMorFileDialogKind::Save,
                                    m_preferences.get("folder.export"));
    if (chosen == nullptr)
        return;
    const std::string output = chosen;
    std::string message;
    if (!CMorImportRunner::exportLines(diagram, output, message)) {
        CMorMessageBox::alert(message);
        return;
    }
    rememberFolder("folder.export", output);
    std::cout << "Exported the section lines of " << diagram << " to " << output << "." << std::endl;
}

void CMorWindow::openRecent(int index)
{
    if (m_view->isLoading()) {
        std::cout << "Open refused: a diagram is being loaded." << std::endl;
        return;
    }
    if (index < 0 || static_cast<size_t>(index) >= m_recentFiles.getPaths().size())
        return;
    const std::string path = m_recentFiles.getPaths()[static_cast<size_t>(index)];
    struct stat status;
    // A file that cannot be read for another reason fails to open and says why.
    if (stat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        updatePreferences([this, &path](CMorPreferences& preferences) {
            m_recentFiles.load(preferences);
            m_recentFiles.remove(path);
            m_recentFiles.store(preferences);
        });
        showRecentFiles();
        const std::string message = path + " no longer exists; it is taken off the recent list.";
        std::cout << message << std::endl;
        CMorMessageBox::alert(message);
        return;
    }
    openPath(path);
}

void CMorWindow::closeDiagram()
{
    if (m_view->getDiagram() == nullptr && !m_view->isLoading())
        return;
    if (!m_view->closeDiagram())
        return;
    showDiagramState();
    // Both dialogs grey out: there is nothing left for them to change.
    reloadDialogs();
}

void CMorWindow::reloadDialogs()
{
    m_viewParamDialog->update();
    m_diagramDialog->update();
}

void CMorWindow::saveSettings()
{
    // Without a diagram the view writes nothing; during a load it refuses.
    const bool open = m_view->getDiagram() != nullptr;
    if (m_view->saveSettings("") && open)
        std::cout << "Saved settings to " << m_view->getFileName() << "." << std::endl;
}

void CMorWindow::saveSettingsAs()
{
    if (m_view->isLoading()) {
        std::cout << "Save As refused: a diagram is being loaded." << std::endl;
        return;
    }
    if (m_view->getDiagram() == nullptr)
        return;
    const char* chosen = chooseFile("Save settings as", "*.fnc", "", CMorFileDialogKind::Save,
                                    m_preferences.get("folder.save"));
    if (chosen == nullptr)
        return;
    const std::string path = chosen;
    if (!m_view->saveSettingsAs(path))
        return;
    std::cout << "Saved settings to " << m_view->getFileName() << "." << std::endl;
    rememberFolder("folder.save", path);
    rememberOpened();
    showDiagramState();
}

void CMorWindow::resetView()
{
    if (m_view->isLoading()) {
        std::cout << "Reset view refused: a diagram is being loaded." << std::endl;
        return;
    }
    m_view->resetView();
    m_viewParamDialog->update();
}

void CMorWindow::stepExaggeration(bool raise)
{
    CFenceDiagram* diagram = m_view->getDiagram();
    if (diagram == nullptr)
        return;
    const double factor = diagram->getVerticalExaggeration();
    const double next = CMorFrame::nextExaggerationStep(factor, raise);
    if (next == factor) {
        std::cout << "Vertical exaggeration stays " << factor << ": there is no step " << (raise ? "above" : "below")
                  << " it." << std::endl;
        return;
    }
    m_view->setVerticalExaggeration(next);
    reloadDialogs();
}

void CMorWindow::exportView()
{
    if (m_view->isExporting())
        return;
    // The scene holds no diagram while one loads: nothing to export yet.
    if (m_view->isLoading()) {
        std::cout << "Export refused: a diagram is being loaded." << std::endl;
        return;
    }
    if (m_view->getDiagram() == nullptr)
        return;
    const char* chosen = chooseFile("Export as PNG image", "*.png", "", CMorFileDialogKind::Save,
                                    m_preferences.get("folder.export"));
    if (chosen == nullptr)
        return;
    const std::string path = chosen;
    CImageSizeDialog dialog;
    dialog.setTileSize(CMorPackedBitmap::packedWidth(m_view->getFrameWidth()), m_view->getFrameHeight());
    centerWindow(dialog.getWindow());
    if (!dialog.showModal()) {
        std::cout << "Export cancelled" << std::endl;
        return;
    }
    int rows = 1, columns = 1;
    dialog.getSize(rows, columns);
    setCommandsActive(false);
    // The next export starts where this one went; one that was cancelled or
    // failed leaves no trace.
    if (m_view->exportImage(path, rows, columns))
        rememberFolder("folder.export", path);
    setCommandsActive(true);
}

void CMorWindow::exportScene()
{
    if (m_view->isExporting())
        return;
    if (m_view->isLoading()) {
        std::cout << "Export refused: a diagram is being loaded." << std::endl;
        return;
    }
    if (m_view->getDiagram() == nullptr)
        return;
    const char* chosen = chooseFile("Export 3-D", "*.{glb,gltf,html}", "", CMorFileDialogKind::Save,
                                    m_preferences.get("folder.export"));
    if (chosen == nullptr)
        return;
    const std::string path = chosen;
    setCommandsActive(false);
    if (m_view->exportScene(path, CMorGltfBuilder::DEFAULT_TEXTURE_LIMIT))
        rememberFolder("folder.export", path);
    setCommandsActive(true);
}

void CMorWindow::copyToClipboard()
{
    if (m_view->isExporting())
        return;
    if (m_view->isLoading()) {
        std::cout << "Copy refused: a diagram is being loaded." << std::endl;
        return;
    }
    if (m_view->getDiagram() == nullptr)
        return;
    setCommandsActive(false);
    m_view->copyToClipboard();
    setCommandsActive(true);
}

void CMorWindow::copyCoordinates()
{
    if (m_view->isLoading()) {
        std::cout << "Copy coordinates refused: a diagram is being loaded." << std::endl;
        return;
    }
    if (m_view->getDiagram() == nullptr)
        return;
    const std::string text = coordinatesText(m_view->getMeasurement(), m_view->getPointerPick());
    if (text.empty()) {
        std::cout << "No coordinates to copy: click a fence to measure from, or point at one." << std::endl;
        return;
    }
    std::string error;
    if (!CMorClipboard::offerText(text, error)) {
        std::cout << "The coordinates could not be copied to the clipboard: " << error << std::endl;
        CMorMessageBox::alert("The coordinates could not be copied to the clipboard.\n" + error);
        return;
    }
    std::cout << "Copied coordinates to the clipboard:" << std::endl << text << std::endl;
}

void CMorWindow::clearMeasurement()
{
    m_view->clearMeasurement();
}

// While a picture is taken the window keeps handling events (progress, log);
// no other command and no dialog may change the view meanwhile.
void CMorWindow::setCommandsActive(bool active)
{
    Fl_Widget* commands[] = {m_menuBar, m_openButton, m_viewParamButton, m_diagramParamButton, m_resetButton};
    for (Fl_Widget* command : commands) {
        if (active)
            command->activate();
        else
            command->deactivate();
    }
    m_commandsActive = active;
    showDiagramState();
    // The export's progress bar shows at the tool bar's right end meanwhile.
    m_readout->setReserve(active ? 0 : PROGRESS_WIDTH + 8);
    // The menu bar draws its titles with their own colour whatever its state.
    m_menuBar->textcolor(active ? FL_FOREGROUND_COLOR : fl_inactive(FL_FOREGROUND_COLOR));
    m_menuBar->redraw();
    if (active) {
        reloadDialogs();
    } else {
        m_viewParamDialog->getWindow()->deactivate();
        m_diagramDialog->getWindow()->deactivate();
    }
}

void CMorWindow::showViewParameters()
{
    m_viewParamDialog->show();
    m_viewParamDialog->setView(m_view);
    centerWindow(m_viewParamDialog->getWindow());
}

void CMorWindow::showDiagramParameters()
{
    m_diagramDialog->show();
    m_diagramDialog->setView(m_view);
    centerWindow(m_diagramDialog->getWindow());
}

void CMorWindow::showLog()
{
    if (m_logWindow != nullptr)
        m_logWindow->show();
}

void CMorWindow::exit()
{
    hideWindows();
}

void CMorWindow::showHelp()
{
    if (!m_helpWindow->getWindow()->shown())
        centerWindow(m_helpWindow->getWindow());
    m_helpWindow->show();
}

void CMorWindow::showAbout()
{
    if (!m_aboutWindow->isShown())
        m_aboutWindow->centerOn(m_window);
    m_aboutWindow->show();
}
