// The tile cache's folder.
#include "CPyramidCache.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <vector>

namespace {

// Raised whenever tiles are made differently, so that older entries are
// never read as if they were made the same way.
constexpr int TILE_VERSION = 2;
const char* const SUFFIX = ".tiles";

std::mutex g_mutex;
std::map<std::string, int> g_held;
uint64_t g_reserved = 0;

uint64_t fnv(const std::string& text, uint64_t hash)
{
    for (const unsigned char c : text)
        hash = (hash ^ c) * 0x100000001B3ULL;
    return hash;
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool makeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

} // namespace

CPyramidCache::CPyramidCache(const std::string& directory) : m_directory(directory) {}

std::string CPyramidCache::defaultDirectory()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/')
        return std::string(cache) + "/morvex";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return std::string(home) + "/.cache/morvex";
    return "";
}

bool CPyramidCache::prepare(std::string& why)
{
    if (m_directory.empty()) {
        why = "there is no folder for it (neither XDG_CACHE_HOME nor HOME is set)";
        return false;
    }
    struct stat info;
    if (!makeFolders(m_directory) || stat(m_directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        access(m_directory.c_str(), W_OK) != 0) {
        why = "its folder " + m_directory + " cannot be written";
        return false;
    }
    return true;
}

bool CPyramidCache::pictureKey(const std::string& path, const int* crop, std::string& key)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return false;
    key = "v" + std::to_string(TILE_VERSION) + "|" + path + "|" + std::to_string(info.st_size) + "|" +
          std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + "|" +
          std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) + "|" +
          std::to_string(info.st_ctim.tv_sec) + "." + std::to_string(info.st_ctim.tv_nsec);
    if (crop != nullptr)
        key += "|crop " + std::to_string(crop[0]) + " " + std::to_string(crop[1]) + " " + std::to_string(crop[2]) +
               " " + std::to_string(crop[3]);
    return true;
}

std::string CPyramidCache::entryPath(const std::string& key, const std::string& kind) const
{
    char name[40];
    std::snprintf(name, sizeof name, "%016llx%016llx",
                  static_cast<unsigned long long>(fnv(key, 0xCBF29CE484222325ULL)),
                  static_cast<unsigned long long>(fnv(key, 0x84222325CBF29CE4ULL)));
    return m_directory + "/" + name + "." + kind + SUFFIX;
}

int64_t CPyramidCache::availableBytes() const
{
    if (m_available >= 0)
        return m_available;
    struct statvfs info;
    if (statvfs(m_directory.c_str(), &info) != 0)
        return 0;
    const uint64_t free = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
    return free > DISK_RESERVE ? static_cast<int64_t>(free - DISK_RESERVE) : 0;
}

bool CPyramidCache::reserve(uint64_t bytes, std::string& why)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const uint64_t used = getUsedBytes();
    // Within the size limit, the oldest entries make way for this one.
    if (used + bytes > m_sizeLimit)
        removeOldest(m_sizeLimit > bytes ? m_sizeLimit - bytes : 0);
    int64_t available = availableBytes() - static_cast<int64_t>(g_reserved);
    if (available < static_cast<int64_t>(bytes)) {
        removeOldest(0);
        available = availableBytes() - static_cast<int64_t>(g_reserved);
    }
    if (available < static_cast<int64_t>(bytes) || bytes > m_sizeLimit) {
        why = "it needs " + std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB, the disk has " +
              std::to_string(std::max<int64_t>(available, 0) >> 20) + " MiB free" +
              (bytes > m_sizeLimit ? " and the cache may hold " + std::to_string(m_sizeLimit >> 20) + " MiB" : "");
        return false;
    }
    g_reserved += bytes;
    return true;
}

void CPyramidCache::release(uint64_t bytes)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_reserved -= std::min(g_reserved, bytes);
}

uint64_t CPyramidCache::getUsedBytes() const
{
    uint64_t total = 0;
    DIR* folder = opendir(m_directory.c_str());
    if (folder == nullptr)
        return 0;
    while (const dirent* item = readdir(folder)) {
        struct stat info;
        const std::string path = m_directory + "/" + item->d_name;
        if (item->d_name[0] != '.' && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            total += static_cast<uint64_t>(info.st_size);
    }
    closedir(folder);
    return total;
}

void CPyramidCache::clean(uint64_t limit)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    removeOldest(limit);
}

void CPyramidCache::removeOldest(uint64_t limit)
{
    struct Entry
    {
        std::string path;
        uint64_t size;
        time_t used;
    };
    std::vector<Entry> entries;
    uint64_t total = 0;
    DIR* folder = opendir(m_directory.c_str());
    if (folder == nullptr)
        return;
    const time_t now = std::time(nullptr);
    while (const dirent* item = readdir(folder)) {
        const std::string name = item->d_name;
        const std::string path = m_directory + "/" + name;
        struct stat info;
        if (name[0] == '.' || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        // A temporary of a writer that died with its process.
        if (name.find(".part-") != std::string::npos) {
            if (now - info.st_mtime > 24 * 3600)
                unlink(path.c_str());
            else
                total += static_cast<uint64_t>(info.st_size);
            continue;
        }
        if (!endsWith(name, SUFFIX))
            continue;
        total += static_cast<uint64_t>(info.st_size);
        if (g_held.count(path) == 0)
            entries.push_back({path, static_cast<uint64_t>(info.st_size), info.st_mtime});
    }
    closedir(folder);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.used < b.used; });
    for (const Entry& entry : entries) {
        if (total <= limit)
            break;
        if (unlink(entry.path.c_str()) == 0)
            total -= entry.size;
    }
}

void CPyramidCache::hold(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    ++g_held[path];
    utimensat(AT_FDCWD, path.c_str(), nullptr, 0);
}

void CPyramidCache::letGo(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    auto found = g_held.find(path);
    if (found != g_held.end() && --found->second <= 0)
        g_held.erase(found);
}
