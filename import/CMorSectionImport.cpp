// The import from layer to description.
#include "CMorSectionImport.h"

#include "CMorCrsChoice.h"
#include "CMorFeatureConverter.h"
#include "CMorGdalErrors.h"
#include "importPaths.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

namespace {

std::string layerNames(GDALDataset& dataset)
{
    std::string names;
    for (int i = 0; i < dataset.GetLayerCount(); ++i)
        names += (i == 0 ? "" : ", ") + std::string(dataset.GetLayer(i)->GetName());
    return names;
}

std::string counted(size_t count, const std::string& thing)
{
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

} // namespace

bool CMorSectionImport::run(const CMorImportOptions& options, CFenceDescription& description, std::string& error)
{
    m_warnings.clear();
    m_log.clear();
    const std::string& input = options.getInput();
    const std::string& output = options.getOutput();
    if (sameFile(input, output)) {
        error = "The output " + output + " is the input file itself.";
        return false;
    }

    const CMorGdalErrors gdal;
    GDALDatasetUniquePtr dataset(GDALDataset::Open(input.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    if (dataset == nullptr) {
        error = "Cannot read " + input + " as vector data" + CMorGdalErrors::takeReason() + ".";
        return false;
    }
    OGRLayer* layer = nullptr;
    if (!options.getLayer().empty()) {
        layer = dataset->GetLayerByName(options.getLayer().c_str());
        if (layer == nullptr) {
            error = input + " has no layer " + options.getLayer() + "; its layers are " + layerNames(*dataset) + ".";
            return false;
        }
    } else if (dataset->GetLayerCount() != 1) {
        error = dataset->GetLayerCount() == 0 ? input + " holds no layers."
                                               : input + " holds " + std::to_string(dataset->GetLayerCount()) +
                                                     " layers; choose one with --layer: " + layerNames(*dataset) + ".";
        return false;
    } else {
        layer = dataset->GetLayer(0);
    }
    const std::string layerName = layer->GetName();

    CMorFeatureConverter converter;
    if (!converter.bind(*layer->GetLayerDefn(), options, layerName, error))
        return false;
    converter.setFolders(folderOf(input), folderOf(absolutePath(output)));

    std::vector<CMorSectionLine> lines;
    long long ordinal = 0;
    layer->ResetReading();
    CMorGdalErrors::takeReason();
    for (;;) {
        OGRFeatureUniquePtr feature{layer->GetNextFeature()};
        const std::string trouble = CMorGdalErrors::takeReason();
        if (feature == nullptr) {
            // A reader that stops at damage ends the features early as if that were all.
            if (!trouble.empty()) {
                error = "Cannot read every feature of layer " + layerName + " of " + input + trouble + ".";
                return false;
            }
            break;
        }
        CMorSectionLine line;
        std::string message;
        switch (converter.convert(*feature, ++ordinal, line, message)) {
        case CMorFeatureConverter::ACCEPTED:
            if (!trouble.empty())
                m_warnings.push_back(line.name + ": GDAL reported a failure while reading it" + trouble + ".");
            lines.push_back(std::move(line));
            break;
        case CMorFeatureConverter::SKIPPED:
            if (!trouble.empty())
                message.insert(message.size() - 1, " (GDAL" + trouble + ")");
            m_warnings.push_back(message);
            break;
        case CMorFeatureConverter::REFUSED:
            error = message;
            return false;
        }
    }
    if (lines.empty()) {
        error = "Layer " + layerName + " of " + input + " holds no line features" +
                (ordinal > 0 ? " (" + counted(static_cast<size_t>(ordinal), "feature") + " skipped)" : std::string()) +
                ".";
        return false;
    }

    CMorCrsChoice crs;
    const bool chosen = crs.choose(layer->GetSpatialRef(), options.getSourceCrs(), options.getCrs(), lines, error);
    m_log.insert(m_log.end(), crs.getLog().begin(), crs.getLog().end());
    if (!chosen || !crs.transform(lines, error))
        return false;

    description = CFenceDescription();
    description.fileFormat = 2;
    description.options.crs = crs.getName();
    for (CMorSectionLine& line : lines) {
        line.fence.points = std::move(line.points);
        description.fences.push_back(std::move(line.fence));
    }
    m_log.push_back("Layer " + layerName + " of " + input + ": " + counted(lines.size(), "fence") + ", " +
                    counted(m_warnings.size(), "feature") + " skipped.");
    return true;
}
