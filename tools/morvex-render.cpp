// morvex-render: draws a fence diagram into a PNG file on an offscreen OSMesa
// context, through the same frame drawing as the viewer; no display needed.
#include "CMorFrame.h"
#include "CMorOffscreenContext.h"
#include "CMorRenderOptions.h"
#include "CPyramidMemory.h"
#include "CMorTiledPicture.h"
#include "CZelPngWriter.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

namespace {

// Sends standard output nowhere while it lives, for --quiet; restores it on
// every way out of main.
class QuietOutput
{
public:
    explicit QuietOutput(bool quiet) : m_previous(quiet ? std::cout.rdbuf(m_nowhere.rdbuf()) : nullptr) {}
    ~QuietOutput()
    {
        if (m_previous != nullptr)
            std::cout.rdbuf(m_previous);
    }
    QuietOutput(const QuietOutput&) = delete;
    QuietOutput& operator=(const QuietOutput&) = delete;

private:
    std::ofstream m_nowhere;
    std::streambuf* m_previous;
};

// Opens diagrams whose pictures are missing when told to, with a warning on
// standard error for each picture; otherwise such an open fails.
class RenderFrame : public CMorFrame
{
public:
    explicit RenderFrame(bool skipMissing) : m_skipMissing(skipMissing) {}
    // An open failed because pictures were missing.
    bool declinedPictures() const { return m_declinedPictures; }

protected:
    bool openWithoutPictures(const std::string&, const std::vector<CFenceDiagram::MissingPicture>& missing) override
    {
        if (!m_skipMissing) {
            m_declinedPictures = true;
            return false;
        }
        for (const CFenceDiagram::MissingPicture& picture : missing)
            std::cerr << "morvex-render: warning: " << CFenceDiagram::describeMissing(picture) << std::endl;
        return true;
    }

private:
    bool m_skipMissing;
    bool m_declinedPictures = false;
};

int failure(const std::string& message)
{
    std::cerr << "morvex-render: " << message << std::endl;
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    CMorRenderOptions options;
    if (!options.parse(argc, argv)) {
        std::cerr << "morvex-render: " << options.getErrorMessage() << "\n"
                  << "Try 'morvex-render --help'." << std::endl;
        return 2;
    }
    if (options.getShowHelp()) {
        std::cout << CMorRenderOptions::getHelpText();
        return 0;
    }
    // The frame and the diagram report progress on standard output.
    const QuietOutput quiet(options.getQuiet());

    // Checked before any drawing, so that a bad path costs no rendering.
    if (!std::ifstream(options.getInput()))
        return failure("cannot read " + options.getInput() + ".");

    CMorOffscreenContext context;
    if (!context.create(options.getWidth(), options.getHeight()))
        return failure(context.getErrorMessage());

    CPyramidMemory::getInstance().setBudget(options.getMemoryBudget());
    RenderFrame frame(options.getSkipMissing());
    // A picture for a file: every tile at the level its view needs.
    frame.setFullDetail(true);
    frame.initializeFrame(options.getWidth(), options.getHeight());
    frame.resizeFrame(options.getWidth(), options.getHeight());
    if (!options.fitsFrame(frame))
        return failure(options.getErrorMessage());
    if (!frame.open(options.getInput()))
        return failure(options.getInput() + ": " + frame.getErrorMessage() +
                       (frame.declinedPictures() ? " (--skip-missing draws the diagram without its missing pictures.)"
                                               : ""));
    options.applyToFrame(frame);
    options.applyToDiagram(frame);
    if (options.getAntialiasRequested() && !CMorFrame::hasAccumulationBuffer())
        return failure("the offscreen context has no accumulation buffer for antialiasing.");

    CMorTiledPicture picture(&frame, options.getTiles(), options.getTiles());
    if (picture.getWidth() > 0x7fffffffLL || picture.getHeight() > 0x7fffffffLL)
        return failure("the picture is larger than a PNG file can hold.");
    CZelPngWriter writer;
    if (!writer.open(options.getOutput(), static_cast<int>(picture.getWidth()), static_cast<int>(picture.getHeight()), 3))
        return failure(writer.getErrorMessage());
    const bool drawn = picture.write([&writer](const unsigned char* row) { return writer.writeRow(row); });
    if (!drawn && !writer.getErrorMessage().empty())
        return failure(writer.getErrorMessage());
    if (!drawn)
        return failure(picture.getErrorMessage());
    if (!writer.close())
        return failure(writer.getErrorMessage());
    std::cout << "Wrote " << options.getOutput() << " (" << picture.getWidth() << " x " << picture.getHeight()
                  << " pixels, " << context.getRenderer() << ")" << std::endl;
    return 0;
}
