// Path splitting and image loading by extension.
#include "fenceFiles.h"

#include "CZelBmpImage.h"
#include "CZelJpegImage.h"
#include "CZelPngImage.h"
#include "CZelTiffImage.h"

#include <sys/stat.h>

#include <fstream>

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

CZelFileImage* readImageByExtension(const std::string& path, std::string& message, std::string& detail)
{
    detail.clear();
    std::string base, extension;
    splitExtension(path, base, extension);
    CZelFileImage* image = nullptr;
    std::string failure;
    if (extension == "png" || extension == "PNG") {
        image = new CZelPngImage();
        failure = "Unsupported PNG image file. Make sure the file is true-color.";
    } else if (extension == "bmp" || extension == "BMP") {
        image = new CZelBmpImage();
        failure = "Unsupported BMP image file.";
    } else if (extension == "jpg" || extension == "JPG" || extension == "jpeg" || extension == "JPEG") {
        image = new CZelJpegImage();
        failure = "Unsupported JPEG image file.";
    } else if (extension == "tif" || extension == "TIF" || extension == "tiff" || extension == "TIFF") {
        image = new CZelTiffImage();
        failure = "Unsupported TIFF image file.";
    } else {
        message = "Unsupported file format.";
        return nullptr;
    }
    image->setFileName(path);
    if (!image->readImage()) {
        // The alert keeps its short message; the log tells what exactly failed.
        detail = path + ": " + image->getErrorMessage();
        // "Unsupported" would send the user looking for a format problem.
        message = image->isTooLarge() ? image->getErrorMessage() : failure;
        delete image;
        return nullptr;
    }
    detail = image->getNotice();
    return image;
}
