// Starts a program with an argument list (no shell in between, so every
// argument arrives literally) and waits for it to end.
#pragma once

#include <string>
#include <vector>

class CMorProcess
{
public:
    // Runs argv[0], found through PATH, with argv as its arguments and the
    // caller's environment and directory. True when it was started and waited
    // for: status is its exit code (128 + the signal number when a signal ended
    // it). False when it could not be started: status is the errno value and
    // error says why. A non-empty directory is the program's working
    // directory instead of the caller's.
    static bool run(const std::vector<std::string>& argv, int& status, std::string& error,
                    const std::string& directory = std::string());
    // As run, with what the program writes to its standard output and
    // standard error collected into output, in the order written (at most
    // OUTPUT_LIMIT bytes; the rest is read and dropped).
    static bool runCollecting(const std::vector<std::string>& argv, int& status, std::string& output,
                              std::string& error);
    static constexpr size_t OUTPUT_LIMIT = 1 << 20;
    // The program name beside the running program's own file when there is
    // an executable of that name there, else the name itself (found through
    // PATH when run): a build tree and an installation both find their own.
    static std::string besideSelf(const std::string& name);
};
