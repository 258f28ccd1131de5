// The bundled viewer script, included byte for byte from the build tree.
#include "CMorWebViewer.h"

#ifdef MORVEX_WEB_VIEWER_FILE
// Included as data by the assembler: the bundle is large, and a file of
// array literals would take the compiler longer than the rest of the folder.
__asm__(".section .rodata\n"
        ".global morvexWebViewerStart\n"
        ".type morvexWebViewerStart, @object\n"
        "morvexWebViewerStart:\n"
        ".incbin \"" MORVEX_WEB_VIEWER_FILE "\"\n"
        ".global morvexWebViewerEnd\n"
        ".type morvexWebViewerEnd, @object\n"
        "morvexWebViewerEnd:\n"
        ".byte 0\n"
        ".previous\n");

extern "C" const char morvexWebViewerStart[];
extern "C" const char morvexWebViewerEnd[];

std::string CMorWebViewer::getScript()
{
    return std::string(morvexWebViewerStart, morvexWebViewerEnd);
}
#else
std::string CMorWebViewer::getScript()
{
    return std::string();
}
#endif
