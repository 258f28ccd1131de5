// Writes an entry of pyramid tiles (read back by CPyramidEntry), compressed
// with LZ4, in any order: into a temporary file beside its place, which it
// takes only once complete, so that an entry is there whole or not at all;
// or into memory.
#pragma once

#include "CPyramidEntry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

union LZ4_stream_u;

class CPyramidEntryWriter
{
public:
    // An empty path writes into memory.
    CPyramidEntryWriter(const std::string& path, const CPyramidEntry::Shape& shape);
    // Removes the temporary file of an entry never committed.
    ~CPyramidEntryWriter();
    CPyramidEntryWriter(const CPyramidEntryWriter&) = delete;
    CPyramidEntryWriter& operator=(const CPyramidEntryWriter&) = delete;

    // False with getErrorMessage when the file could not be created.
    bool isOpen() const { return m_error.empty(); }
    const std::string& getErrorMessage() const { return m_error; }

    // Tile index (of the pyramid): TILE x TILE x channels bytes (borrowed).
    bool addTile(int index, const unsigned char* pixels);
    // Bytes written so far.
    uint64_t getByteCount() const { return m_written; }
    // Writes the index and puts the entry in its place; false with
    // getErrorMessage when a tile is missing or writing failed. Returns the
    // entry, opened for reading, through entry.
    bool commit(std::shared_ptr<CPyramidEntry>& entry);

private:
    bool write(const void* data, size_t size);
    bool flush();
    bool fail(const std::string& message);

    std::string m_path;
    std::string m_temporary;
    CPyramidEntry::Shape m_shape;
    int m_fd = -1;
    std::string m_error;
    std::string m_memory;
    std::vector<char> m_buffer;
    std::vector<char> m_compressed;
    LZ4_stream_u* m_stream = nullptr;
    struct Place
    {
        uint64_t offset = 0;
        uint32_t size = 0;
        uint32_t checksum = 0;
        bool written = false;
    };
    std::vector<Place> m_index;
    uint64_t m_written = 0;
    bool m_committed = false;
};
