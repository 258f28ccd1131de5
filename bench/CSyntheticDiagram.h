// Writes a synthetic fence diagram for measurements: a number of fences with
// section pictures of a given size and format along polylines of a given
// number of points, at map coordinates, with a legend-free description file.
#pragma once

#include <string>
#include <vector>

class CSyntheticDiagram
{
public:
    enum Format { FORMAT_PNG, FORMAT_JPEG, FORMAT_MIXED };

    CSyntheticDiagram(int fenceCount, int imageWidth, int imageHeight, Format format, int pointCount);

    // Pictures of many pixels are written with zlib's fastest level, so that
    // making them takes minutes, not a quarter of an hour.
    void setFastCompression(bool fast) { m_fast = fast; }
    // Writes the pictures and DIRECTORY/diagram.fnc; pictures already there
    // from an earlier call with the same parameters are kept. False with
    // getErrorMessage when a file cannot be written.
    bool write(const std::string& directory);
    const std::string& getErrorMessage() const { return m_errorMessage; }

    // After write: the description file and the section pictures.
    const std::string& getDescriptionPath() const { return m_descriptionPath; }
    const std::vector<std::string>& getImagePaths() const { return m_imagePaths; }
    double getPixelCount() const;

    // Format names as the command line takes them: png, jpeg, mixed.
    static bool parseFormat(const std::string& name, Format& format);

private:
    bool writePicture(const std::string& path, int fence, bool jpeg);
    bool writeJpeg(const std::string& path, int fence);
    void makeRow(int fence, int y, unsigned char* rgb) const;

    int m_fenceCount;
    int m_imageWidth;
    int m_imageHeight;
    Format m_format;
    int m_pointCount;
    bool m_fast = false;
    std::string m_errorMessage;
    std::string m_descriptionPath;
    std::vector<std::string> m_imagePaths;
};
