// Path splitting and image loading by extension.
#include "fenceFiles.h"

#include "CZelBmpImage.h"
#include "CZelJpegImage.h"
#include "CZelPngImage.h"
#include "CZelTiffImage.h"
#include "CPyramid.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include <fstream>
#include <memory>

void splitPath(const std::string& path, std::string& directory, std::string& fileName)
{
    std::string converted = path;
    for (char& c : converted)
        if (c == '\\')
            c = '/';
    const size_t slash = converted.rfind('/');
    if (slash == std::string::npos) {
        directory.clear();
        fileName = converted;
        return;
    }
    directory = converted.substr(0, slash);
    fileName = converted.substr(slash + 1);
}

void splitExtension(const std::string& path, std::string& base, std::string& extension)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos) {
        base = path;
        extension.clear();
        return;
    }
    base = path.substr(0, dot);
    extension = path.substr(dot + 1);
}

bool fileExists(const std::string& path)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    return std::ifstream(path).is_open();
}

std::string resolveImagePath(const std::string& directory, const std::string& token)
{
    const std::string joined = directory + "/" + token;
    if (!token.empty() && token[0] == '/' && !fileExists(joined) && fileExists(token))
        return token;
    return joined;
}

bool rebaseImageToken(const std::string& from, const std::string& to, std::string& token, std::string& error)
{
    if (token.empty() || token[0] == '/')
        return true;
    namespace fs = std::filesystem;
    const fs::path picture = (fs::path(from) / token).lexically_normal();
    std::string rebased = picture.lexically_relative(fs::path(to).lexically_normal()).string();
    if (rebased.empty())
        rebased = picture.string();
    if (rebased.find_first_of(" \t\n\r\f\v") != std::string::npos) {
        error = "The picture " + picture.string() + " cannot be named from " + to +
                " without a blank, which a description word cannot hold.";
        return false;
    }
    token = rebased;
    return true;
}

namespace {

// A new reader for the path's extension, with failure set to what the user is
// told when it refuses its file; null with message set when no reader takes
// the extension. The caller deletes the reader.
CZelFileImage* readerByExtension(const std::string& path, std::string& message, std::string& failure)
{
    std::string base, extension;
    splitExtension(path, base, extension);
    // The letters count, not their case (ASCII only, whatever the locale).
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    CZelFileImage* image = nullptr;
    if (extension == "png") {
        image = new CZelPngImage();
        failure = "Unsupported PNG image file. Make sure the file is true-color.";
    } else if (extension == "bmp") {
        image = new CZelBmpImage();
        failure = "Unsupported BMP image file.";
    } else if (extension == "jpg" || extension == "jpeg") {
        image = new CZelJpegImage();
        failure = "Unsupported JPEG image file.";
    } else if (extension == "tif" || extension == "tiff") {
        image = new CZelTiffImage();
        failure = "Unsupported TIFF image file.";
    } else {
        message = "Unsupported file format.";
        return nullptr;
    }
    image->setFileName(path);
    return image;
}

// The alert keeps its short message; the log tells what exactly failed.
void describeFailure(const CZelFileImage* image, const std::string& failure, std::string& message,
                     std::string& detail)
{
    detail = image->getFileName() + ": " + image->getErrorMessage();
    // "Unsupported" would send the user looking for a format problem, when
    // the picture was too large or memory ran out (the decoders all say
    // "memory" then: "Out of memory", "Insufficient memory", ...).
    std::string reason = image->getErrorMessage();
    std::transform(reason.begin(), reason.end(), reason.begin(), [](unsigned char c) { return std::tolower(c); });
    if (reason.find("memory") != std::string::npos)
        message = "Not enough memory to read " + image->getFileName() + ".";
    else
        message = image->isTooLarge() ? image->getErrorMessage() : failure;
}

} // namespace

CZelFileImage* readImageByExtension(const std::string& path, std::string& message, std::string& detail)
{
    detail.clear();
    std::string failure;
    CZelFileImage* image = readerByExtension(path, message, failure);
    if (!image)
        return nullptr;
    if (!image->readImage()) {
        describeFailure(image, failure, message, detail);
        delete image;
        return nullptr;
    }
    detail = image->getNotice();
    return image;
}

std::shared_ptr<CPyramid> readPyramidByExtension(const std::string& path, const int* crop,
                                                 const CPyramidVariant& variant, CPyramidCache* cache,
                                                 std::string& message, std::string& detail)
{
    detail.clear();
    std::string failure;
    const std::unique_ptr<CZelFileImage> reader(readerByExtension(path, message, failure));
    if (!reader)
        return nullptr;
    std::shared_ptr<CPyramid> pyramid = CPyramid::open(reader.get(), crop, variant, cache, message, detail);
    if (pyramid)
        return pyramid;
    // The reader's own refusal keeps the short message the user knows.
    if (!reader->getErrorMessage().empty())
        describeFailure(reader.get(), failure, message, detail);
    return nullptr;
}

bool readRowsByExtension(const std::string& path, const FileLayoutSink& layoutSink,
                         const CZelFileImage::RowSink& rowSink, std::string& message, std::string& detail)
{
    detail.clear();
    std::string failure;
    const std::unique_ptr<CZelFileImage> reader(readerByExtension(path, message, failure));
    if (!reader)
        return false;
    const bool read = reader->readRows(
        [&](const CZelFileImage::Layout& layout) {
            return layoutSink(layout, reader->getSourceWidth(), reader->getSourceHeight());
        },
        rowSink);
    if (!read) {
        describeFailure(reader.get(), failure, message, detail);
        return false;
    }
    detail = reader->getNotice();
    return true;
}
