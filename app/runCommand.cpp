// External tool runner over the platform's process start.
#include "runCommand.h"

#include "CMorProcess.h"

#include <iostream>

std::vector<std::string> splitArguments(const std::string& arguments)
{
    std::vector<std::string> result;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (char c : arguments) {
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
            if (inArgument)
                result.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        result.push_back(current);
    return result;
}

uint32_t runCommand(const char* program, const char* arguments)
{
    return runCommand(std::string(program ? program : ""), splitArguments(arguments ? arguments : ""));
}

uint32_t runCommand(const std::string& program, const std::vector<std::string>& arguments, const std::string& directory)
{
    std::vector<std::string> argv;
    argv.reserve(arguments.size() + 1);
    argv.push_back(program);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    int status = 0;
    std::string error;
    if (!CMorProcess::run(argv, status, error, directory))
        std::cout << "runCommand(): cannot start " << program << ": " << error << std::endl;
    return static_cast<uint32_t>(status);
}
