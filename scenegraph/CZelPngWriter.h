// Writes a PNG file row by row, so that pictures larger than memory (tiled
// exports) can be streamed, or a PNG into memory. Every failure is reported,
// never silent.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class CZelImage;

class CZelPngWriter
{
public:
    CZelPngWriter() = default;
    CZelPngWriter(const CZelPngWriter&) = delete;
    CZelPngWriter& operator=(const CZelPngWriter&) = delete;
    // Closes an unfinished file it opened and removes it: a half-written PNG
    // is useless. A borrowed stream is left to its owner.
    ~CZelPngWriter();

    // zlib's level, 0 to 9, for the files opened afterwards; -1, the
    // default, leaves zlib's own.
    void setCompressionLevel(int level) { m_compressionLevel = level; }
    // channels: 1 grey, 2 grey + alpha, 3 RGB, 4 RGBA. False with
    // getErrorMessage when the file cannot be created. Writes straight into
    // path: files others may be reading go through a stream of a safe file.
    bool open(const std::string& path, int width, int height, int channels);
    // As open, into stream (borrowed; its owner closes it, and removes what
    // it holds when the writing fails); name is the file's name in messages.
    bool open(FILE* stream, const std::string& name, int width, int height, int channels);
    // As open, with the PNG's bytes put into target (borrowed; it must outlive
    // the writer), which is emptied first and again when the writing fails.
    bool openMemory(std::vector<unsigned char>& target, int width, int height, int channels);
    // Rows from the top of the picture down, width x channels bytes each.
    bool writeRow(const unsigned char* row);
    // Finishes the file; false when anything failed or rows are missing.
    bool close();
    const std::string& getErrorMessage() const { return m_error; }

    // Writes a whole image (stored bottom row first) in one call.
    static bool write(const std::string& path, const CZelImage* image, std::string& error);
    // RGB pixels, top row first, as the bytes of a PNG.
    static bool encode(const unsigned char* rgb, int width, int height, std::vector<unsigned char>& png,
                       std::string& error);

private:
    bool start(int width, int height, int channels);
    bool fail(const std::string& what);
    void discard();

    FILE* m_file = nullptr;
    bool m_ownsFile = false;
    std::vector<unsigned char>* m_memory = nullptr;
    void* m_png = nullptr;  // png_structp, kept out of this header
    void* m_info = nullptr; // png_infop
    std::string m_path;
    std::string m_error;
    int m_height = 0;
    int m_rowsWritten = 0;
    int m_compressionLevel = -1;
};
