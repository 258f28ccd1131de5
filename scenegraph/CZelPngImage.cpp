// PNG decoding through libpng, straight into the image rows, bottom row first.
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

// Everything the decoder must free when libpng jumps out of it.
struct PngDecode
{
    FILE* file = nullptr;
    long long fileBytes = 0;
    unsigned char* pixels = nullptr;
    png_bytep* rows = nullptr;
    int width = 0;
    int height = 0;
    int channels = 0;
    bool tooLarge = false;
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

int channelsOf(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
        return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 0;
    }
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
        png_destroy_read_struct(&png, &info, nullptr);
        delete[] d.rows;
        d.rows = nullptr;
        delete[] d.pixels;
        d.pixels = nullptr;
        return false;
    }
    png_set_user_limits(png, MAX_SIDE, MAX_SIDE);
    png_init_io(png, d.file);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    d.channels = channelsOf(colorType);
    if (d.channels == 0)
        refuse(png, "palette images are not supported");
    d.width = static_cast<int>(width);
    d.height = static_cast<int>(height);
    if (CZelFileImage::exceedsLimits(width, height, d.channels)) {
        d.tooLarge = true;
        refuse(png, "the picture is too large");
    }

    const unsigned long long fileRowBytes = png_get_rowbytes(png, info) + 1ULL;
    if (fileRowBytes * height > MAX_EXPANSION * static_cast<unsigned long long>(d.fileBytes) + EXPANSION_SLACK)
        refuse(png, "the image claims more pixels than the file can hold");

    if (depth == 16)
        png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const size_t stride = static_cast<size_t>(d.width) * static_cast<size_t>(d.channels);
    if (png_get_rowbytes(png, info) != stride)
        refuse(png, "unexpected row layout");
    d.pixels = new (std::nothrow) unsigned char[stride * height];
    d.rows = new (std::nothrow) png_bytep[height];
    if (!d.pixels || !d.rows)
        refuse(png, "not enough memory for the image");
    // The first file row is the top of the picture: the image's last row.
    for (png_uint_32 i = 0; i < height; ++i)
        d.rows[i] = d.pixels + (height - 1 - i) * stride;
    png_read_image(png, d.rows);
    png_read_end(png, nullptr);

    png_destroy_read_struct(&png, &info, nullptr);
    delete[] d.rows;
    d.rows = nullptr;
    return true;
}

} // namespace

bool CZelPngImage::readImage()
{
    clearError();
    PngDecode d;
    d.file = fopen(getFileName().c_str(), "rb");
    if (!d.file)
        return fail("Cannot open image file " + getFileName());
    d.fileBytes = fileSize(d.file);
    const bool ok = d.fileBytes > 0 && decodePng(d);
    fclose(d.file);
    if (!ok && d.tooLarge)
        return failTooLarge(d.width, d.height, d.channels);
    if (!ok)
        return fail("Cannot read PNG image " + getFileName() + ": " +
                    (d.fileBytes > 0 ? d.message : "the file is empty"));
    adoptPixels(d.width, d.height, d.channels, d.pixels);
    return true;
}
