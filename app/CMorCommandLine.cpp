// Command-line options of the viewer.
#include "CMorCommandLine.h"

namespace {

const char HELP[] =
    "Usage: morvex [OPTION] [FILE.fnc]\n"
    "Shows a fence diagram: section pictures standing upright along their lines on the\n"
    "map, labelled, inside a bounding box with measuring axes and a legend. FILE.fnc, a\n"
    "Morvex description file, is opened at start; further files are ignored. Without a\n"
    "file a splash window shows for four seconds.\n"
    "\n"
    "Options:\n"
    "  -h, --help       this text\n"
    "  -V, --version    the version and when it was built\n"
    "  --               every later argument is a file, also one that begins with -\n"
    "\n"
    "Environment:\n"
    "  DISPLAY          the X display to show the windows on (required)\n"
    "  XDG_CONFIG_HOME  the preferences (view settings, recent diagrams, the folders of\n"
    "                   the file dialogs) are kept in $XDG_CONFIG_HOME/morvex/preferences,\n"
    "                   or in ~/.config/morvex/preferences when it is unset (HOME)\n"
    "  XDG_CACHE_HOME   the tiles of the pictures opened are cached in $XDG_CACHE_HOME/morvex,\n"
    "                   or in ~/.cache/morvex when it is unset (HOME)\n"
    "  TMPDIR           where an export keeps its tiles until they are joined (/tmp)\n"
    "  PATH             where ImageMagick's convert, which joins exported tiles, is found,\n"
    "                   and morvex-import when it does not lie beside morvex\n"
    "  MORVEX_TRACE     a file to which the view appends one line per input it acts on\n"
    "                   and per camera change (used by the tests)\n";

} // namespace

CMorCommandLine::Action CMorCommandLine::parse(int argc, const char* const* argv)
{
    m_files.clear();
    m_errorMessage.clear();
    bool help = false, version = false, optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnded || argument.empty() || argument[0] != '-') {
            m_files.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            help = true;
        } else if (argument == "-V" || argument == "--version") {
            version = true;
        } else {
            m_errorMessage = "Unknown option " + argument + ".";
            return REFUSE;
        }
    }
    return help ? SHOW_HELP : version ? SHOW_VERSION : RUN;
}

const char* CMorCommandLine::getHelpText()
{
    return HELP;
}
