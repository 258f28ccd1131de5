// Bitmap decoding. Files store rows bottom first unless the height is negative;
// palette and colours are stored blue, green, red.
#include "CZelBmpImage.h"

#include <cstdio>
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
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_ALPHABITFIELDS = 6;
// Room for headers, masks, palette and trailing bytes beside the largest
// picture a file may hold.
constexpr long long MAX_HEADERS = 1LL << 20;

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

} // namespace

bool CZelBmpImage::readImage()
{
    clearError();
    if (getFileName().empty())
        return fail("No image file name");
    FILE* f = fopen(getFileName().c_str(), "rb");
    if (!f)
        return fail("Cannot open image file " + getFileName());
    const long long size = fileSize(f);
    // The whole file is held in memory while it is decoded: a file larger
    // than the largest picture it may hold is refused before it is read.
    if (size > MAX_BYTES + MAX_HEADERS) {
        fclose(f);
        return fail("Image " + getFileName() + " is too large: the file has " + std::to_string(size >> 20) +
                    " MiB. Pictures may have at most " + std::to_string(MAX_PIXELS) +
                    " pixels (16384 x 16384) and 1024 MiB.");
    }
    std::vector<unsigned char> file;
    bool readAll = false;
    if (size > 0) {
        file.resize(static_cast<size_t>(size));
        readAll = fread(file.data(), 1, file.size(), f) == file.size();
    }
    fclose(f);
    if (!readAll)
        return fail("Cannot read BMP image " + getFileName() + ": the file is empty or unreadable");

    Layout layout;
    if (!readLayout(file, layout))
        return false;
    const size_t bytes = byteCount(layout.width, layout.height, layout.channels);
    std::unique_ptr<unsigned char[]> pixels(bytes ? new (std::nothrow) unsigned char[bytes] : nullptr);
    if (!pixels)
        return fail("Cannot read BMP image " + getFileName() + ": not enough memory");
    if (!decode(file, layout, pixels.get()))
        return false;
    adoptPixels(layout.width, layout.height, layout.channels, pixels.release());
    return true;
}

bool CZelBmpImage::readLayout(const std::vector<unsigned char>& file, Layout& layout)
{
    const std::string prefix = "Cannot read BMP image " + getFileName() + ": ";
    const size_t size = file.size();
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
    const int likelyChannels = layout.bits == 32 ? 4 : 3;
    if (exceedsLimits(width, height < 0 ? -height : height, likelyChannels))
        return failTooLarge(width, height < 0 ? -height : height, likelyChannels);
    layout.topDown = height < 0;
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height < 0 ? -height : height);

    const int bits = layout.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return fail(prefix + "unsupported bit count " + std::to_string(bits));
    const bool direct = bits == 16 || bits == 32;
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
        layout.palette = paletteStart;
    }
    const size_t paletteEnd = paletteStart + paletteBytes;
    // Rows start where the file header says, unless that points into the
    // headers or palette (some writers leave it 0).
    const uint32_t offset = fields.u32(10);
    layout.pixelStart = (offset >= paletteEnd && offset < size) ? offset : paletteEnd;

    // Rows are padded to 4 bytes; the last one may lack its padding.
    const uint64_t rowBits = static_cast<uint64_t>(layout.width) * static_cast<uint64_t>(bits);
    layout.stride = static_cast<size_t>((rowBits + 31) / 32 * 4);
    uint64_t needed = 0;
    if (__builtin_mul_overflow(static_cast<uint64_t>(layout.stride), static_cast<uint64_t>(layout.height - 1),
                               &needed) ||
        __builtin_add_overflow(needed, (rowBits + 7) / 8, &needed) || needed > size - layout.pixelStart)
        return fail(prefix + "the file is too short for " + std::to_string(layout.width) + " x " +
                    std::to_string(layout.height) + " pixels");

    if (bits == 32)
        layout.channels = 4;
    else if (bits == 16 && layout.masks[3] != 0)
        layout.channels = 4;
    else
        layout.channels = 3;
    return true;
}

bool CZelBmpImage::decode(const std::vector<unsigned char>& file, const Layout& layout, unsigned char* pixels)
{
    const int width = layout.width;
    const int height = layout.height;
    const int channels = layout.channels;
    const size_t outStride = static_cast<size_t>(width) * static_cast<size_t>(channels);
    const MaskChannel red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]), alpha(layout.masks[3]);
    const bool fast32 = layout.bits == 32 && isStandard32(layout.masks);
    bool anyAlpha = false;

    for (int row = 0; row < height; ++row) {
        const unsigned char* in = file.data() + layout.pixelStart + static_cast<size_t>(row) * layout.stride;
        const int target = layout.topDown ? height - 1 - row : row;
        unsigned char* out = pixels + static_cast<size_t>(target) * outStride;
        switch (layout.bits) {
        case 1:
        case 4:
        case 8: {
            const int bits = layout.bits;
            const unsigned valueMask = (1u << bits) - 1;
            const size_t entry = layout.core ? 3 : 4;
            for (int x = 0; x < width; ++x, out += 3) {
                const size_t bit = static_cast<size_t>(x) * static_cast<size_t>(bits);
                const unsigned index = (in[bit / 8] >> (8 - bits - bit % 8)) & valueMask;
                if (index >= layout.paletteEntries)
                    return fail("Cannot read BMP image " + getFileName() + ": palette index " +
                                std::to_string(index) + " outside the palette");
                const unsigned char* colour = file.data() + layout.palette + index * entry;
                out[0] = colour[2];
                out[1] = colour[1];
                out[2] = colour[0];
            }
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
                    const uint32_t p = static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
                                       (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
                    out[0] = red(p);
                    out[1] = green(p);
                    out[2] = blue(p);
                    out[3] = alpha.present() ? alpha(p) : 255;
                }
                anyAlpha = anyAlpha || out[3] != 0;
            }
            break;
        }
    }
    // Plain 32-bit files often leave the fourth byte 0; as alpha that would
    // make the whole picture invisible.
    if (layout.bits == 32 && !anyAlpha) {
        const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
        for (size_t i = 0; i < count; ++i)
            pixels[i * 4 + 3] = 255;
    }
    return true;
}
