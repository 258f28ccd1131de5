// The page viewer's JavaScript (three.js with orbit controls and the glTF
// loader, bundled when Morvex is built), built into the program so that every
// page it writes is whole by itself.
#pragma once

#include <string>

class CMorWebViewer
{
public:
    // Empty when this build was made without it (no npm at build time).
    static std::string getScript();
};
