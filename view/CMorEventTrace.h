// A trace of the input the view acted on and where it left the camera, one
// line per event, appended to the file named by the environment variable
// MORVEX_TRACE (nothing without it). Tests read it to judge what the program
// received; it never reaches the log window.
#pragma once

#include "CZelCamera.h"

#include <string>

class CMorEventTrace
{
public:
    static bool isOn();
    // Writes what and a line end; with a camera (borrowed, may be null)
    // followed by " -> eye X Y Z target X Y Z".
    static void write(const std::string& what, const CZelCamera* camera = nullptr);
};
