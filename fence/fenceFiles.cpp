// Path splitting and image loading by extension.
#include "fenceFiles.h"

#include "CZelBmpImage.h"
#include "CZelJpegImage.h"
#include "CZelPngImage.h"
#include "CZelTiffImage.h"
#include "CZelTiledPicture.h"

#include <sys/stat.h>

#include <algorithm>
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
    // "Unsupported" would send the user looking for a format problem.
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

namespace {

// Where a crop edge, counted in the file's pixels, falls in a picture
// reduced from source to reduced pixels: rounded outwards.
int reducedEdge(long long edge, long long reduced, long long source, bool up)
{
    const long long scaled = edge * reduced;
    return static_cast<int>(up ? (scaled + source - 1) / source : scaled / source);
}

// Whether crop (x0, y0, x1, y1, ends exclusive; null for none) lies within a
// picture of this size.
bool cropFits(const int* crop, long long width, long long height)
{
    return crop != nullptr && crop[0] >= 0 && crop[1] >= 0 && crop[0] < crop[2] && crop[1] < crop[3] &&
           crop[2] <= width && crop[3] <= height;
}

} // namespace

CZelTiledPicture* readTiledPictureByExtension(const std::string& path, int tileSize, const int* crop,
                                              std::string& message, std::string& detail)
{
    detail.clear();
    std::string failure;
    const std::unique_ptr<CZelFileImage> reader(readerByExtension(path, message, failure));
    if (!reader)
        return nullptr;
    std::unique_ptr<CZelTiledPicture> picture(new CZelTiledPicture(tileSize));
    bool memoryShort = false;
    const bool read = reader->readRows(
        [&](const CZelFileImage::Layout& layout) {
            // A crop reaching beyond the picture takes the whole picture;
            // the caller tells the user from the file's size.
            const long long fileWidth = reader->getSourceWidth(), fileHeight = reader->getSourceHeight();
            if (!cropFits(crop, fileWidth, fileHeight))
                return picture->start(layout.width, layout.height, layout.channels);
            const int x0 = reducedEdge(crop[0], layout.width, fileWidth, false);
            const int top = reducedEdge(crop[1], layout.height, fileHeight, false);
            const int x1 = std::max(x0 + 1, reducedEdge(crop[2], layout.width, fileWidth, true));
            const int bottom = std::max(top + 1, reducedEdge(crop[3], layout.height, fileHeight, true));
            return picture->start(layout.width, layout.height, layout.channels, x0, top, x1, bottom);
        },
        [&](int rowFromTop, const unsigned char* row) {
            memoryShort = !picture->addRow(rowFromTop, row);
            return !memoryShort;
        });
    if (memoryShort) {
        message = "Not enough memory to read " + path + ".";
        return nullptr;
    }
    if (!read) {
        describeFailure(reader.get(), failure, message, detail);
        return nullptr;
    }
    picture->finish();
    picture->setFileSize(reader->getSourceWidth(), reader->getSourceHeight());
    if (cropFits(crop, reader->getSourceWidth(), reader->getSourceHeight()))
        picture->setSourceSize(crop[2] - crop[0], crop[3] - crop[1]);
    else
        picture->setSourceSize(reader->getSourceWidth(), reader->getSourceHeight());
    detail = reader->getNotice();
    return picture.release();
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
