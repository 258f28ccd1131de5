// Test program for the end-to-end GUI tests: a CMorView showing a known scene
// under a stand-in menu (export, copy, reset view, exit), the log window, and
// on request the splash and about windows. The export's file name comes from
// the command line. What the tests check is reported as "viewtest: " lines.
#include "CImageSizeDialog.h"
#include "CLogWindow.h"
#include "CMorPackedBitmap.h"
#include "CMorProgressBar.h"
#include "CMorSafeFile.h"
#include "CMorView.h"
#include "CSplashFrame.h"
#include "CTestTriangle.h"
#include "CZelMouseUpEvent.h"
#include "CZelInitEvent.h"
#include "CZelRenderEvent.h"
#include "runCommand.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Options {
    int width = 400;
    int height = 300;
    int background = 0;
    int antialias = -1; // level, or -1 for off
    bool logTest = false;
    bool splash = false; // with the about window
    std::string exportPath = "export.png";
};

const int MENU_HEIGHT = 24;

CMorView* theView = nullptr;
CSplashFrame* theSplash = nullptr;
CSplashFrame* theAbout = nullptr;
double splashShownAt = 0.0;
int framesDrawn = 0;
// Holds back the reports while the log test measures the display.
bool quiet = false;
int framesReported = 0;
// The ready line is written after the first frame, not from inside drawing.
std::string readyReport;

void onResetView(Fl_Widget*, void*)
{
    std::cout << "viewtest: menu Reset View" << std::endl;
    if (theView->getCamera() != nullptr) {
        theView->getCamera()->setPosition(0.0, 3.0, 5.0);
        theView->getCamera()->setTarget(0.0, 0.0, 0.0);
        theView->redraw();
    }
}

// The export command with the file dialog's answer given on the command line.
void onExport(Fl_Widget* widget, void* path)
{
    std::cout << "viewtest: menu Export PNG" << std::endl;
    CImageSizeDialog dialog;
    dialog.setTileSize(CMorPackedBitmap::packedWidth(theView->getFrameWidth()), theView->getFrameHeight());
    Fl_Window* main = widget->window();
    Fl_Window* shown = dialog.getWindow();
    shown->position(main->x() + main->w() / 2 - shown->w() / 2, main->y() + main->h() / 2 - shown->h() / 2);
    if (!dialog.showModal()) {
        std::cout << "viewtest: export cancelled" << std::endl;
        return;
    }
    int n = 0, m = 0;
    dialog.getSize(n, m);
    const bool ok = theView->exportImage(static_cast<const char*>(path), n, m);
    std::cout << "viewtest: export " << n << " x " << m << (ok ? " done" : " failed") << std::endl;
}

void onCopy(Fl_Widget*, void*)
{
    std::cout << "viewtest: menu Copy" << std::endl;
    theView->copyToClipboard();
}

void onExit(Fl_Widget* widget, void*)
{
    std::cout << "viewtest: menu Exit" << std::endl;
    widget->window()->hide();
}

void addTestScene(CZelScene* scene)
{
    // A large dark-blue triangle whose long edge crosses the view diagonally,
    // and a small red one in front of it.
    const double a[3] = {-2.0, -1.0, 0.0}, b[3] = {2.0, -1.0, 0.0}, c[3] = {-2.0, 1.5, 0.0};
    scene->addChild(new CTestTriangle(a, b, c, 20, 40, 140));
    const double d[3] = {0.2, -0.6, 0.5}, e[3] = {1.0, -0.6, 0.5}, f[3] = {0.6, 0.2, 0.5};
    scene->addChild(new CTestTriangle(d, e, f, 200, 30, 30));
}

void onReport(void*);

// Listens to the view behind the view itself.
class Probe : public CZelInitEvent, public CZelMouseUpEvent, public CZelRenderEvent
{
public:
    explicit Probe(const Options& options) : m_options(options) {}

    void onInit(int width, int height) override
    {
        addTestScene(theView->getScene());
        theView->setBackgroundType(m_options.background);
        if (m_options.antialias >= 0) {
            theView->setAntialias(true);
            theView->setAntialiasLevel(m_options.antialias);
        }
        GLint accum = 0;
        glGetIntegerv(GL_ACCUM_RED_BITS, &accum);
        readyReport = "viewtest: ready " + std::to_string(width) + "x" + std::to_string(height) +
                   " accumulation " + (accum > 0 ? "yes" : "no");
    }
    void onMouseUp(int, int) override { std::cout << "viewtest: mouse up" << std::endl; }
    void onRender() override
    {
        ++framesDrawn;
        // The loop sleeps after drawing; a timeout wakes it to report.
        if (!Fl::has_timeout(onReport))
            Fl::add_timeout(0.0, onReport);
    }

private:
    const Options& m_options;
};

// Reports the view's state after drawing, outside the drawing itself.
void onReport(void*)
{
    if (quiet) {
        Fl::add_timeout(0.05, onReport);
        return;
    }
    if (!readyReport.empty())
        std::cout << readyReport << std::endl;
    readyReport.clear();
    if (framesDrawn != framesReported) {
        framesReported = framesDrawn;
        std::cout << "viewtest: frame " << framesReported << std::endl;
    }
}

// After every round of the event loop: has the splash gone?
void onCheck(void*)
{
    if (!quiet && theSplash != nullptr && !theSplash->isShown()) {
        char line[128];
        std::snprintf(line, sizeof line, "viewtest: splash hidden after %.2f s", theView->elapsedTime() - splashShownAt);
        std::cout << line << std::endl;
        theSplash = nullptr;
        std::cout << "viewtest: about " << (theAbout->isShown() ? "still shown" : "hidden") << std::endl;
    }
}

std::vector<int> logPieces;

void onLogModified(int, int inserted, int, int, const char*, void*)
{
    if (inserted > 0)
        logPieces.push_back(inserted);
}

void runLogTest(CLogWindow& log)
{
    quiet = true;
    log.show();
    Fl_Text_Buffer* shownText = log.getDisplay()->buffer(); // borrowed
    const int start = shownText->length();
    std::cout << "abc";
    const int beforeLineEnd = shownText->length() - start;
    std::cout << "\n";
    // Other lines may follow at once (the flush runs the event loop), so
    // look for the three characters and the line end where they must be.
    char* shown = shownText->text_range(start, start + 4);
    const int afterLineEnd = std::string(shown) == "abc\n" ? 4 : 0;
    std::free(shown);
    shownText->add_modify_callback(onLogModified, nullptr);
    std::cout << std::string(1200, 'x');
    std::vector<int> piecesBeforeLineEnd = logPieces;
    std::cout << std::endl;
    shownText->remove_modify_callback(onLogModified, nullptr);
    quiet = false;
    std::cout << "viewtest: log abc before line end " << beforeLineEnd << " after " << afterLineEnd << std::endl;
    std::cout << "viewtest: log pieces";
    for (int piece : piecesBeforeLineEnd)
        std::cout << ' ' << piece;
    std::cout << " then " << logPieces.size() - piecesBeforeLineEnd.size() << " at the line end" << std::endl;
}

bool parse(int argc, char** argv, Options& o)
{
    const std::map<std::string, int*> numbers = {
        {"--width", &o.width}, {"--height", &o.height}, {"--background", &o.background}, {"--antialias", &o.antialias}};
    const std::map<std::string, bool*> flags = {
        {"--log-test", &o.logTest}, {"--splash", &o.splash}};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (flags.count(arg) != 0) {
            *flags.at(arg) = true;
        } else if (numbers.count(arg) != 0 && i + 1 < argc) {
            *numbers.at(arg) = std::atoi(argv[++i]);
        } else if (arg == "--export" && i + 1 < argc) {
            o.exportPath = argv[++i];
        } else {
            std::fprintf(stderr, "morvex_viewtest: unknown argument %s\n", argv[i]);
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    CMorSafeFile::ignoreFileSizeSignal();
    Options options;
    if (!parse(argc, argv, options))
        return 2;
    Fl::visual(FL_DOUBLE | FL_RGB);

    CLogWindow log;
    Fl_Double_Window window(options.width, options.height + MENU_HEIGHT, "Morvex view test");
    Fl_Menu_Bar menu(0, 0, options.width - 130, MENU_HEIGHT);
    menu.add("File/&Export PNG...", FL_CTRL + 'e', onExport, const_cast<char*>(options.exportPath.c_str()));
    menu.add("File/&Exit", FL_ALT + FL_F + 4, onExit);
    menu.add("Edit/&Copy", FL_CTRL + 'c', onCopy);
    menu.add("View/&Reset View", FL_Home, onResetView);
    CMorProgressBar progress(options.width - 128, 2, 126, MENU_HEIGHT - 4);
    CMorView view(0, MENU_HEIGHT, options.width, options.height);
    window.end();
    view.setToolRunner([](const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& directory) { return runCommand(program, arguments, directory); });
    view.setExportProgress(&progress);
    theView = &view;
    Probe probe(options);
    view.addInitEvent(&probe);
    view.addMouseUpEvent(&probe);
    view.addRenderEvent(&probe);
    view.addCommandLineParam(argv[0]);

    window.show();
    view.mode(FL_DOUBLE | FL_DEPTH);
    view.show();
    Fl::add_check(onCheck);

    CSplashFrame about;
    CSplashFrame splash;
    if (options.splash) {
        about.show();
        about.centerOn(&window);
        theAbout = &about;
        splash.setAutoClose(true);
        splash.centerOn(&window);
        splash.show();
        splashShownAt = view.elapsedTime();
        theSplash = &splash;
    }
    if (options.logTest)
        runLogTest(log);
    return Fl::run();
}
