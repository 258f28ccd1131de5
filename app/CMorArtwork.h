// The program's own pictures: the three mouse bindings of the help window, the
// splash picture, the tool-button icons and the program icon, painted in code
// so that nothing has to be installed.
#pragma once

#include "CMorCanvas.h"

class CMorArtwork
{
public:
    // 64 x 67: left button, turning arrow.
    static CMorCanvas mouseRotate();
    // 64 x 64: right button, four-way arrow.
    static CMorCanvas mousePan();
    // 64 x 60: Shift key and right button, two-way arrow.
    static CMorCanvas mouseZoom();
    // 400 x 300: the word mark over a dark field with a small fence diagram.
    static CMorCanvas splash();

    // Tool-button icons: 22 x 22 RGBA, transparent around the drawing.
    static const int TOOL_ICON_SIZE = 22;
    static CMorCanvas iconOpen();
    static CMorCanvas iconSave();
    static CMorCanvas iconExport();
    static CMorCanvas iconCopy();
    static CMorCanvas iconViewParameters();
    static CMorCanvas iconDiagramParameters();
    static CMorCanvas iconResetView();
    // The program icon, size x size RGBA: fence panels on a dark tile.
    static CMorCanvas programIcon(int size);
};
