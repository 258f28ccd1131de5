// POSIX process start and wait.
#include "CMorProcess.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

extern char** environ;

bool CMorProcess::run(const std::vector<std::string>& argv, int& status, std::string& error,
                      const std::string& directory)
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

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int rc = directory.empty() ? 0 : posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    pid_t pid = 0;
    if (rc == 0)
        rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
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
