// Path arithmetic for picture names.
#include "importPaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <vector>

namespace {

std::vector<std::string> partsOf(const std::string& path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        const std::string part = path.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    return parts;
}

std::string joined(const std::vector<std::string>& parts, size_t from)
{
    std::string path;
    for (size_t i = from; i < parts.size(); ++i)
        path += (path.empty() ? "" : "/") + parts[i];
    return path;
}

} // namespace

std::string absolutePath(const std::string& path)
{
    std::string full = path;
    if (path.empty() || path[0] != '/') {
        char working[PATH_MAX];
        full = std::string(getcwd(working, sizeof working) != nullptr ? working : "") + "/" + path;
    }
    return "/" + joined(partsOf(full), 0);
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool isFile(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool sameFile(const std::string& first, const std::string& second)
{
    struct stat a, b;
    return stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

std::string relativePath(const std::string& target, const std::string& folder)
{
    const std::vector<std::string> to = partsOf(target);
    const std::vector<std::string> from = partsOf(folder);
    size_t common = 0;
    while (common < to.size() && common < from.size() && to[common] == from[common])
        ++common;
    std::string relative;
    for (size_t i = common; i < from.size(); ++i)
        relative += "../";
    relative += joined(to, common);
    // ".." after a link to a folder leads elsewhere than its text says.
    if (relative.empty() || (!sameFile(folder + "/" + relative, target) && sameFile(target, target)))
        return target;
    return relative;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool hasBlank(const std::string& text)
{
    for (char c : text)
        if (isBlank(c))
            return true;
    return false;
}
