// Write-to-temporary, fsync, rename; symbolic links followed to their target.
#include "CMorSafeFile.h"

#include <fcntl.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
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

std::string nameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows a chain of symbolic links whose last member does not exist yet.
bool followDanglingLink(const std::string& path, std::string& target)
{
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        char link[PATH_MAX];
        const ssize_t length = readlink(current.c_str(), link, sizeof link - 1);
        if (length < 0)
            return false;
        link[length] = '\0';
        current = link[0] == '/' ? std::string(link) : directoryOf(current) + "/" + link;
        struct stat info;
        if (lstat(current.c_str(), &info) != 0) {
            target = current;
            return errno == ENOENT;
        }
        // Something appeared where nothing was a moment ago.
        if (!S_ISLNK(info.st_mode)) {
            errno = EEXIST;
            return false;
        }
    }
    errno = ELOOP;
    return false;
}

mode_t creationMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

CMorSafeFile::~CMorSafeFile()
{
    abort();
}

std::string CMorSafeFile::describe(int error)
{
    switch (error) {
    case ENOSPC: return "no space left on the device";
    case EFBIG: return "the file is too large";
    case EDQUOT: return "the disk quota is used up";
    case EACCES:
    case EPERM: return "permission denied";
    case EROFS: return "the file system is read-only";
    case ENOENT: return "no such folder";
    case ENOTDIR: return "a part of the path is not a folder";
    case EISDIR: return "it is a folder";
    case ENAMETOOLONG: return "the name is too long";
    case ELOOP: return "too many symbolic links";
    case EIO: return "an input/output error on the device";
    case EMFILE:
    case ENFILE: return "too many open files";
    case ENOMEM: return "not enough memory";
    default: break;
    }
    std::string text = std::strerror(error);
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

void CMorSafeFile::ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

bool CMorSafeFile::fail(const std::string& what, int error, std::string& message)
{
    message = what + " " + m_path + ": " + describe(error) + ".";
    abort();
    return false;
}

bool CMorSafeFile::begin(const std::string& path, std::string& error)
{
    abort();
    m_path = path;
    m_target = path;
    struct stat old;
    const bool exists = stat(path.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return fail("Cannot write", EISDIR, error);
    if (exists && !S_ISREG(old.st_mode)) {
        // Nothing to keep intact in a device or a pipe.
        m_fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        return m_fd >= 0 || fail("Cannot write", errno, error);
    }
    if (!exists && errno != ENOENT)
        return fail("Cannot write", errno, error);
    // A file its owner made read-only is not replaced behind their back.
    if (exists && access(path.c_str(), W_OK) != 0)
        return fail("Cannot write", errno, error);
    struct stat link;
    if (lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (exists) {
            char* resolved = realpath(path.c_str(), nullptr);
            if (resolved == nullptr)
                return fail("Cannot write", errno, error);
            m_target = resolved;
            std::free(resolved);
        } else if (!followDanglingLink(path, m_target)) {
            return fail("Cannot write", errno, error);
        }
    }

    // ".name.saving-XXXXXX.ext" beside the target: hidden, and with the
    // extension that tools choose the format by.
    std::string name = nameOf(m_target);
    std::string extension;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0 && name.size() - dot <= 32) {
        extension = name.substr(dot);
        name.erase(dot);
    }
    name = name.substr(0, 180);
    const std::string pattern = directoryOf(m_target) + "/." + name + ".saving-XXXXXX" + extension;
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    m_fd = mkostemps(buffer.data(), static_cast<int>(extension.size()), O_CLOEXEC);
    if (m_fd < 0 && (errno == EACCES || errno == EPERM)) {
        error = "Cannot write " + path + ": permission denied (no new file may be made in its folder).";
        return false;
    }
    if (m_fd < 0)
        return fail("Cannot write", errno, error);
    m_temporary = buffer.data();
    if (exists) {
        // Best effort: only the owner or root may hand a file to its owner.
        if (old.st_uid != geteuid() || old.st_gid != getegid())
            (void)!fchown(m_fd, old.st_uid, old.st_gid);
        if (fchmod(m_fd, old.st_mode & 07777) != 0)
            return fail("Cannot set the permissions of the new", errno, error);
    } else if (fchmod(m_fd, creationMode()) != 0) {
        return fail("Cannot set the permissions of the new", errno, error);
    }
    return true;
}

ssize_t CMorSafeFile::writeCookie(void* cookie, const char* data, size_t size)
{
    CMorSafeFile* file = static_cast<CMorSafeFile*>(cookie);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(file->m_fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (file->m_writeErrno == 0)
                file->m_writeErrno = n < 0 ? errno : ENOSPC;
            return 0;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(size);
}

FILE* CMorSafeFile::getStream()
{
    if (m_stream == nullptr && m_fd >= 0) {
        cookie_io_functions_t functions{};
        functions.write = writeCookie;
        m_stream = fopencookie(this, "w", functions);
        if (m_stream != nullptr)
            setvbuf(m_stream, nullptr, _IOFBF, 1 << 16);
    }
    return m_stream;
}

std::string CMorSafeFile::getWriteError() const
{
    return m_writeErrno == 0 ? std::string() : "Cannot write " + m_path + ": " + describe(m_writeErrno) + ".";
}

bool CMorSafeFile::commit(std::string& error)
{
    if (m_fd < 0)
        return fail("Cannot write", EBADF, error);
    if (m_stream != nullptr) {
        const bool flushed = std::fflush(m_stream) == 0 && !std::ferror(m_stream);
        const int flushErrno = errno;
        std::fclose(m_stream);
        m_stream = nullptr;
        if (!flushed)
            return fail("Cannot write", m_writeErrno != 0 ? m_writeErrno : flushErrno, error);
    }
    if (m_writeErrno != 0)
        return fail("Cannot write", m_writeErrno, error);
    // Data that did not reach the disk yet reports its failure here.
    if (!m_temporary.empty() && fsync(m_fd) != 0)
        return fail("Cannot write", errno, error);
    const int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0)
        return fail("Cannot write", errno, error);
    if (m_temporary.empty())
        return true;
    if (rename(m_temporary.c_str(), m_target.c_str()) != 0)
        return fail("Cannot replace", errno, error);
    m_temporary.clear();
    // Make the rename itself durable.
    const int dir = open(directoryOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

void CMorSafeFile::abort()
{
    if (m_stream != nullptr) {
        // What is still buffered is not worth writing.
        __fpurge(m_stream);
        std::fclose(m_stream);
        m_stream = nullptr;
    }
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        unlink(m_temporary.c_str());
        m_temporary.clear();
    }
    m_writeErrno = 0;
}

bool CMorSafeFile::write(const std::string& path, const std::string& content, std::string& error)
{
    return write(path, content.data(), content.size(), error);
}

bool CMorSafeFile::write(const std::string& path, const void* data, size_t size, std::string& error)
{
    CMorSafeFile file;
    if (!file.begin(path, error))
        return false;
    FILE* stream = file.getStream();
    if (stream == nullptr) {
        error = "Cannot write " + path + ": " + describe(ENOMEM) + ".";
        return false;
    }
    // A failed write leaves its error in the stream, which commit reports.
    std::fwrite(data, 1, size, stream);
    return file.commit(error);
}
