// Reading entries of pyramid tiles.
#include "CPyramidEntry.h"

#include "CPyramidLayout.h"

#include <lz4.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

const char CPyramidEntry::MAGIC[8] = {'M', 'V', 'X', 'P', 'Y', 'R', '0', '1'};

namespace {

using Header = CPyramidEntry::Header;

size_t tileBytes(int channels)
{
    return static_cast<size_t>(CPyramidLayout::TILE) * CPyramidLayout::TILE * static_cast<size_t>(channels);
}

} // namespace

CPyramidEntry::~CPyramidEntry()
{
    if (m_fd >= 0)
        close(m_fd);
}

uint64_t CPyramidEntry::checksum(const void* data, size_t size)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    // Four lanes side by side: a single chain of multiplications would
    // leave the checksum as slow as the compression it guards.
    uint64_t lanes[4] = {0x9E3779B97F4A7C15ULL ^ size, 0xC2B2AE3D27D4EB4FULL, 0x165667B19E3779F9ULL,
                         0x27D4EB2F165667C5ULL};
    size_t i = 0;
    for (; i + 32 <= size; i += 32)
        for (int lane = 0; lane < 4; ++lane) {
            uint64_t word;
            std::memcpy(&word, bytes + i + 8 * lane, 8);
            lanes[lane] = (lanes[lane] ^ word) * 0xFF51AFD7ED558CCDULL;
            lanes[lane] ^= lanes[lane] >> 32;
        }
    uint64_t hash = lanes[0];
    for (int lane = 1; lane < 4; ++lane) {
        hash = (hash ^ lanes[lane]) * 0xFF51AFD7ED558CCDULL;
        hash ^= hash >> 32;
    }
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDULL;
        hash ^= hash >> 32;
    }
    for (; i < size; ++i)
        hash = (hash ^ bytes[i]) * 0xC4CEB9FE1A85EC53ULL;
    return hash ^ (hash >> 29);
}

std::shared_ptr<CPyramidEntry> CPyramidEntry::openFile(const std::string& path, const std::string& key,
                                                       std::string& why)
{
    why.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT)
            why = std::string("cannot be read: ") + std::strerror(errno);
        return nullptr;
    }
    std::shared_ptr<CPyramidEntry> entry(new CPyramidEntry());
    entry->m_fd = fd;
    entry->m_path = path;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = "is not a file";
        return nullptr;
    }
    entry->m_byteCount = static_cast<uint64_t>(info.st_size);
    if (!entry->readIndex(key, why))
        return nullptr;
    return entry;
}

std::shared_ptr<CPyramidEntry> CPyramidEntry::fromMemory(std::string bytes, const std::string& key, std::string& why)
{
    std::shared_ptr<CPyramidEntry> entry(new CPyramidEntry());
    entry->m_memory = std::move(bytes);
    entry->m_byteCount = entry->m_memory.size();
    if (!entry->readIndex(key, why))
        return nullptr;
    return entry;
}

bool CPyramidEntry::readAt(uint64_t offset, void* data, size_t size) const
{
    if (offset > m_byteCount || size > m_byteCount - offset)
        return false;
    if (m_fd < 0) {
        std::memcpy(data, m_memory.data() + offset, size);
        return true;
    }
    char* to = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = pread(m_fd, to, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        to += n;
        offset += static_cast<uint64_t>(n);
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool CPyramidEntry::readIndex(const std::string& expectedKey, std::string& why)
{
    Header header;
    if (!readAt(0, &header, sizeof header) || std::memcmp(header.magic, MAGIC, sizeof MAGIC) != 0) {
        why = "is not an entry of this program's";
        return false;
    }
    std::string key(header.keyLength <= 65536 ? header.keyLength : 0, '\0');
    if (header.keyLength > 65536 || !readAt(sizeof header, &key[0], key.size()) || key != expectedKey) {
        why = "belongs to another picture or setting";
        return false;
    }
    const uint32_t largestSize = 1U << 30;
    if ((header.channels != 3 && header.channels != 4) || header.tileCount > largestSize ||
        header.firstTile > largestSize || header.width > largestSize || header.height > largestSize ||
        header.fileWidth > largestSize || header.fileHeight > largestSize) {
        why = "is damaged";
        return false;
    }
    m_shape = Shape{key,
                    static_cast<int>(header.firstTile),
                    static_cast<int>(header.tileCount),
                    static_cast<int>(header.channels),
                    static_cast<int>(header.width),
                    static_cast<int>(header.height),
                    static_cast<int>(header.fileWidth),
                    static_cast<int>(header.fileHeight)};
    m_index.resize(header.tileCount);
    const size_t indexBytes = m_index.size() * sizeof(Place);
    if (!readAt(header.indexOffset, m_index.data(), indexBytes) ||
        checksum(m_index.data(), indexBytes) != header.indexChecksum) {
        why = "is damaged";
        return false;
    }
    const uint64_t largest = static_cast<uint64_t>(LZ4_compressBound(static_cast<int>(tileBytes(m_shape.channels))));
    for (const Place& place : m_index)
        if (place.size > largest || place.offset > header.indexOffset || place.size > header.indexOffset - place.offset) {
            why = "is damaged";
            return false;
        }
    return true;
}

bool CPyramidEntry::readTile(int index, unsigned char* pixels) const
{
    const int i = index - m_shape.firstTile;
    if (i < 0 || i >= static_cast<int>(m_index.size()))
        return false;
    const Place& place = m_index[static_cast<size_t>(i)];
    std::vector<char> compressed(place.size);
    if (!readAt(place.offset, compressed.data(), compressed.size()) ||
        static_cast<uint32_t>(checksum(compressed.data(), compressed.size())) != place.checksum)
        return false;
    const int expected = static_cast<int>(tileBytes(m_shape.channels));
    return LZ4_decompress_safe(compressed.data(), reinterpret_cast<char*>(pixels), static_cast<int>(place.size),
                               expected) == expected;
}
