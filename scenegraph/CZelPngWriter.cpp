// libpng writer with its errors caught.
#include "CZelPngWriter.h"

#include "CZelImage.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <new>

namespace {

struct ErrorTarget {
    std::string message;
};

void onError(png_structp png, png_const_charp message)
{
    static_cast<ErrorTarget*>(png_get_error_ptr(png))->message = message;
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

ErrorTarget& target(void* png)
{
    return *static_cast<ErrorTarget*>(png_get_error_ptr(static_cast<png_structp>(png)));
}

void appendToMemory(png_structp png, png_bytep data, png_size_t length)
{
    auto* memory = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    // No exception may cross libpng: running out of memory becomes its
    // error, raised outside the handler.
    bool full = false;
    try {
        memory->insert(memory->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        full = true;
    }
    if (full)
        png_error(png, "out of memory");
}

void flushNothing(png_structp) {}

} // namespace

CZelPngWriter::~CZelPngWriter()
{
    discard();
}

void CZelPngWriter::discard()
{
    if (m_png) {
        png_structp png = static_cast<png_structp>(m_png);
        png_infop info = static_cast<png_infop>(m_info);
        delete &target(png);
        png_destroy_write_struct(&png, &info);
        m_png = m_info = nullptr;
    }
    if (m_file && m_ownsFile) {
        std::fclose(m_file);
        std::remove(m_path.c_str());
    }
    m_file = nullptr;
    if (m_memory) {
        m_memory->clear();
        m_memory = nullptr;
    }
}

bool CZelPngWriter::fail(const std::string& what)
{
    m_error = "Cannot write " + m_path + ": " + what + ".";
    discard();
    return false;
}

bool CZelPngWriter::open(const std::string& path, int width, int height, int channels)
{
    discard();
    m_path = path;
    m_height = height;
    m_rowsWritten = 0;
    if (width <= 0 || height <= 0 || channels < 1 || channels > 4)
        return fail("the picture has no size");
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file) {
        m_error = "Cannot create " + path + ": " + std::strerror(errno) + ".";
        return false;
    }
    m_ownsFile = true;
    return start(width, height, channels);
}

bool CZelPngWriter::open(FILE* stream, const std::string& name, int width, int height, int channels)
{
    discard();
    m_path = name;
    m_height = height;
    m_rowsWritten = 0;
    if (stream == nullptr || width <= 0 || height <= 0 || channels < 1 || channels > 4)
        return fail(stream == nullptr ? "no file to write into" : "the picture has no size");
    m_file = stream;
    m_ownsFile = false;
    return start(width, height, channels);
}

bool CZelPngWriter::openMemory(std::vector<unsigned char>& target, int width, int height, int channels)
{
    discard();
    m_path = "a PNG picture in memory";
    m_height = height;
    m_rowsWritten = 0;
    target.clear();
    if (width <= 0 || height <= 0 || channels < 1 || channels > 4)
        return fail("the picture has no size");
    m_memory = &target;
    return start(width, height, channels);
}

bool CZelPngWriter::start(int width, int height, int channels)
{
    ErrorTarget* errors = new ErrorTarget();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, errors, onError, onWarning);
    if (!png) {
        delete errors;
        return fail("out of memory");
    }
    m_png = png;
    png_infop info = png_create_info_struct(png);
    m_info = info;
    if (!info)
        return fail("out of memory");
    if (setjmp(png_jmpbuf(png)))
        return fail(target(png).message);
    static const int types[4] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB,
                                 PNG_COLOR_TYPE_RGB_ALPHA};
    if (m_file)
        png_init_io(png, m_file);
    else
        png_set_write_fn(png, m_memory, appendToMemory, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, types[channels - 1],
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (m_compressionLevel >= 0)
        png_set_compression_level(png, m_compressionLevel);
    png_write_info(png, info);
    return true;
}

bool CZelPngWriter::writeRow(const unsigned char* row)
{
    if (!m_png)
        return false;
    if (m_rowsWritten >= m_height)
        return fail("more rows than the picture has");
    png_structp png = static_cast<png_structp>(m_png);
    if (setjmp(png_jmpbuf(png)))
        return fail(target(png).message);
    png_write_row(png, const_cast<png_bytep>(row));
    ++m_rowsWritten;
    return true;
}

bool CZelPngWriter::close()
{
    if (!m_png)
        return false;
    if (m_rowsWritten != m_height)
        return fail("only " + std::to_string(m_rowsWritten) + " of " + std::to_string(m_height) + " rows");
    png_structp png = static_cast<png_structp>(m_png);
    if (setjmp(png_jmpbuf(png)))
        return fail(target(png).message);
    png_write_end(png, nullptr);
    png_infop info = static_cast<png_infop>(m_info);
    delete &target(png);
    png_destroy_write_struct(&png, &info);
    m_png = m_info = nullptr;
    if (m_memory) {
        m_memory = nullptr;
        return true;
    }
    const bool flushed = std::fflush(m_file) == 0 && !std::ferror(m_file);
    const int flushErrno = errno;
    const bool closed = !m_ownsFile || std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!flushed || !closed) {
        m_error = "Cannot write " + m_path + ": " + std::strerror(flushed ? errno : flushErrno) + ".";
        if (m_ownsFile)
            std::remove(m_path.c_str());
        return false;
    }
    return true;
}

bool CZelPngWriter::write(const std::string& path, const CZelImage* image, std::string& error)
{
    CZelPngWriter writer;
    const int w = image->getWidth();
    const int h = image->getHeight();
    const int channels = image->getChannels();
    bool ok = image->getPixels() != nullptr && writer.open(path, w, h, channels);
    for (int y = h - 1; ok && y >= 0; --y)
        ok = writer.writeRow(image->getPixels() + static_cast<size_t>(y) * w * channels);
    ok = ok && writer.close();
    if (!ok)
        error = writer.getErrorMessage().empty() ? "Cannot write " + path + ": the image is empty." : writer.getErrorMessage();
    return ok;
}

bool CZelPngWriter::encode(const unsigned char* rgb, int width, int height, std::vector<unsigned char>& png,
                           std::string& error)
{
    CZelPngWriter writer;
    bool ok = rgb != nullptr && writer.openMemory(png, width, height, 3);
    for (int y = 0; ok && y < height; ++y)
        ok = writer.writeRow(rgb + static_cast<size_t>(y) * width * 3);
    ok = ok && writer.close();
    if (!ok)
        error = writer.getErrorMessage().empty() ? "The picture is empty." : writer.getErrorMessage();
    return ok;
}
