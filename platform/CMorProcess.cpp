// POSIX process start and wait.
#include "CMorProcess.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

extern char** environ;

bool CMorProcess::run(const std::vector<std::string>& argv, int& status, std::string& error)
{
    if (argv.empty()) {
        status = EINVAL;
        error = "no program named";
        return false;
    }
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ);
    if (rc != 0) {
        status = rc;
        error = std::strerror(rc);
        return false;
    }
    int waitStatus = 0;
    while (waitpid(pid, &waitStatus, 0) < 0) {
        if (errno != EINTR) {
            status = errno;
            error = std::string("waiting for the process failed: ") + std::strerror(errno);
            return false;
        }
    }
    if (WIFEXITED(waitStatus))
        status = WEXITSTATUS(waitStatus);
    else if (WIFSIGNALED(waitStatus))
        status = 128 + WTERMSIG(waitStatus);
    else
        status = 0;
    return true;
}
