// libFuzzer target: a whole description file (format 1 or 2) loaded into a
// diagram, with the images it names resolved in a scratch directory. Text
// that reads as a description must also write back to text that reads the
// same, and a diagram that loads must save a file that reads.
#include "CFenceDescription.h"
#include "CFenceDiagram.h"
#include "CFuzzScratchDir.h"
#include "CZelCamera.h"
#include "CZelPointer.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace {

std::unique_ptr<CFuzzScratchDir> scratch;

void checkRoundTrip(const std::string& text)
{
    CFenceDescription first;
    std::string error;
    if (!first.parse(text, "fuzz.fnc", error)) {
        if (error.empty())
            std::abort();
        return;
    }
    const std::string written = first.format();
    CFenceDescription second;
    if (!second.parse(written, "fuzz.fnc", error) || second.format() != written)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The diagram logs every point it reads; that would drown the fuzzer.
    if (!freopen("/dev/null", "w", stdout))
        std::abort();
    scratch = std::make_unique<CFuzzScratchDir>(MORVEX_SOURCE_DIR);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    checkRoundTrip(text);

    const std::string path = scratch->path() + "/fuzz.fnc";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    CZelPointer<CZelCamera> camera(new CZelCamera());
    CZelPointer<CFenceDiagram> diagram(new CFenceDiagram());
    diagram->setCamera(camera);
    // Missing pictures take the outline path rather than ending the load early.
    diagram->setMissingPicturesHandler([](const std::vector<CFenceDiagram::MissingPicture>&) { return true; });
    if (diagram->load(path)) {
        diagram->refresh();
        diagram->placeCamera(camera);
        // Whatever the settings, a diagram that loads saves a file that reads.
        diagram->setVerticalExaggeration(diagram->getVerticalExaggeration() * 2.0);
        diagram->setMapAxisLabels(!diagram->getMapAxisLabels());
        const std::string saved = scratch->path() + "/saved.fnc";
        CFenceDescription again;
        std::string error;
        if (diagram->save(saved) && !again.read(saved, error))
            std::abort();
    } else if (diagram->getErrorMessage().empty()) {
        std::abort();
    }
    return 0;
}
