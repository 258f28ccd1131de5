// JPEG decoding through libjpeg, straight into the image rows, bottom row first.
#include "CZelJpegImage.h"

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <new>

namespace {

// JPEG has no fixed limit of compression (runs of empty blocks, arithmetic
// coding), so a small file may claim a huge picture. Pictures up to the
// slack always load; beyond it, each file byte may stand for at most
// MAX_EXPANSION pixel bytes, far more than real section images reach.
constexpr unsigned long long MAX_EXPANSION = 2048;
constexpr unsigned long long EXPANSION_SLACK = 64ULL << 20;

// The library's own error handler ends the process; this one jumps back.
struct JpegErrors
{
    jpeg_error_mgr manager;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onError(j_common_ptr cinfo)
{
    JpegErrors* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    longjmp(errors->jump, 1);
}

// A file whose picture data ends early (at the end of the file or at the
// next marker) would come out with a grey lower part: refuse it. Other
// warnings (stray bytes between markers) leave a usable picture.
void onMessage(j_common_ptr cinfo, int level)
{
    if (level < 0 && (cinfo->err->msg_code == JWRN_JPEG_EOF || cinfo->err->msg_code == JWRN_HIT_MARKER))
        onError(cinfo);
}

[[noreturn]] void refuse(JpegErrors& errors, const char* message)
{
    snprintf(errors.message, sizeof errors.message, "%s", message);
    longjmp(errors.jump, 1);
}

struct JpegDecode
{
    FILE* file = nullptr;
    long long fileBytes = 0;
    unsigned char* pixels = nullptr;
    unsigned char* cmykRow = nullptr;
    int width = 0;
    int height = 0;
    int channels = 0;
    bool tooLarge = false;
    JpegErrors errors;
};

// CMYK as Adobe programs write it stores every value inverted.
void cmykToRgb(const unsigned char* cmyk, unsigned char* rgb, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int i = 0; i < 3; ++i) {
            const unsigned c = inverted ? cmyk[i] : 255u - cmyk[i];
            rgb[i] = static_cast<unsigned char>((c * k + 127u) / 255u);
        }
    }
}

// No C++ object with a destructor may live in this frame: libjpeg leaves it by longjmp.
bool decodeJpeg(JpegDecode& d)
{
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&d.errors.manager);
    d.errors.manager.error_exit = onError;
    d.errors.manager.emit_message = onMessage;
    if (setjmp(d.errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        delete[] d.pixels;
        d.pixels = nullptr;
        delete[] d.cmykRow;
        d.cmykRow = nullptr;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, d.file);
    jpeg_read_header(&cinfo, TRUE);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    if (cmyk)
        cinfo.out_color_space = JCS_CMYK;
    else if (cinfo.out_color_space != JCS_GRAYSCALE && cinfo.out_color_space != JCS_RGB)
        refuse(d.errors, "colour space not supported");
    // Decoding takes buffers as wide as the picture: refuse it from its header.
    d.width = static_cast<int>(cinfo.image_width);
    d.height = static_cast<int>(cinfo.image_height);
    d.channels = cinfo.out_color_space == JCS_GRAYSCALE ? 1 : 3;
    if (CZelFileImage::exceedsLimits(cinfo.image_width, cinfo.image_height, d.channels)) {
        d.tooLarge = true;
        refuse(d.errors, "the picture is too large");
    }
    const unsigned long long claimed = static_cast<unsigned long long>(cinfo.image_width) * cinfo.image_height *
                                       static_cast<unsigned long long>(cinfo.num_components);
    if (d.fileBytes < 0 || claimed > MAX_EXPANSION * static_cast<unsigned long long>(d.fileBytes) + EXPANSION_SLACK)
        refuse(d.errors, "the image claims more pixels than the file can hold");
    jpeg_start_decompress(&cinfo);

    d.width = static_cast<int>(cinfo.output_width);
    d.height = static_cast<int>(cinfo.output_height);
    d.channels = cmyk ? 3 : cinfo.output_components;
    const size_t stride = static_cast<size_t>(d.width) * static_cast<size_t>(d.channels);
    d.pixels = new (std::nothrow) unsigned char[stride * static_cast<size_t>(d.height)];
    if (cmyk)
        d.cmykRow = new (std::nothrow) unsigned char[static_cast<size_t>(d.width) * 4];
    if (!d.pixels || (cmyk && !d.cmykRow))
        ERREXIT1(&cinfo, JERR_OUT_OF_MEMORY, 0);

    // The first scanline is the top of the picture: the image's last row.
    while (cinfo.output_scanline < cinfo.output_height) {
        unsigned char* row = d.pixels + (d.height - 1 - static_cast<int>(cinfo.output_scanline)) * stride;
        if (cmyk) {
            JSAMPROW target = d.cmykRow;
            jpeg_read_scanlines(&cinfo, &target, 1);
            cmykToRgb(d.cmykRow, row, d.width, cinfo.saw_Adobe_marker);
        } else {
            JSAMPROW target = row;
            jpeg_read_scanlines(&cinfo, &target, 1);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    delete[] d.cmykRow;
    d.cmykRow = nullptr;
    return true;
}

} // namespace

bool CZelJpegImage::readImage()
{
    clearError();
    JpegDecode d;
    d.file = fopen(getFileName().c_str(), "rb");
    if (!d.file) {
        fprintf(stderr, "can't open %s\n", getFileName().c_str());
        return fail("Cannot open image file " + getFileName());
    }
    d.fileBytes = fileSize(d.file);
    const bool ok = decodeJpeg(d);
    fclose(d.file);
    if (!ok && d.tooLarge)
        return failTooLarge(d.width, d.height, d.channels);
    if (!ok)
        return fail("Cannot read JPEG image " + getFileName() + ": " + d.errors.message);
    adoptPixels(d.width, d.height, d.channels, d.pixels);
    return true;
}
