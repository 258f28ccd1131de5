// The folder of cached pyramid tiles, $XDG_CACHE_HOME/morvex (or
// ~/.cache/morvex): names entries by the key of their picture, checks free
// disk space before an entry is written, and removes the least recently used
// entries beyond a size limit. Entries in use by this process are kept.
#pragma once

#include <cstdint>
#include <string>

class CPyramidCache
{
public:
    static constexpr uint64_t DEFAULT_SIZE_LIMIT = 16ULL << 30;
    // Free space left to everything else whatever the cache needs.
    static constexpr uint64_t DISK_RESERVE = 256ULL << 20;

    explicit CPyramidCache(const std::string& directory = defaultDirectory());

    // $XDG_CACHE_HOME/morvex when XDG_CACHE_HOME is absolute, else
    // ~/.cache/morvex; empty without a home folder.
    static std::string defaultDirectory();
    const std::string& getDirectory() const { return m_directory; }

    // Creates the folder; false with why when it cannot be had.
    bool prepare(std::string& why);
    // The key of a picture file: its path, size, inode, modification and
    // change times to the nanosecond, the crop (x0, y0, x1, y1; null for none)
    // and the version of how tiles are made. False when the file cannot be
    // looked at.
    static bool pictureKey(const std::string& path, const int* crop, std::string& key);
    // Where the entry of this kind (a short word) of the key lives.
    std::string entryPath(const std::string& key, const std::string& kind) const;

    // Sets aside bytes of disk space for an entry about to be written,
    // removing old entries when that makes room; false with why when the
    // disk cannot hold it. Each successful call is ended by release.
    bool reserve(uint64_t bytes, std::string& why);
    void release(uint64_t bytes);
    // Removes entries not in use, least recently used first, until the folder
    // holds at most limit bytes; also temporaries a day old.
    void clean(uint64_t limit);
    // The bytes of all entries in the folder.
    uint64_t getUsedBytes() const;

    void setSizeLimit(uint64_t bytes) { m_sizeLimit = bytes; }
    uint64_t getSizeLimit() const { return m_sizeLimit; }
    // Pretends the disk has this many bytes free (below 0: asks the system).
    void setAvailableBytes(int64_t bytes) { m_available = bytes; }

    // Entries held open by this process (clean keeps them); a use also
    // makes an entry the most recently used.
    static void hold(const std::string& path);
    static void letGo(const std::string& path);

private:
    int64_t availableBytes() const;
    // clean, with the lock held.
    void removeOldest(uint64_t limit);

    std::string m_directory;
    uint64_t m_sizeLimit = DEFAULT_SIZE_LIMIT;
    int64_t m_available = -1;
};
