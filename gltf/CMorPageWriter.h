// The self-contained web page of a 3-D export: the glTF asset embedded, the
// viewer script inlined, the legend in its corner and the view's background,
// with a content policy that lets the page load nothing from anywhere.
#pragma once

#include "CMorExportScene.h"

#include <string>
#include <vector>

class CMorPageWriter
{
public:
    // Whether this build can write pages (it holds the viewer script).
    static bool isAvailable();
    // Why a build without it writes no page.
    static const char* const MISSING_VIEWER;
    // The page showing the binary glTF asset of the scene. False with error
    // set when the page cannot be made.
    static bool write(const CMorExportScene& scene, const std::vector<unsigned char>& glb, std::string& page,
                      std::string& error);
    // The viewer's settings: the camera relative to the local origin, the map origin for the coordinate display.
    static std::string settings(const CMorExportScene& scene);
};
