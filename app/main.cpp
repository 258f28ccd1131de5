// Entry point of the Morvex fence-diagram viewer.
#include "CLogWindow.h"
#include "CMorCommandLine.h"
#include "CMorDisplay.h"
#include "CMorPreferences.h"
#include "CMorMemoryPlan.h"
#include "CMorSafeFile.h"
#include "CMorWidgetFonts.h"
#include "CMorWindow.h"
#include "CSplashFrame.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include <cstdio>
#include <new>
#include <string>

int main(int argc, char** argv)
{
    CMorMemoryPlan::prepareProcess();
    CMorSafeFile::ignoreFileSizeSignal();
    // Help and version need no display.
    CMorCommandLine commandLine;
    switch (commandLine.parse(argc, argv)) {
    case CMorCommandLine::REFUSE:
        std::fprintf(stderr, "morvex: %s\nTry 'morvex --help'.\n", commandLine.getErrorMessage().c_str());
        return 2;
    case CMorCommandLine::SHOW_HELP:
        std::fputs(CMorCommandLine::getHelpText(), stdout);
        return 0;
    case CMorCommandLine::SHOW_VERSION:
        std::printf("%s\n", CSplashFrame::getVersionText().c_str());
        return 0;
    case CMorCommandLine::RUN:
        break;
    }

    std::string reason;
    if (!CMorDisplay::isAvailable(reason)) {
        std::fprintf(stderr, "morvex: cannot show a window: %s.\n"
                             "morvex: Morvex is a desktop program; run it inside an X session.\n",
                     reason.c_str());
        return 1;
    }
    Fl::visual(FL_DOUBLE | FL_ALPHA | FL_DEPTH);
    Fl::get_system_colors();
    // Window managers group the program's windows by their class.
    Fl_Window::default_xclass("morvex");
    CMorWidgetFonts::install();

    // From here on standard output goes to the log window as well.
    CLogWindow log;
    // Destroyed before the log window, which its view may still write to.
    CMorWindow window;
    window.setCommandLine(argc, argv);
    window.setLogWindow(&log);
    window.loadPreferences(CMorPreferences::defaultPath());
    // The program's name, then the files: the view opens the first.
    window.addCommandLineParam(argv[0]);
    for (const std::string& file : commandLine.getFiles())
        window.addCommandLineParam(file);
    window.show();

    CSplashFrame splash;
    if (commandLine.getFiles().empty()) {
        splash.setAutoClose(true);
        splash.centerOn(window.getWindow());
        splash.show();
    }
    // The last resort for an allocation that fails outside the code that
    // checks its own: a word on standard error instead of an abort.
    try {
        return Fl::run();
    } catch (const std::bad_alloc&) {
        std::fputs("morvex: Not enough memory: it ran out, and Morvex has to end.\n", stderr);
        return 1;
    }
}
