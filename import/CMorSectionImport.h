// An import of section lines: the vector file opened through GDAL, its layer
// chosen, every feature turned into a fence or skipped, the CRS chosen and
// the lines transformed into it, the description made.
#pragma once

#include "CFenceDescription.h"
#include "CMorImportOptions.h"

#include <string>
#include <vector>

class CMorSectionImport
{
public:
    // The description of options' input for options' output, which it does
    // not write: relative picture paths in it are relative to the output's
    // folder. False with error (a sentence or more) when the import is
    // refused.
    bool run(const CMorImportOptions& options, CFenceDescription& description, std::string& error);

    // After run, also a refused one: the features skipped, one warning each,
    // and the log lines, in order.
    const std::vector<std::string>& getWarnings() const { return m_warnings; }
    const std::vector<std::string>& getLog() const { return m_log; }

private:
    std::vector<std::string> m_warnings;
    std::vector<std::string> m_log;
};
