// Bitmap decoding. Files store rows bottom first unless the height is negative;
// palette and colours are stored blue, green, red.
#include "CZelBmpImage.h"

#include "CZelBmpRunLengths.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr size_t FILE_HEADER = 14;
constexpr uint32_t CORE_HEADER = 12;
constexpr uint32_t INFO_HEADER = 40;
constexpr uint32_t V4_HEADER = 108;
constexpr uint32_t V5_HEADER = 124;
constexpr uint32_t OLDEST_REFUSED_HEADER = 64;
constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_ALPHABITFIELDS = 6;
// Headers, masks and the largest palette end before this (14 + 124 + 1024).
constexpr size_t HEAD_BYTES = 2048;
// Rows are read in bands of about this many bytes.
constexpr size_t BAND_BYTES = 1 << 20;
// Run-length codes have no bound: an end-of-line, delta or end-of-picture
// code skips any number of pixels. Pictures up to the slack always load;
// beyond it each byte of codes may stand for at most this many pixels,
// thirty times what runs of 255 pixels in two bytes reach.
constexpr unsigned long long RLE_PIXELS_PER_BYTE = 4096;
constexpr unsigned long long RLE_SLACK_PIXELS = 16ULL << 20;

struct FileCloser
{
    void operator()(FILE* file) const { fclose(file); }
};

// Header fields, little-endian, or byte-reversed in a file that starts "MB".
class Fields
{
public:
    Fields(const std::vector<unsigned char>& file, bool swapped) : m_file(file), m_swapped(swapped) {}
    uint32_t u16(size_t pos) const
    {
        const uint32_t v = m_file[pos] | (m_file[pos + 1] << 8);
        return m_swapped ? (((v & 0xFF) << 8) | (v >> 8)) : v;
    }
    uint32_t u32(size_t pos) const
    {
        const uint32_t v = static_cast<uint32_t>(m_file[pos]) | (static_cast<uint32_t>(m_file[pos + 1]) << 8) |
                           (static_cast<uint32_t>(m_file[pos + 2]) << 16) |
                           (static_cast<uint32_t>(m_file[pos + 3]) << 24);
        return m_swapped ? __builtin_bswap32(v) : v;
    }
    int32_t i32(size_t pos) const { return static_cast<int32_t>(u32(pos)); }

private:
    const std::vector<unsigned char>& m_file;
    bool m_swapped;
};

// One colour of a bit-field pixel, scaled to a byte.
class MaskChannel
{
public:
    explicit MaskChannel(uint32_t mask)
    {
        if (mask == 0)
            return;
        m_shift = __builtin_ctz(mask);
        m_mask = mask;
        m_max = mask >> m_shift;
    }
    bool present() const { return m_mask != 0; }
    unsigned char operator()(uint32_t pixel) const
    {
        if (m_mask == 0)
            return 0;
        const uint64_t v = (pixel & m_mask) >> m_shift;
        return static_cast<unsigned char>((v * 255 + m_max / 2) / m_max);
    }

private:
    uint32_t m_mask = 0;
    int m_shift = 0;
    uint64_t m_max = 1;
};

bool isStandard32(const uint32_t masks[4])
{
    return masks[0] == 0x00FF0000 && masks[1] == 0x0000FF00 && masks[2] == 0x000000FF &&
           masks[3] == 0xFF000000;
}

uint32_t pixel32(const unsigned char* in)
{
    return static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
           (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
}

// Reads rows first..first+count-1 of the pixel data into band; the last row
// of the file may lack its padding. False when the file is shorter.
bool readBand(FILE* file, size_t pixelStart, size_t stride, size_t rowBytes, int first, int count,
              unsigned char* band)
{
    if (fseeko(file, static_cast<off_t>(pixelStart + static_cast<size_t>(first) * stride), SEEK_SET) != 0)
        return false;
    const size_t wanted = static_cast<size_t>(count) * stride;
    const size_t needed = wanted - stride + rowBytes;
    const size_t got = fread(band, 1, wanted, file);
    std::fill(band + got, band + wanted, 0);
    return got >= needed;
}

} // namespace

int CZelBmpImage::bandRowsOf(const Header& header)
{
    return static_cast<int>(std::min<size_t>(static_cast<size_t>(header.height),
                                             std::max<size_t>(1, BAND_BYTES / header.stride)));
}

bool CZelBmpImage::decode(const LayoutSink& layoutSink, const RowSink& rowSink)
{
    clearError();
    if (getFileName().empty())
        return fail("No image file name");
    std::unique_ptr<FILE, FileCloser> file(fopen(getFileName().c_str(), "rb"));
    if (!file)
        return fail("Cannot open image file " + getFileName());
    const long long size = fileSize(file.get());
    std::vector<unsigned char> head;
    bool readHead = false;
    if (size > 0) {
        head.resize(static_cast<size_t>(std::min<long long>(size, HEAD_BYTES)));
        readHead = fread(head.data(), 1, head.size(), file.get()) == head.size();
    }
    if (!readHead)
        return fail("Cannot read BMP image " + getFileName() + ": the file is empty or unreadable");

    Header header;
    if (!readHeader(head, size, header))
        return false;
    Layout layout;
    layout.width = header.width;
    layout.height = header.height;
    layout.channels = header.channels;
    if (!layoutSink(layout))
        return false;
    if (header.compression == BI_RLE8 || header.compression == BI_RLE4)
        return decodeRunLengths(file.get(), size, header, rowSink);
    return decodeRows(file.get(), header, rowSink);
}

bool CZelBmpImage::readHeader(const std::vector<unsigned char>& file, long long fileBytes, Header& layout)
{
    const std::string prefix = "Cannot read BMP image " + getFileName() + ": ";
    // Every field below lies inside file once the file is long enough for it.
    const size_t size = static_cast<size_t>(fileBytes);
    if (size < FILE_HEADER + 4)
        return fail(prefix + "the file is too short");
    bool swapped = false;
    if (file[0] == 'M' && file[1] == 'B')
        swapped = true;
    else if (file[0] != 'B' || file[1] != 'M')
        return fail(prefix + "not a bitmap file");
    const Fields fields(file, swapped);

    const uint32_t header = fields.u32(FILE_HEADER);
    const bool supported = header == CORE_HEADER || (header >= INFO_HEADER && header < OLDEST_REFUSED_HEADER) ||
                           header == V4_HEADER || header == V5_HEADER;
    if (!supported)
        return fail(prefix + "unsupported header size " + std::to_string(header));
    if (size < FILE_HEADER + header)
        return fail(prefix + "the file ends inside its header");

    uint32_t compression = BI_RGB;
    uint32_t coloursUsed = 0;
    long long width = 0;
    long long height = 0;
    size_t maskBytes = 0;
    layout.core = header == CORE_HEADER;
    if (layout.core) {
        width = fields.u16(18);
        height = fields.u16(20);
        layout.bits = static_cast<int>(fields.u16(24));
    } else {
        width = fields.i32(18);
        height = fields.i32(22);
        layout.bits = static_cast<int>(fields.u16(28));
        compression = fields.u32(30);
        coloursUsed = fields.u32(46);
    }
    if (width <= 0 || height == 0 || height < -0x7FFFFFFFLL)
        return fail(prefix + "invalid size " + std::to_string(width) + " x " + std::to_string(height));
    layout.topDown = height < 0;
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height < 0 ? -height : height);
    layout.compression = compression;

    const int bits = layout.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return fail(prefix + "unsupported bit count " + std::to_string(bits));
    const bool direct = bits == 16 || bits == 32;
    const bool runLengths = compression == BI_RLE8 || compression == BI_RLE4;
    if (compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS) {
        if (!direct)
            return fail(prefix + "bit fields need 16 or 32 bits per pixel");
        const int count = compression == BI_ALPHABITFIELDS ? 4 : 3;
        size_t at = FILE_HEADER + INFO_HEADER;
        if (header == INFO_HEADER) {
            maskBytes = 4 * static_cast<size_t>(count);
            if (size < at + maskBytes)
                return fail(prefix + "the file ends inside its colour masks");
        } else if (header < INFO_HEADER + 4 * static_cast<uint32_t>(count)) {
            return fail(prefix + "the header is too short for its colour masks");
        }
        for (int i = 0; i < count; ++i)
            layout.masks[i] = fields.u32(at + 4 * static_cast<size_t>(i));
        // Newer headers carry the alpha mask even with three bit fields.
        if (count == 3 && header >= INFO_HEADER + 16)
            layout.masks[3] = fields.u32(at + 12);
        layout.hasMasks = true;
    } else if (runLengths) {
        const int needed = compression == BI_RLE8 ? 8 : 4;
        if (bits != needed)
            return fail(prefix + (compression == BI_RLE8 ? "RLE8" : "RLE4") + " compression needs " +
                        std::to_string(needed) + " bits per pixel, not " + std::to_string(bits));
        // Codes run from the bottom row up; there is no top-down form.
        if (layout.topDown)
            return fail(prefix + "a run-length encoded bitmap cannot be stored top down");
    } else if (compression != BI_RGB) {
        return fail(prefix + "compressed bitmaps are not supported");
    }
    if (!layout.hasMasks) {
        if (bits == 16) {
            layout.masks[0] = 0x7C00;
            layout.masks[1] = 0x03E0;
            layout.masks[2] = 0x001F;
        } else if (bits == 32) {
            layout.masks[0] = 0x00FF0000;
            layout.masks[1] = 0x0000FF00;
            layout.masks[2] = 0x000000FF;
            layout.masks[3] = 0xFF000000;
        }
    }

    const size_t paletteStart = FILE_HEADER + header + maskBytes;
    size_t paletteBytes = 0;
    if (bits <= 8) {
        const uint32_t most = 1u << bits;
        if (coloursUsed > most)
            return fail(prefix + "the palette claims " + std::to_string(coloursUsed) + " colours");
        layout.paletteEntries = coloursUsed == 0 ? most : coloursUsed;
        paletteBytes = layout.paletteEntries * (layout.core ? 3 : 4);
        if (size < paletteStart + paletteBytes)
            return fail(prefix + "the file ends inside its palette");
        layout.palette.assign(file.begin() + static_cast<long>(paletteStart),
                              file.begin() + static_cast<long>(paletteStart + paletteBytes));
    }
    const size_t paletteEnd = paletteStart + paletteBytes;
    // Rows start where the file header says, unless that points into the
    // headers or palette (some writers leave it 0).
    const uint32_t offset = fields.u32(10);
    layout.pixelStart = (offset >= paletteEnd && offset < size) ? offset : paletteEnd;

    if (runLengths) {
        const unsigned long long pixels =
            static_cast<unsigned long long>(layout.width) * static_cast<unsigned long long>(layout.height);
        if (pixels > RLE_PIXELS_PER_BYTE * (size - layout.pixelStart) + RLE_SLACK_PIXELS)
            return fail(prefix + "the image claims more pixels than the file can hold");
    } else {
        // Rows are padded to 4 bytes; the last one may lack its padding.
        const uint64_t rowBits = static_cast<uint64_t>(layout.width) * static_cast<uint64_t>(bits);
        layout.stride = static_cast<size_t>((rowBits + 31) / 32 * 4);
        uint64_t needed = 0;
        if (__builtin_mul_overflow(static_cast<uint64_t>(layout.stride), static_cast<uint64_t>(layout.height - 1),
                                   &needed) ||
            __builtin_add_overflow(needed, (rowBits + 7) / 8, &needed) || needed > size - layout.pixelStart)
            return fail(prefix + "the file is too short for " + std::to_string(layout.width) + " x " +
                        std::to_string(layout.height) + " pixels");
    }

    if (bits == 32)
        layout.channels = 4;
    else if (bits == 16 && layout.masks[3] != 0)
        layout.channels = 4;
    else
        layout.channels = 3;
    return true;
}

bool CZelBmpImage::indicesToColours(const Header& header, const unsigned char* indices, unsigned char* out)
{
    const size_t entry = header.core ? 3 : 4;
    for (int x = 0; x < header.width; ++x, out += 3) {
        const unsigned index = indices[x];
        if (index >= header.paletteEntries)
            return fail("Cannot read BMP image " + getFileName() + ": palette index " + std::to_string(index) +
                        " outside the palette");
        const unsigned char* colour = header.palette.data() + index * entry;
        out[0] = colour[2];
        out[1] = colour[1];
        out[2] = colour[0];
    }
    return true;
}

bool CZelBmpImage::findAlpha(FILE* file, const Header& header, bool& found)
{
    const MaskChannel alpha(header.masks[3]);
    const bool fast32 = isStandard32(header.masks);
    const int bandRows = bandRowsOf(header);
    std::unique_ptr<unsigned char[]> band(new (std::nothrow) unsigned char[static_cast<size_t>(bandRows) *
                                                                           header.stride]);
    if (!band)
        return fail("Cannot read BMP image " + getFileName() + ": not enough memory");
    found = false;
    for (int first = 0; first < header.height && !found; first += bandRows) {
        const int count = std::min(bandRows, header.height - first);
        if (!readBand(file, header.pixelStart, header.stride, header.stride, first, count, band.get()))
            return fail("Cannot read BMP image " + getFileName() + ": the file is too short for " +
                        std::to_string(header.width) + " x " + std::to_string(header.height) + " pixels");
        for (int r = 0; r < count && !found; ++r) {
            const unsigned char* in = band.get() + static_cast<size_t>(r) * header.stride;
            for (int x = 0; x < header.width && !found; ++x, in += 4)
                found = fast32 ? in[3] != 0 : alpha(pixel32(in)) != 0;
        }
    }
    return true;
}

bool CZelBmpImage::decodeRows(FILE* file, const Header& layout, const RowSink& rowSink)
{
    const int width = layout.width;
    const int height = layout.height;
    const int channels = layout.channels;
    const MaskChannel red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]), alpha(layout.masks[3]);
    const bool fast32 = layout.bits == 32 && isStandard32(layout.masks);
    // Plain 32-bit files often leave the fourth byte 0; as alpha that would
    // make the whole picture invisible. Rows leave before the last is read,
    // so the alpha bytes are looked at first.
    bool opaque = false;
    if (layout.bits == 32 && alpha.present()) {
        bool found = false;
        if (!findAlpha(file, layout, found))
            return false;
        opaque = !found;
    }

    const size_t rowBytes = static_cast<size_t>((static_cast<uint64_t>(width) * layout.bits + 7) / 8);
    const int bandRows = bandRowsOf(layout);
    const size_t outStride = static_cast<size_t>(width) * static_cast<size_t>(channels);
    std::unique_ptr<unsigned char[]> band(new (std::nothrow) unsigned char[static_cast<size_t>(bandRows) *
                                                                           layout.stride]);
    std::unique_ptr<unsigned char[]> row(new (std::nothrow) unsigned char[outStride]);
    std::unique_ptr<unsigned char[]> indices(
        layout.bits <= 8 ? new (std::nothrow) unsigned char[static_cast<size_t>(width)] : nullptr);
    if (!band || !row || (layout.bits <= 8 && !indices))
        return fail("Cannot read BMP image " + getFileName() + ": not enough memory");

    for (int first = 0; first < height; first += bandRows) {
        const int count = std::min(bandRows, height - first);
        if (!readBand(file, layout.pixelStart, layout.stride, rowBytes, first, count, band.get()))
            return fail("Cannot read BMP image " + getFileName() + ": the file is too short for " +
                        std::to_string(width) + " x " + std::to_string(height) + " pixels");
        for (int r = 0; r < count; ++r) {
            const unsigned char* in = band.get() + static_cast<size_t>(r) * layout.stride;
            unsigned char* out = row.get();
            switch (layout.bits) {
            case 1:
            case 4:
            case 8: {
                const int bits = layout.bits;
                const unsigned valueMask = (1u << bits) - 1;
                for (int x = 0; x < width; ++x) {
                    const size_t bit = static_cast<size_t>(x) * static_cast<size_t>(bits);
                    indices[x] = static_cast<unsigned char>((in[bit / 8] >> (8 - bits - bit % 8)) & valueMask);
                }
                if (!indicesToColours(layout, indices.get(), out))
                    return false;
                break;
            }
            case 16:
                for (int x = 0; x < width; ++x, in += 2, out += channels) {
                    const uint32_t p = in[0] | (in[1] << 8);
                    out[0] = red(p);
                    out[1] = green(p);
                    out[2] = blue(p);
                    if (channels == 4)
                        out[3] = alpha(p);
                }
                break;
            case 24:
                for (int x = 0; x < width; ++x, in += 3, out += 3) {
                    out[0] = in[2];
                    out[1] = in[1];
                    out[2] = in[0];
                }
                break;
            default:
                for (int x = 0; x < width; ++x, in += 4, out += 4) {
                    if (fast32) {
                        out[0] = in[2];
                        out[1] = in[1];
                        out[2] = in[0];
                        out[3] = in[3];
                    } else {
                        const uint32_t p = pixel32(in);
                        out[0] = red(p);
                        out[1] = green(p);
                        out[2] = blue(p);
                        out[3] = alpha.present() ? alpha(p) : 255;
                    }
                    if (opaque)
                        out[3] = 255;
                }
                break;
            }
            const int fileRow = first + r;
            if (!rowSink(layout.topDown ? fileRow : height - 1 - fileRow, row.get()))
                return false;
        }
    }
    return true;
}

bool CZelBmpImage::decodeRunLengths(FILE* file, long long fileBytes, const Header& header, const RowSink& rowSink)
{
    const size_t width = static_cast<size_t>(header.width);
    std::unique_ptr<unsigned char[]> indices(
        new (std::nothrow) unsigned char[CZelBmpRunLengths::rowBytes(header.width, header.bits)]);
    std::unique_ptr<unsigned char[]> row(new (std::nothrow) unsigned char[width * 3]);
    if (!indices || !row)
        return fail("Cannot read BMP image " + getFileName() + ": not enough memory");
    CZelBmpRunLengths codes(file, static_cast<long long>(header.pixelStart), fileBytes, header.width, header.height,
                            header.bits);
    for (int fileRow = 0; fileRow < header.height; ++fileRow) {
        if (!codes.nextRow(indices.get()))
            return fail("Cannot read BMP image " + getFileName() + ": " + codes.getError());
        if (!indicesToColours(header, indices.get(), row.get()))
            return false;
        if (!rowSink(header.height - 1 - fileRow, row.get()))
            return false;
    }
    return true;
}
