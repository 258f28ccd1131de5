// Temporary directory through mkdtemp.
#include "CMorTempDirectory.h"

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

CMorTempDirectory::~CMorTempDirectory()
{
    remove();
}

bool CMorTempDirectory::create(const std::string& prefix, std::string& error)
{
    remove();
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/" + prefix + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) {
        error = "Cannot create a temporary directory " + pattern + ": " + std::strerror(errno) + ".";
        return false;
    }
    m_path = name.data();
    return true;
}

bool CMorTempDirectory::remove()
{
    if (m_path.empty())
        return true;
    bool removedAll = true;
    if (DIR* dir = opendir(m_path.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && unlink(pathOf(name).c_str()) != 0)
                removedAll = false;
        }
        closedir(dir);
    }
    if (rmdir(m_path.c_str()) != 0)
        removedAll = false;
    m_path.clear();
    return removedAll;
}
