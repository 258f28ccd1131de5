// Writing entries of pyramid tiles.
#include "CPyramidEntryWriter.h"

#include "CPyramidLayout.h"

#include <lz4.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

using Header = CPyramidEntry::Header;

constexpr size_t BUFFER_BYTES = 1 << 20;
// Scans are grainy: LZ4 gains little on their grain by looking harder, while
// blank paper and flat colours shrink at any speed; and compressing must
// keep pace with the pictures' decoding.
constexpr int ACCELERATION = 96;

std::atomic<unsigned> g_temporaryCount{0};

} // namespace

CPyramidEntryWriter::CPyramidEntryWriter(const std::string& path, const CPyramidEntry::Shape& shape)
    : m_path(path), m_shape(shape), m_index(static_cast<size_t>(shape.tileCount))
{
    const size_t tileBytes = static_cast<size_t>(CPyramidLayout::TILE) * CPyramidLayout::TILE *
                             static_cast<size_t>(shape.channels);
    m_compressed.resize(static_cast<size_t>(LZ4_compressBound(static_cast<int>(tileBytes))));
    m_stream = LZ4_createStream();
    Header header{};
    std::memcpy(header.magic, CPyramidEntry::MAGIC, sizeof header.magic);
    header.keyLength = static_cast<uint32_t>(shape.key.size());
    header.firstTile = static_cast<uint32_t>(shape.firstTile);
    header.tileCount = static_cast<uint32_t>(shape.tileCount);
    header.channels = static_cast<uint32_t>(shape.channels);
    header.width = static_cast<uint32_t>(shape.width);
    header.height = static_cast<uint32_t>(shape.height);
    header.fileWidth = static_cast<uint32_t>(shape.fileWidth);
    header.fileHeight = static_cast<uint32_t>(shape.fileHeight);
    if (!path.empty()) {
        m_temporary = path + ".part-" + std::to_string(getpid()) + "-" + std::to_string(g_temporaryCount++);
        m_fd = open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (m_fd < 0) {
            fail(std::string("cannot create ") + m_temporary + ": " + std::strerror(errno));
            return;
        }
        m_buffer.reserve(BUFFER_BYTES);
    }
    write(&header, sizeof header);
    write(shape.key.data(), shape.key.size());
}

CPyramidEntryWriter::~CPyramidEntryWriter()
{
    LZ4_freeStream(m_stream);
    if (m_fd >= 0)
        close(m_fd);
    if (!m_committed && !m_temporary.empty())
        unlink(m_temporary.c_str());
}

bool CPyramidEntryWriter::fail(const std::string& message)
{
    if (m_error.empty())
        m_error = message;
    return false;
}

bool CPyramidEntryWriter::flush()
{
    const char* data = m_buffer.data();
    size_t size = m_buffer.size();
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(std::string("cannot write ") + m_temporary + ": " + std::strerror(errno));
        data += n;
        size -= static_cast<size_t>(n);
    }
    m_buffer.clear();
    return true;
}

bool CPyramidEntryWriter::write(const void* data, size_t size)
{
    if (!m_error.empty())
        return false;
    m_written += size;
    const char* bytes = static_cast<const char*>(data);
    if (m_fd < 0) {
        m_memory.append(bytes, size);
        return true;
    }
    if (m_buffer.size() + size > BUFFER_BYTES && !flush())
        return false;
    if (size >= BUFFER_BYTES) {
        m_buffer.assign(bytes, bytes + size);
        return flush();
    }
    m_buffer.insert(m_buffer.end(), bytes, bytes + size);
    return true;
}

bool CPyramidEntryWriter::addTile(int index, const unsigned char* pixels)
{
    const int i = index - m_shape.firstTile;
    if (i < 0 || i >= m_shape.tileCount)
        return fail("a tile outside the entry");
    const int bytes = CPyramidLayout::TILE * CPyramidLayout::TILE * m_shape.channels;
    // Every tile stands alone: the stream forgets the last one, without
    // clearing its tables anew.
    LZ4_resetStream_fast(m_stream);
    const int size = LZ4_compress_fast_continue(m_stream, reinterpret_cast<const char*>(pixels), m_compressed.data(),
                                                bytes, static_cast<int>(m_compressed.size()), ACCELERATION);
    if (size <= 0)
        return fail("a tile could not be compressed");
    Place& place = m_index[static_cast<size_t>(i)];
    place.offset = m_written;
    place.size = static_cast<uint32_t>(size);
    place.checksum = static_cast<uint32_t>(CPyramidEntry::checksum(m_compressed.data(), static_cast<size_t>(size)));
    place.written = true;
    return write(m_compressed.data(), static_cast<size_t>(size));
}

bool CPyramidEntryWriter::commit(std::shared_ptr<CPyramidEntry>& entry)
{
    for (const Place& place : m_index)
        if (!place.written)
            return fail("the entry lacks tiles");
    struct Stored
    {
        uint64_t offset;
        uint32_t size;
        uint32_t checksum;
    };
    std::vector<Stored> index;
    for (const Place& place : m_index)
        index.push_back({place.offset, place.size, place.checksum});
    const uint64_t indexOffset = m_written;
    const size_t indexBytes = index.size() * sizeof(Stored);
    if (!write(index.data(), indexBytes))
        return false;
    const uint64_t indexChecksum = CPyramidEntry::checksum(index.data(), indexBytes);
    const size_t at = offsetof(Header, indexOffset);
    std::string why;
    if (m_fd < 0) {
        std::memcpy(&m_memory[at], &indexOffset, sizeof indexOffset);
        std::memcpy(&m_memory[at + sizeof indexOffset], &indexChecksum, sizeof indexChecksum);
        entry = CPyramidEntry::fromMemory(std::move(m_memory), m_shape.key, why);
        m_committed = true;
        return entry != nullptr || fail("the entry in memory " + why);
    }
    const uint64_t tail[2] = {indexOffset, indexChecksum};
    if (!flush())
        return false;
    if (pwrite(m_fd, tail, sizeof tail, static_cast<off_t>(at)) != static_cast<ssize_t>(sizeof tail))
        return fail(std::string("cannot write ") + m_temporary + ": " + std::strerror(errno));
    const int fd = m_fd;
    m_fd = -1;
    if (close(fd) != 0)
        return fail(std::string("cannot write ") + m_temporary + ": " + std::strerror(errno));
    if (rename(m_temporary.c_str(), m_path.c_str()) != 0)
        return fail(std::string("cannot rename ") + m_temporary + ": " + std::strerror(errno));
    m_committed = true;
    entry = CPyramidEntry::openFile(m_path, m_shape.key, why);
    return entry != nullptr || fail(m_path + " " + why);
}
