// PNG decoding through libpng, one row at a time for the caller.
#include "CZelPngImage.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <new>

namespace {

// Wider or higher pictures are refused before any pixel memory is taken.
constexpr png_uint_32 MAX_SIDE = 65535;
// Deflate turns one bit into at most 258 bytes, so a file cannot hold more
// than about 1032 bytes of scanlines per byte of file.
constexpr unsigned long long MAX_EXPANSION = 1040;
constexpr unsigned long long EXPANSION_SLACK = 4096;

// Everything the decoder must free when libpng jumps out of it, and the
// sinks it hands the picture to (borrowed).
struct PngDecode
{
    FILE* file = nullptr;
    long long fileBytes = 0;
    const CZelFileImage::LayoutSink* layoutSink = nullptr;
    const CZelFileImage::RowSink* rowSink = nullptr;
    unsigned char* row = nullptr;
    unsigned char* pixels = nullptr;
    png_bytep* rows = nullptr;
    // A sink refused: it has said why.
    bool refusedBySink = false;
    char message[256] = {};
};

void onError(png_structp png, png_const_charp message)
{
    PngDecode* decode = static_cast<PngDecode*>(png_get_error_ptr(png));
    snprintf(decode->message, sizeof decode->message, "%s", message);
    png_longjmp(png, 1);
}

// Warnings (a damaged ancillary chunk, for instance) do not stop the read.
void onWarning(png_structp, png_const_charp) {}

// Leaves the decoder like a libpng error, with the reader's own reason.
void refuse(png_structp png, const char* message)
{
    onError(png, message);
}

// Leaves the decoder after a sink said no.
void stop(png_structp png, PngDecode& d)
{
    d.refusedBySink = true;
    png_longjmp(png, 1);
}

void release(png_structp& png, png_infop& info, PngDecode& d)
{
    png_destroy_read_struct(&png, &info, nullptr);
    delete[] d.row;
    d.row = nullptr;
    delete[] d.rows;
    d.rows = nullptr;
    delete[] d.pixels;
    d.pixels = nullptr;
}

// No C++ object with a destructor may live in this frame: libpng leaves it by longjmp.
bool decodePng(PngDecode& d)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &d, onError, onWarning);
    if (!png) {
        snprintf(d.message, sizeof d.message, "libpng could not start");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        snprintf(d.message, sizeof d.message, "libpng could not start");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        release(png, info, d);
        return false;
    }
    png_set_user_limits(png, MAX_SIDE, MAX_SIDE);
    png_init_io(png, d.file);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    const unsigned long long fileRowBytes = png_get_rowbytes(png, info) + 1ULL;

    // Everything comes out as 8-bit grey, grey + alpha, RGB or RGBA.
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    // The high byte, as 8-bit viewers show 16-bit pictures.
    if (depth == 16)
        png_set_strip_16(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    CZelFileImage::Layout layout;
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height);
    layout.channels = png_get_channels(png, info);
    layout.rowByRow = !interlaced;
    const size_t stride = static_cast<size_t>(width) * static_cast<size_t>(layout.channels);
    if (png_get_bit_depth(png, info) != 8 || layout.channels < 1 || layout.channels > 4 ||
        png_get_rowbytes(png, info) != stride)
        refuse(png, "unexpected row layout");
    if (!(*d.layoutSink)(layout))
        stop(png, d);
    if (fileRowBytes * height > MAX_EXPANSION * static_cast<unsigned long long>(d.fileBytes) + EXPANSION_SLACK)
        refuse(png, "the image claims more pixels than the file can hold");

    if (interlaced) {
        // The passes fill the whole picture in turn; the sink refused
        // pictures beyond the limits from their layout.
        d.pixels = new (std::nothrow) unsigned char[stride * height];
        d.rows = new (std::nothrow) png_bytep[height];
        if (!d.pixels || !d.rows)
            refuse(png, "not enough memory for the image");
        for (png_uint_32 i = 0; i < height; ++i)
            d.rows[i] = d.pixels + i * stride;
        png_read_image(png, d.rows);
        for (png_uint_32 i = 0; i < height; ++i)
            if (!(*d.rowSink)(static_cast<int>(i), d.rows[i]))
                stop(png, d);
    } else {
        d.row = new (std::nothrow) unsigned char[stride];
        if (!d.row)
            refuse(png, "not enough memory for the image");
        for (png_uint_32 i = 0; i < height; ++i) {
            png_read_row(png, d.row, nullptr);
            if (!(*d.rowSink)(static_cast<int>(i), d.row))
                stop(png, d);
        }
    }
    png_read_end(png, nullptr);
    release(png, info, d);
    return true;
}

} // namespace

bool CZelPngImage::decode(const LayoutSink& layoutSink, const RowSink& rowSink)
{
    PngDecode d;
    d.layoutSink = &layoutSink;
    d.rowSink = &rowSink;
    d.file = fopen(getFileName().c_str(), "rb");
    if (!d.file)
        return fail("Cannot open image file " + getFileName());
    d.fileBytes = fileSize(d.file);
    const bool ok = d.fileBytes > 0 && decodePng(d);
    fclose(d.file);
    if (!ok && !d.refusedBySink)
        return fail("Cannot read PNG image " + getFileName() + ": " +
                    (d.fileBytes > 0 ? d.message : "the file is empty"));
    return ok;
}
