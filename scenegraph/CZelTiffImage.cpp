// TIFF decoding through libtiff, row by row. libtiff reports to handlers of
// each open file, never to standard error, so two pictures may be read at
// once on different threads.
#include "CZelTiffImage.h"

#include "CZelTiffRowAssembler.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace {

// No single allocation inside libtiff may exceed this; rows are read a few
// at a time, so only damaged files ask for more.
constexpr tmsize_t MAX_LIBRARY_ALLOCATION = 256 << 20;
// A row of tiles is held while it is read.
constexpr uint64_t MAX_TILE_ROW_BYTES = 512ULL << 20;
// Decoded data up to the slack always loads; beyond it, each byte of the
// file may stand for at most expansionOf(compression) bytes of samples.
constexpr uint64_t EXPANSION_SLACK = 16ULL << 20;

// Bytes of samples one byte of compressed data can give, at most; 0 for
// compressions this reader does not take.
uint64_t expansionOf(uint16_t compression)
{
    switch (compression) {
    case COMPRESSION_NONE:
        return 1;
    case COMPRESSION_PACKBITS:
        // A two-byte code repeats a byte 128 times.
        return 64;
    case COMPRESSION_LZW:
        // A code of 9 to 12 bits stands for a string of at most 4096 bytes.
        return 4096;
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
        // Deflate gives at most 258 bytes for one bit.
        return 1040;
    case COMPRESSION_JPEG:
        // As the JPEG reader: far more than real pictures reach.
        return 2048;
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
        // No bound: a blank Group 4 row takes one bit. 16384 pixels a byte
        // is more than any scan with a drawing on it needs.
        return 2048;
    default:
        return 0;
    }
}

// The first error libtiff reports for one open file; warnings are dropped.
struct Messages
{
    std::string error;
};

void record(std::string& error, const char* format, va_list args)
{
    if (!error.empty())
        return;
    char text[512];
    vsnprintf(text, sizeof text, format, args);
    error = text;
}

int onError(TIFF*, void* messages, const char*, const char* format, va_list args)
{
    record(static_cast<Messages*>(messages)->error, format, args);
    // Handled: libtiff calls no process-wide handler after this one.
    return 1;
}

int onWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

// What libtiff reports without a file to report it to, for this thread.
thread_local std::string t_unownedError;

void onUnownedError(const char*, const char* format, va_list args)
{
    record(t_unownedError, format, args);
}

void onUnownedWarning(const char*, const char*, va_list) {}

} // namespace

// One open TIFF file (on its first page) with its own message handlers.
class CZelTiffImage::File
{
public:
    explicit File(const std::string& name)
    {
        static std::once_flag quiet;
        std::call_once(quiet, [] {
            TIFFSetErrorHandler(onUnownedError);
            TIFFSetWarningHandler(onUnownedWarning);
        });
        t_unownedError.clear();
        TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
        if (!options)
            return;
        TIFFOpenOptionsSetErrorHandlerExtR(options, onError, &m_messages);
        TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, nullptr);
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, MAX_LIBRARY_ALLOCATION);
        m_tiff = TIFFOpenExt(name.c_str(), "r", options);
        TIFFOpenOptionsFree(options);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File()
    {
        if (m_tiff)
            TIFFClose(m_tiff);
    }
    // Borrowed; null when the file did not open.
    TIFF* get() const { return m_tiff; }
    // libtiff's reason for the last failure, or otherwise when it gave none.
    std::string error(const std::string& otherwise) const
    {
        if (!m_messages.error.empty())
            return m_messages.error;
        return t_unownedError.empty() ? otherwise : t_unownedError;
    }

private:
    Messages m_messages;
    TIFF* m_tiff = nullptr;
};

// The first page's tags, once checked.
struct CZelTiffImage::Directory
{
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    bool tiled = false;
    // JPEG-compressed YCbCr, which libjpeg turns into RGB.
    bool ycbcrToRgb = false;
    CZelTiffRowAssembler::Samples samples;
};

bool CZelTiffImage::readDirectory(File& file, long long fileBytes, Directory& d)
{
    const std::string prefix = "Cannot read TIFF image " + getFileName() + ": ";
    TIFF* tiff = file.get();
    uint16_t bits = 1, samplesPerPixel = 1, compression = COMPRESSION_NONE, photometric = 0;
    uint16_t planar = PLANARCONFIG_CONTIG, format = SAMPLEFORMAT_UINT;
    if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &d.width) || !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &d.height))
        return fail(prefix + "the picture has no size");
    if (d.width == 0 || d.height == 0 || d.width > 0x7FFFFFFF || d.height > 0x7FFFFFFF)
        return fail(prefix + "invalid size " + std::to_string(d.width) + " x " + std::to_string(d.height));
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &d.orientation);
    if (d.orientation < ORIENTATION_TOPLEFT || d.orientation > ORIENTATION_LEFTBOT)
        d.orientation = ORIENTATION_TOPLEFT;
    if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric))
        return fail(prefix + "the colour model is missing");
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16)
        return fail(prefix + "unsupported bits per sample " + std::to_string(bits));
    if (format != SAMPLEFORMAT_UINT && format != SAMPLEFORMAT_VOID)
        return fail(prefix + "only unsigned whole-number samples are supported, not sample format " +
                    std::to_string(format));
    const uint64_t expansion = expansionOf(compression);
    if (expansion == 0 || !TIFFIsCODECConfigured(compression))
        return fail(prefix + "unsupported compression " + std::to_string(compression));

    CZelTiffRowAssembler::Samples& s = d.samples;
    s.bits = bits;
    s.samplesPerPixel = samplesPerPixel;
    s.separate = planar == PLANARCONFIG_SEPARATE && samplesPerPixel > 1;
    int colours = 1;
    switch (photometric) {
    case PHOTOMETRIC_MINISBLACK:
        s.colours = CZelTiffRowAssembler::Colours::MinIsBlack;
        break;
    case PHOTOMETRIC_MINISWHITE:
        s.colours = CZelTiffRowAssembler::Colours::MinIsWhite;
        break;
    case PHOTOMETRIC_YCBCR:
        // libjpeg turns YCbCr into RGB; other compressions would leave the
        // subsampled colours to this reader.
        if (compression != COMPRESSION_JPEG)
            return fail(prefix + "YCbCr colours are supported in JPEG-compressed files only");
        if (!TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB))
            return fail(prefix + file.error("its JPEG colours cannot be converted"));
        d.ycbcrToRgb = true;
        s.colours = CZelTiffRowAssembler::Colours::Rgb;
        colours = 3;
        break;
    case PHOTOMETRIC_RGB:
        s.colours = CZelTiffRowAssembler::Colours::Rgb;
        colours = 3;
        break;
    case PHOTOMETRIC_PALETTE:
        s.colours = CZelTiffRowAssembler::Colours::Palette;
        if (bits > 8 || !TIFFGetField(tiff, TIFFTAG_COLORMAP, &s.palette[0], &s.palette[1], &s.palette[2]))
            return fail(prefix + "the palette is missing or has more than 256 entries");
        break;
    default:
        return fail(prefix + "unsupported colour model " + std::to_string(photometric));
    }
    if (samplesPerPixel < colours)
        return fail(prefix + std::to_string(samplesPerPixel) + " samples per pixel are too few for its colours");
    // Extra samples count as alpha when they say so; unspecified ones are
    // left out, and so are samples no tag accounts for.
    uint16_t extraCount = 0;
    uint16_t* extras = nullptr;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extras);
    for (int i = 0; i < extraCount && colours + i < samplesPerPixel; ++i)
        if (extras[i] == EXTRASAMPLE_ASSOCALPHA || extras[i] == EXTRASAMPLE_UNASSALPHA) {
            s.alphaSample = colours + i;
            s.premultiplied = extras[i] == EXTRASAMPLE_ASSOCALPHA;
            break;
        }

    // Claimed size against file size: the samples libtiff will decode.
    d.tiled = TIFFIsTiled(tiff) != 0;
    uint64_t decoded = 0;
    bool overflow = false;
    if (d.tiled) {
        const uint64_t tileBytes = TIFFTileSize64(tiff);
        overflow = tileBytes == 0 || __builtin_mul_overflow(tileBytes, uint64_t(TIFFNumberOfTiles(tiff)), &decoded);
    } else {
        const uint64_t rowBytes = TIFFScanlineSize64(tiff);
        const uint64_t planes = s.separate ? uint64_t(s.alphaSample >= 0 ? colours + 1 : colours) : 1;
        overflow = rowBytes == 0 || __builtin_mul_overflow(rowBytes * planes, uint64_t(d.height), &decoded);
    }
    if (overflow || decoded / expansion > static_cast<uint64_t>(fileBytes) + EXPANSION_SLACK / expansion)
        return fail(prefix + "the image claims more pixels than the file can hold");
    return true;
}

bool CZelTiffImage::readStrips(File& file, const Directory& d, const CZelTiffRowAssembler& assembler,
                               const StoredRowSink& sink)
{
    const std::string prefix = "Cannot read TIFF image " + getFileName() + ": ";
    // Each separate plane is read through a file of its own: one file
    // switching between planes would decode every strip again for each row.
    const int planes = assembler.getPlanes();
    std::vector<std::unique_ptr<File>> others;
    std::vector<File*> files{&file};
    for (int p = 1; p < planes; ++p) {
        others.emplace_back(new File(getFileName()));
        if (!others.back()->get())
            return fail(prefix + others.back()->error("the file cannot be opened again"));
        if (d.ycbcrToRgb && !TIFFSetField(others.back()->get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB))
            return fail(prefix + others.back()->error("its JPEG colours cannot be converted"));
        files.push_back(others.back().get());
    }
    std::vector<std::unique_ptr<unsigned char[]>> buffers;
    std::vector<const unsigned char*> rows;
    for (File* f : files) {
        const uint64_t bytes = TIFFScanlineSize64(f->get());
        buffers.emplace_back(bytes ? new (std::nothrow) unsigned char[bytes] : nullptr);
        if (!buffers.back())
            return fail(prefix + "not enough memory for a row");
        rows.push_back(buffers.back().get());
    }
    for (uint32_t row = 0; row < d.height; ++row) {
        for (int p = 0; p < planes; ++p) {
            const uint16_t sample = d.samples.separate ? static_cast<uint16_t>(assembler.getPlaneSample(p)) : 0;
            if (TIFFReadScanline(files[p]->get(), buffers[p].get(), row, sample) < 0)
                return fail(prefix + files[p]->error("row " + std::to_string(row) + " cannot be read"));
        }
        if (!sink(static_cast<int>(row), rows.data()))
            return false;
    }
    return true;
}

bool CZelTiffImage::readTiles(File& file, const Directory& d, const CZelTiffRowAssembler& assembler,
                              const StoredRowSink& sink)
{
    const std::string prefix = "Cannot read TIFF image " + getFileName() + ": ";
    TIFF* tiff = file.get();
    uint32_t tileWidth = 0, tileHeight = 0;
    TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFGetField(tiff, TIFFTAG_TILELENGTH, &tileHeight);
    const uint64_t tileBytes = TIFFTileSize64(tiff);
    const uint64_t tileRowBytes = TIFFTileRowSize64(tiff);
    if (tileWidth == 0 || tileHeight == 0 || tileRowBytes == 0 || tileBytes < tileRowBytes * tileHeight)
        return fail(prefix + file.error("invalid tile size"));
    const uint64_t across = (d.width + uint64_t(tileWidth) - 1) / tileWidth;
    const uint64_t bandRowBytes = across * tileRowBytes;
    const int planes = assembler.getPlanes();
    if (bandRowBytes * tileHeight * planes + tileBytes > MAX_TILE_ROW_BYTES)
        return fail(prefix + "its tiles are too large (" + std::to_string(tileWidth) + " x " +
                    std::to_string(tileHeight) + " pixels)");
    std::unique_ptr<unsigned char[]> tile(new (std::nothrow) unsigned char[tileBytes]);
    std::vector<std::unique_ptr<unsigned char[]>> bands;
    for (int p = 0; p < planes; ++p)
        bands.emplace_back(new (std::nothrow) unsigned char[bandRowBytes * tileHeight]);
    if (!tile || std::any_of(bands.begin(), bands.end(), [](const auto& band) { return !band; }))
        return fail(prefix + "not enough memory for a row of tiles");

    std::vector<const unsigned char*> rows(static_cast<size_t>(planes));
    for (uint32_t top = 0; top < d.height; top += tileHeight) {
        for (int p = 0; p < planes; ++p) {
            const uint16_t sample = d.samples.separate ? static_cast<uint16_t>(assembler.getPlaneSample(p)) : 0;
            for (uint64_t column = 0; column < across; ++column) {
                const uint32_t index = TIFFComputeTile(tiff, static_cast<uint32_t>(column * tileWidth), top, 0, sample);
                if (TIFFReadEncodedTile(tiff, index, tile.get(), static_cast<tmsize_t>(tileBytes)) < 0)
                    return fail(prefix + file.error("tile " + std::to_string(index) + " cannot be read"));
                for (uint32_t r = 0; r < tileHeight; ++r)
                    std::memcpy(bands[p].get() + r * bandRowBytes + column * tileRowBytes,
                                tile.get() + r * tileRowBytes, tileRowBytes);
            }
        }
        const uint32_t count = std::min(tileHeight, d.height - top);
        for (uint32_t r = 0; r < count; ++r) {
            for (int p = 0; p < planes; ++p)
                rows[p] = bands[p].get() + r * bandRowBytes;
            if (!sink(static_cast<int>(top + r), rows.data()))
                return false;
        }
    }
    return true;
}

bool CZelTiffImage::decode(const LayoutSink& layoutSink, const RowSink& rowSink)
{
    clearError();
    if (getFileName().empty())
        return fail("No image file name");
    FILE* probe = fopen(getFileName().c_str(), "rb");
    if (!probe)
        return fail("Cannot open image file " + getFileName());
    const long long fileBytes = fileSize(probe);
    fclose(probe);
    const std::string prefix = "Cannot read TIFF image " + getFileName() + ": ";
    if (fileBytes <= 0)
        return fail(prefix + "the file is empty or unreadable");
    File file(getFileName());
    if (!file.get())
        return fail(prefix + file.error("not a TIFF file"));
    Directory d;
    if (!readDirectory(file, fileBytes, d))
        return false;
    const CZelTiffRowAssembler assembler(d.samples, static_cast<int>(d.width));

    // Orientations 5 to 8 turn rows into columns: the picture is gathered
    // whole and turned. 2 to 4 mirror rows or their order.
    const uint16_t o = d.orientation;
    const bool transposed = o >= ORIENTATION_LEFTTOP;
    const bool mirrored = o == ORIENTATION_TOPRIGHT || o == ORIENTATION_BOTRIGHT;
    const bool upsideDown = o == ORIENTATION_BOTRIGHT || o == ORIENTATION_BOTLEFT;
    const int width = static_cast<int>(d.width), height = static_cast<int>(d.height);
    const int channels = assembler.getChannels();
    Layout layout;
    layout.width = transposed ? height : width;
    layout.height = transposed ? width : height;
    layout.channels = channels;
    layout.rowByRow = !transposed;
    if (!layoutSink(layout))
        return false;

    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(channels);
    std::unique_ptr<unsigned char[]> row(new (std::nothrow) unsigned char[rowBytes]);
    std::unique_ptr<unsigned char[]> whole(transposed ? new (std::nothrow) unsigned char[rowBytes * height]
                                                      : nullptr);
    if (!row || (transposed && !whole))
        return fail(prefix + "not enough memory for " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels");
    const StoredRowSink takeRow = [&](int y, const unsigned char* const* planes) {
        if (transposed) {
            assembler.assemble(planes, whole.get() + static_cast<size_t>(y) * rowBytes);
            return true;
        }
        assembler.assemble(planes, row.get());
        if (mirrored)
            for (int left = 0, right = width - 1; left < right; ++left, --right)
                std::swap_ranges(row.get() + static_cast<size_t>(left) * channels,
                                 row.get() + static_cast<size_t>(left + 1) * channels,
                                 row.get() + static_cast<size_t>(right) * channels);
        return rowSink(upsideDown ? height - 1 - y : y, row.get());
    };
    if (!(d.tiled ? readTiles(file, d, assembler, takeRow) : readStrips(file, d, assembler, takeRow)))
        return false;

    if (transposed) {
        // Stored row r is a column of the picture, stored column c a row:
        // 5 puts row 0 left and column 0 on top, 6 right and top, 7 right
        // and bottom, 8 left and bottom.
        const bool fromRight = o == ORIENTATION_RIGHTTOP || o == ORIENTATION_RIGHTBOT;
        const bool fromBottom = o == ORIENTATION_RIGHTBOT || o == ORIENTATION_LEFTBOT;
        const size_t pixel = static_cast<size_t>(channels);
        std::unique_ptr<unsigned char[]> turned(new (std::nothrow) unsigned char[static_cast<size_t>(height) * pixel]);
        if (!turned)
            return fail(prefix + "not enough memory for a row");
        for (int y = 0; y < width; ++y) {
            const size_t column = static_cast<size_t>(fromBottom ? width - 1 - y : y);
            for (int x = 0; x < height; ++x) {
                const size_t stored = static_cast<size_t>(fromRight ? height - 1 - x : x);
                const unsigned char* from = whole.get() + stored * rowBytes + column * pixel;
                std::memcpy(turned.get() + static_cast<size_t>(x) * pixel, from, pixel);
            }
            if (!rowSink(y, turned.get()))
                return false;
        }
    }

    const unsigned pages = TIFFNumberOfDirectories(file.get());
    if (pages > 1)
        addNotice("Image " + getFileName() + " has " + std::to_string(pages) + " pages; the first is shown.");
    return true;
}
