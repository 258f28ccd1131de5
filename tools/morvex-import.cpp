// morvex-import: a fence diagram from section lines in a GIS file, read and
// projected through GDAL and PROJ; with --export, the diagram's lines back
// to GeoJSON. The viewer runs it as a program of its own.
#include "CMorImportOptions.h"
#include "CMorSafeFile.h"
#include "CMorSectionExport.h"
#include "CMorSectionImport.h"

#include <csignal>
#include <iostream>

namespace {

int refuse(const std::string& message)
{
    std::cerr << "morvex-import: " << message << std::endl;
    return 1;
}

void log(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        std::cout << line << std::endl;
}

int importLines(const CMorImportOptions& options)
{
    CMorSectionImport import;
    CFenceDescription description;
    std::string error;
    const bool made = import.run(options, description, error);
    for (const std::string& warning : import.getWarnings())
        std::cerr << "morvex-import: warning: " << warning << std::endl;
    log(import.getLog());
    if (!made)
        return refuse(error);
    if (!CMorSafeFile::write(options.getOutput(), description.format(), error))
        return refuse(error);
    std::cout << "Wrote " << options.getOutput() << "." << std::endl;
    return 0;
}

int exportLines(const CMorImportOptions& options)
{
    CMorSectionExport exporter;
    std::string geojson, error;
    const bool made = exporter.run(options.getInput(), options.getOutput(), geojson, error);
    log(exporter.getLog());
    if (!made)
        return refuse(error);
    if (!CMorSafeFile::write(options.getOutput(), geojson, error))
        return refuse(error);
    std::cout << "Wrote " << options.getOutput() << "." << std::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    CMorImportOptions options;
    if (!options.parse(argc, argv)) {
        std::cerr << "morvex-import: " << options.getErrorMessage() << "\n"
                  << "Try 'morvex-import --help'." << std::endl;
        return 2;
    }
    if (options.getShowHelp()) {
        std::cout << CMorImportOptions::getHelpText();
        return 0;
    }
    // A file-size limit makes writing fail with a message like a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    return options.getExport() ? exportLines(options) : importLines(options);
}
