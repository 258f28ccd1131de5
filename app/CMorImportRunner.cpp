// The importer run as a program of its own.
#include "CMorImportRunner.h"

#include "CMorProcess.h"

#include <iostream>
#include <sstream>

namespace {

const char* const PROGRAM = "morvex-import";

// What the user is told of a failed run: the importer's lines that begin
// with its name, without it; else its exit status.
std::string messageOf(const std::string& output, int status)
{
    const std::string prefix = std::string(PROGRAM) + ": ";
    std::istringstream lines(output);
    std::string line, message;
    while (std::getline(lines, line))
        if (line.compare(0, prefix.size(), prefix) == 0)
            message += (message.empty() ? "" : "\n") + line.substr(prefix.size());
    return message.empty() ? prefix + "failed with exit status " + std::to_string(status) + "." : message;
}

} // namespace

bool CMorImportRunner::importLines(const std::string& input, const std::string& output, std::string& message)
{
    return run({"-o", output}, input, message);
}

bool CMorImportRunner::exportLines(const std::string& diagram, const std::string& output, std::string& message)
{
    return run({"--export", "-o", output}, diagram, message);
}

bool CMorImportRunner::run(const std::vector<std::string>& options, const std::string& input, std::string& message)
{
    std::vector<std::string> argv = {CMorProcess::besideSelf(PROGRAM)};
    argv.insert(argv.end(), options.begin(), options.end());
    // An input that begins with "-" is not taken for an option.
    argv.push_back("--");
    argv.push_back(input);
    std::cout << "Running";
    for (const std::string& argument : argv)
        std::cout << " " << argument;
    std::cout << std::endl;
    int status = 0;
    std::string output, error;
    if (!CMorProcess::runCollecting(argv, status, output, error)) {
        message = std::string(PROGRAM) + " could not be started: " + error + ".";
        std::cout << message << std::endl;
        return false;
    }
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line))
        std::cout << line << std::endl;
    if (status == 0)
        return true;
    message = messageOf(output, status);
    return false;
}
