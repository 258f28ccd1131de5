// The command line of morvex: --help and --version, answered without a
// display, the description files to open, and a refusal for any other
// argument that looks like an option.
#pragma once

#include <string>
#include <vector>

class CMorCommandLine
{
public:
    enum Action { RUN, SHOW_HELP, SHOW_VERSION, REFUSE };

    // An unknown option anywhere refuses the whole line; otherwise --help
    // comes before --version, both before running. "--" makes every later
    // argument a file, also one that begins with '-'.
    Action parse(int argc, const char* const* argv);
    // The files in their order; the viewer opens the first.
    const std::vector<std::string>& getFiles() const { return m_files; }
    // Why the line was refused, in a sentence.
    const std::string& getErrorMessage() const { return m_errorMessage; }
    static const char* getHelpText();

private:
    std::vector<std::string> m_files;
    std::string m_errorMessage;
};
