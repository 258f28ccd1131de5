// POSIX process start and wait.
#include "CMorProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

extern char** environ;

namespace {

std::vector<char*> argumentsOf(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    return args;
}

// Waits for pid; status and error as run gives them.
bool waitFor(pid_t pid, int& status, std::string& error)
{
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

} // namespace

bool CMorProcess::run(const std::vector<std::string>& argv, int& status, std::string& error,
                      const std::string& directory)
{
    if (argv.empty()) {
        status = EINVAL;
        error = "no program named";
        return false;
    }
    std::vector<char*> args = argumentsOf(argv);
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
    return waitFor(pid, status, error);
}

bool CMorProcess::runCollecting(const std::vector<std::string>& argv, int& status, std::string& output,
                                std::string& error)
{
    output.clear();
    if (argv.empty()) {
        status = EINVAL;
        error = "no program named";
        return false;
    }
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        status = errno;
        error = std::string("no pipe for its output: ") + std::strerror(errno);
        return false;
    }
    std::vector<char*> args = argumentsOf(argv);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    // Only the program holds the writing end now: reading ends when it does.
    close(pipeEnds[1]);
    if (rc != 0) {
        close(pipeEnds[0]);
        status = rc;
        error = std::strerror(rc);
        return false;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(pipeEnds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        output.append(buffer, std::min(static_cast<size_t>(n), OUTPUT_LIMIT - output.size()));
    }
    close(pipeEnds[0]);
    return waitFor(pid, status, error);
}

std::string CMorProcess::besideSelf(const std::string& name)
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return name;
    const std::string own(self, static_cast<size_t>(length));
    const std::string path = own.substr(0, own.rfind('/') + 1) + name;
    return access(path.c_str(), X_OK) == 0 ? path : name;
}
