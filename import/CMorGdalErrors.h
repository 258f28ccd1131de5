// GDAL as the importer uses it: its drivers registered, and its complaints
// kept for the importer's own messages instead of printed.
#pragma once

#include <string>

class CMorGdalErrors
{
public:
    // Registers GDAL's drivers on first use and takes over its error
    // reports until the object goes; warnings go to the log (standard output).
    CMorGdalErrors();
    ~CMorGdalErrors();
    CMorGdalErrors(const CMorGdalErrors&) = delete;
    CMorGdalErrors& operator=(const CMorGdalErrors&) = delete;

    // The last failure GDAL reported since the last call, as ": REASON" to
    // end a sentence with; empty when it reported none. Forgets it.
    static std::string takeReason();
};
