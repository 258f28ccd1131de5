// Runs morvex-import for File > Import section lines and Export section
// lines: the importer links GDAL, the viewer does not. Its log lines join
// the viewer's log; its message on failure is what the user is shown.
#pragma once

#include <string>
#include <vector>

class CMorImportRunner
{
public:
    // The description output made from the vector file input; false with
    // message (the importer's own words) when it was refused or not run.
    static bool importLines(const std::string& input, const std::string& output, std::string& message);
    // The section lines of the description diagram as GeoJSON in output.
    static bool exportLines(const std::string& diagram, const std::string& output, std::string& message);
private:
    static bool run(const std::vector<std::string>& options, const std::string& input, std::string& message);
};
