// Write-to-temporary, fsync, rename.
#include "CMorSafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

std::string directoryOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, const std::string& content)
{
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool CMorSafeFile::write(const std::string& path, const std::string& content, std::string& error)
{
    std::string pattern = path + ".saving-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        error = "Cannot create a temporary file beside " + path + ": " + std::strerror(errno) + ".";
        return false;
    }
    const std::string temporary(name.data());
    auto fail = [&](const std::string& what) {
        const int saved = errno;
        close(fd);
        unlink(temporary.c_str());
        error = what + ": " + std::strerror(saved) + ".";
        return false;
    };

    struct stat original;
    const mode_t mode = stat(path.c_str(), &original) == 0 ? (original.st_mode & 07777) : 0644;
    if (fchmod(fd, mode) != 0)
        return fail("Cannot set the permissions of the new " + path);
    if (!writeAll(fd, content))
        return fail("Cannot write " + path);
    if (fsync(fd) != 0)
        return fail("Cannot flush " + path + " to disk");
    if (close(fd) != 0) {
        error = "Cannot write " + path + ": " + std::strerror(errno) + ".";
        unlink(temporary.c_str());
        return false;
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        error = "Cannot replace " + path + ": " + std::strerror(errno) + ".";
        unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    const int dir = open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}
