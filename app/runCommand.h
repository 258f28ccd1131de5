// Runs an external tool (the image export's "convert") and waits for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Splits an argument string at blanks, tabs and line ends; double quotes group
// (and are removed), so "a b" is one argument. No other character is special.
std::vector<std::string> splitArguments(const std::string& arguments);

// Runs program with the arguments of the string, split as above. Returns the
// tool's exit code, or the system error code when it cannot be started (then
// one line on standard output says so).
uint32_t runCommand(const char* program, const char* arguments);

// The same with the arguments already split: each one reaches the tool
// literally, whatever characters it holds.
// A non-empty directory is the tool's working directory.
uint32_t runCommand(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& directory = std::string());
