// libFuzzer target: section lines turned into a description, attributes and
// geometry as they come. The input is GeoJSON when it begins with "{", else
// CSV with a WKT column; its last byte chooses the CRS options and field
// names. An import is refused with a message or makes a description that
// reads back as written, whose export GDAL reads as the same lines.
#include "CFenceDescription.h"
#include "CFuzzScratchDir.h"
#include "CMorImportOptions.h"
#include "CMorSectionExport.h"
#include "CMorSectionImport.h"

#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

namespace {

std::unique_ptr<CFuzzScratchDir> scratch;

const char* const SOURCE_CRS[] = {nullptr, "EPSG:4326", "EPSG:32633", "EPSG:4258"};
const char* const CRS[] = {"auto", "EPSG:3857", "EPSG:32632", "auto"};

// The lines of an exported GeoJSON text as GDAL reads them.
long long featuresIn(const std::string& geojson)
{
    const char* const path = "/vsimem/fuzz-export.geojson";
    VSILFILE* file = VSIFileFromMemBuffer(path, reinterpret_cast<GByte*>(const_cast<char*>(geojson.data())),
                                          geojson.size(), FALSE);
    if (file == nullptr)
        std::abort();
    VSIFCloseL(file);
    long long count = -1;
    {
        GDALDatasetUniquePtr dataset(GDALDataset::Open(path, GDAL_OF_VECTOR | GDAL_OF_READONLY));
        if (dataset != nullptr && dataset->GetLayerCount() == 1)
            count = dataset->GetLayer(0)->GetFeatureCount(TRUE);
    }
    VSIUnlink(path);
    return count;
}

void checkExport(const CFenceDescription& description)
{
    const std::string fnc = scratch->path() + "/imported.fnc";
    std::ofstream(fnc, std::ios::binary | std::ios::trunc) << description.format();
    CMorSectionExport exporter;
    std::string geojson, error;
    if (!exporter.run(fnc, scratch->path() + "/back.geojson", geojson, error)) {
        if (error.empty())
            std::abort();
        return;
    }
    if (featuresIn(geojson) != static_cast<long long>(description.fences.size()))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The importer logs; that would drown the fuzzer.
    if (!freopen("/dev/null", "w", stdout))
        std::abort();
    scratch = std::make_unique<CFuzzScratchDir>(MORVEX_SOURCE_DIR);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const unsigned choice = data[size - 1];
    const std::string input = scratch->path() + (data[0] == '{' ? "/fuzz.geojson" : "/fuzz.csv");
    std::ofstream(input, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
    const std::string output = scratch->path() + "/out.fnc";
    std::vector<const char*> argv = {"morvex-import", input.c_str(), "-o", output.c_str(), "--crs",
                                     CRS[(choice >> 2) & 3]};
    if (SOURCE_CRS[choice & 3] != nullptr) {
        argv.push_back("--source-crs");
        argv.push_back(SOURCE_CRS[choice & 3]);
    }
    // Other names for the fields, some of them perhaps not there.
    if (choice & 16)
        argv.insert(argv.end(), {"--label-field", "name", "--top-field", "z_top", "--crop-field", "window"});
    CMorImportOptions options;
    if (!options.parse(static_cast<int>(argv.size()), argv.data()))
        std::abort();

    CMorSectionImport import;
    CFenceDescription description;
    std::string error;
    if (!import.run(options, description, error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    const std::string text = description.format();
    CFenceDescription again;
    if (description.fences.empty() || description.options.crs.empty() || !again.parse(text, "out.fnc", error) ||
        again.format() != text)
        std::abort();
    checkExport(description);
    return 0;
}
