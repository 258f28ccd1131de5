// One entry of tiles of a pyramid, as written by CPyramidEntryWriter: a file
// of the tile cache or, when the disk cannot hold it, a block of memory.
// Every tile is checked when it is read; an entry whose header, key or
// index do not match what is asked for is refused whole, never trusted.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CPyramidEntry
{
public:
    // What an entry holds: the key of the picture and its baked settings,
    // tiles firstTile .. firstTile + tileCount - 1 of the pyramid, each TILE x
    // TILE x channels bytes, of a picture of width x height pixels cut from
    // a file of fileWidth x fileHeight.
    struct Shape
    {
        std::string key;
        int firstTile = 0;
        int tileCount = 0;
        int channels = 0;
        int width = 0;
        int height = 0;
        int fileWidth = 0;
        int fileHeight = 0;
    };

    ~CPyramidEntry();
    CPyramidEntry(const CPyramidEntry&) = delete;
    CPyramidEntry& operator=(const CPyramidEntry&) = delete;

    // Opens the file when it is an undamaged entry of the key; null with why
    // set otherwise (empty when there is no such file). Its shape is the
    // header's: the caller checks it against what it expects.
    static std::shared_ptr<CPyramidEntry> openFile(const std::string& path, const std::string& key, std::string& why);
    // The same from the bytes of an entry written into memory.
    static std::shared_ptr<CPyramidEntry> fromMemory(std::string bytes, const std::string& key, std::string& why);

    const Shape& getShape() const { return m_shape; }
    // Bytes the entry takes on disk or in memory.
    uint64_t getByteCount() const { return m_byteCount; }
    bool isInMemory() const { return m_fd < 0; }
    const std::string& getPath() const { return m_path; }
    // Reads tile index (of the pyramid) into pixels (TILE x TILE x channels
    // bytes); false when the entry lacks it or it is damaged. Any thread.
    bool readTile(int index, unsigned char* pixels) const;

    // The fixed part of an entry's header, as it lies in the file; the key
    // follows it.
    struct Header
    {
        char magic[8];
        uint32_t keyLength;
        uint32_t firstTile;
        uint32_t tileCount;
        uint32_t channels;
        uint32_t width;
        uint32_t height;
        uint32_t fileWidth;
        uint32_t fileHeight;
        uint64_t indexOffset;
        uint64_t indexChecksum;
    };

    // The entry's checksum of a block of bytes.
    static uint64_t checksum(const void* data, size_t size);
    // The file's first bytes.
    static const char MAGIC[8];

private:
    struct Place
    {
        uint64_t offset;
        uint32_t size;
        uint32_t checksum;
    };
    CPyramidEntry() = default;
    bool readIndex(const std::string& key, std::string& why);
    bool readAt(uint64_t offset, void* data, size_t size) const;

    Shape m_shape;
    std::string m_path;
    int m_fd = -1;
    std::string m_memory;
    uint64_t m_byteCount = 0;
    std::vector<Place> m_index;
};
