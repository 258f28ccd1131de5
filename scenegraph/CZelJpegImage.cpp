// JPEG decoding through libjpeg, one row at a time for the caller.
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

// Everything the decoder must free when libjpeg jumps out of it, and the
// sinks it hands the picture to (borrowed).
struct JpegDecode
{
    FILE* file = nullptr;
    long long fileBytes = 0;
    const CZelFileImage::LayoutSink* layoutSink = nullptr;
    const CZelFileImage::RowSink* rowSink = nullptr;
    unsigned char* row = nullptr;
    unsigned char* cmykRow = nullptr;
    // A sink refused: it has said why.
    bool refusedBySink = false;
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

[[noreturn]] void stop(JpegDecode& d)
{
    d.refusedBySink = true;
    longjmp(d.errors.jump, 1);
}

void release(jpeg_decompress_struct& cinfo, JpegDecode& d)
{
    jpeg_destroy_decompress(&cinfo);
    delete[] d.row;
    d.row = nullptr;
    delete[] d.cmykRow;
    d.cmykRow = nullptr;
}

// No C++ object with a destructor may live in this frame: libjpeg leaves it by longjmp.
bool decodeJpeg(JpegDecode& d)
{
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&d.errors.manager);
    d.errors.manager.error_exit = onError;
    d.errors.manager.emit_message = onMessage;
    if (setjmp(d.errors.jump)) {
        release(cinfo, d);
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

    // A progressive picture is gathered whole by the library before its
    // first row comes out.
    CZelFileImage::Layout layout;
    layout.width = static_cast<int>(cinfo.image_width);
    layout.height = static_cast<int>(cinfo.image_height);
    layout.channels = cinfo.out_color_space == JCS_GRAYSCALE ? 1 : 3;
    layout.rowByRow = !jpeg_has_multiple_scans(&cinfo);
    if (!(*d.layoutSink)(layout))
        stop(d);
    const unsigned long long claimed = static_cast<unsigned long long>(cinfo.image_width) * cinfo.image_height *
                                       static_cast<unsigned long long>(cinfo.num_components);
    if (d.fileBytes < 0 || claimed > MAX_EXPANSION * static_cast<unsigned long long>(d.fileBytes) + EXPANSION_SLACK)
        refuse(d.errors, "the image claims more pixels than the file can hold");
    jpeg_start_decompress(&cinfo);
    if (static_cast<int>(cinfo.output_width) != layout.width ||
        static_cast<int>(cinfo.output_height) != layout.height ||
        static_cast<int>(cinfo.output_components) != (cmyk ? 4 : layout.channels))
        refuse(d.errors, "unexpected row layout");

    d.row = new (std::nothrow) unsigned char[static_cast<size_t>(layout.width) * static_cast<size_t>(layout.channels)];
    if (cmyk)
        d.cmykRow = new (std::nothrow) unsigned char[static_cast<size_t>(layout.width) * 4];
    if (!d.row || (cmyk && !d.cmykRow))
        ERREXIT1(&cinfo, JERR_OUT_OF_MEMORY, 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW target = cmyk ? d.cmykRow : d.row;
        jpeg_read_scanlines(&cinfo, &target, 1);
        if (cmyk)
            cmykToRgb(d.cmykRow, d.row, layout.width, cinfo.saw_Adobe_marker);
        if (!(*d.rowSink)(y, d.row))
            stop(d);
    }
    jpeg_finish_decompress(&cinfo);
    release(cinfo, d);
    return true;
}

} // namespace

bool CZelJpegImage::decode(const LayoutSink& layoutSink, const RowSink& rowSink)
{
    JpegDecode d;
    d.layoutSink = &layoutSink;
    d.rowSink = &rowSink;
    d.file = fopen(getFileName().c_str(), "rb");
    if (!d.file) {
        fprintf(stderr, "can't open %s\n", getFileName().c_str());
        return fail("Cannot open image file " + getFileName());
    }
    d.fileBytes = fileSize(d.file);
    const bool ok = decodeJpeg(d);
    fclose(d.file);
    if (!ok && !d.refusedBySink)
        return fail("Cannot read JPEG image " + getFileName() + ": " + d.errors.message);
    return ok;
}
