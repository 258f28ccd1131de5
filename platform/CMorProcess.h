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
};
