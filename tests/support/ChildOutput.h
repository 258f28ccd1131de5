// Runs part of a test in a forked child as an ordinary user, where the limits
// and permissions under test bind (they do not bind root).
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

// What the child writes to standard output, then the text fn returns (fn may
// send its standard output elsewhere; the text still comes back); status
// is the child's wait status (it exits 0 once fn has returned, 2 when it
// could not become an ordinary user).
inline std::string outputOfChild(const std::function<std::string()>& fn, int& status)
{
    int channel[2];
    if (pipe(channel) != 0)
        return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        if ((geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) || dup2(channel[1], STDOUT_FILENO) < 0)
            _exit(2);
        const std::string told = fn();
        fflush(stdout);
        _exit(write(channel[1], told.data(), told.size()) < 0 ? 2 : 0);
    }
    close(channel[1]);
    std::string output;
    char buffer[512];
    for (ssize_t n; child > 0 && (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<size_t>(n));
    close(channel[0]);
    status = -1;
    if (child > 0)
        waitpid(child, &status, 0);
    return output;
}
