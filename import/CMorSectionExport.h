// The way back from a diagram to section lines: the fences of a description
// with a crs as GeoJSON lines in longitude and latitude (WGS 84), with the
// attribute fields an import reads by default, so that they import again to
// the same diagram.
#pragma once

#include <string>
#include <vector>

class CMorSectionExport
{
public:
    // The GeoJSON text for the description at path, with picture paths
    // relative to output's folder; output itself is not written. False with
    // error when the description cannot be read, names no crs, or its points
    // cannot be transformed.
    bool run(const std::string& path, const std::string& output, std::string& geojson, std::string& error);

    // After run: what the log tells of it, one line each.
    const std::vector<std::string>& getLog() const { return m_log; }

private:
    std::vector<std::string> m_log;
};
