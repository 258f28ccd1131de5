// GDAL registration and error capture.
#include "CMorGdalErrors.h"

#include <cpl_error.h>
#include <gdal.h>

#include <iostream>

namespace {

// GDAL keeps the last failure itself; only warnings are worth a log line.
void CPL_STDCALL logWarning(CPLErr level, CPLErrorNum, const char* message)
{
    if (level == CE_Warning)
        std::cout << "GDAL: " << message << std::endl;
}

} // namespace

CMorGdalErrors::CMorGdalErrors()
{
    static const bool registered = [] {
        GDALAllRegister();
        return true;
    }();
    (void)registered;
    CPLPushErrorHandler(logWarning);
    CPLErrorReset();
}

CMorGdalErrors::~CMorGdalErrors()
{
    CPLPopErrorHandler();
}

std::string CMorGdalErrors::takeReason()
{
    const bool failed = CPLGetLastErrorType() >= CE_Failure;
    const std::string message = CPLGetLastErrorMsg();
    CPLErrorReset();
    return failed && !message.empty() ? ": " + message : std::string();
}
