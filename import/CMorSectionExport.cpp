// Description to GeoJSON.
#include "CMorSectionExport.h"

#include "CFenceDescription.h"
#include "CMorCrsChoice.h"
#include "CMorGdalErrors.h"
#include "CMorGeoJsonWriter.h"
#include "CMorImportOptions.h"
#include "CMorTransform.h"
#include "formatReal.h"
#include "importPaths.h"

#include <ogr_spatialref.h>

namespace {

const char* field(CMorImportOptions::Field f)
{
    return CMorImportOptions::getDefaultFieldName(f);
}

} // namespace

bool CMorSectionExport::run(const std::string& path, const std::string& output, std::string& geojson,
                            std::string& error)
{
    m_log.clear();
    if (sameFile(path, output)) {
        error = "The output " + output + " is the description file itself.";
        return false;
    }
    CFenceDescription description;
    if (!description.read(path, error))
        return false;
    if (description.options.crs.empty()) {
        error = path + " names no CRS (the diagram option crs), so its map coordinates cannot be placed on the "
                       "earth in longitude and latitude.";
        return false;
    }

    const CMorGdalErrors gdal;
    OGRSpatialReference crs, wgs84;
    if (!CMorCrsChoice::read(description.options.crs, "The crs of " + path + ",", crs, error))
        return false;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    CMorTransform toWgs84;
    if (!toWgs84.create(crs, wgs84, error))
        return false;
    m_log.push_back("From " + CMorCrsChoice::describe(crs) + " to longitude and latitude on WGS 84.");

    // Pictures are found as the viewer finds them, and named from the output's folder.
    const std::string folder = folderOf(path);
    const std::string outputFolder = folderOf(absolutePath(output));
    CMorGeoJsonWriter writer;
    for (size_t i = 0; i < description.fences.size(); ++i) {
        const CFenceDescription::Fence& fence = description.fences[i];
        std::vector<CFenceDescription::Point> points = fence.points;
        size_t failed = 0;
        if (!toWgs84.apply(points, failed)) {
            const CFenceDescription::Point& p = fence.points[failed];
            error = "Fence " + std::to_string(i + 1) + " of " + path + ": its point (" + formatReal(p.x) + ", " +
                    formatReal(p.y) + ") cannot be transformed to longitude and latitude" +
                    CMorGdalErrors::takeReason() + ".";
            return false;
        }
        const std::string& token = fence.imageToken;
        std::string picture = folder + "/" + token;
        if (!token.empty() && token[0] == '/' && !isFile(picture) && isFile(token))
            picture = token;
        writer.addText(field(CMorImportOptions::IMAGE), relativePath(absolutePath(picture), outputFolder));
        // "-" is no label; an empty one would become the feature's id.
        writer.addText(field(CMorImportOptions::LABEL), fence.description.empty() ? "-" : fence.description);
        writer.addNumber(field(CMorImportOptions::LABEL_END), fence.labelEnd == 0 ? 0 : 1);
        if (fence.hasElevation) {
            writer.addNumber(field(CMorImportOptions::TOP), fence.top);
            writer.addNumber(field(CMorImportOptions::BOTTOM), fence.bottom);
        } else {
            writer.addNull(field(CMorImportOptions::TOP));
            writer.addNull(field(CMorImportOptions::BOTTOM));
        }
        if (fence.hasCrop)
            writer.addText(field(CMorImportOptions::CROP), std::to_string(fence.crop[0]) + " " +
                                                                std::to_string(fence.crop[1]) + " " +
                                                                std::to_string(fence.crop[2]) + " " +
                                                                std::to_string(fence.crop[3]));
        else
            writer.addNull(field(CMorImportOptions::CROP));
        writer.addLine(points);
    }
    geojson = writer.getText();
    m_log.push_back(std::to_string(description.fences.size()) + " section lines.");
    return true;
}
