// The headless renderer itself: draws a fence diagram into a PNG file on an
// offscreen OSMesa context, through the same frame drawing as the viewer; no
// display needed. A library that the morvex-render program loads.
#include "CMorFrame.h"
#include "CMorMemoryPlan.h"
#include "CMorOffscreenContext.h"
#include "CMorPicker.h"
#include "CMorRenderOptions.h"
#include "CMorSceneExporter.h"
#include "CMorSafeFile.h"
#include "CPyramidMemory.h"
#include "CMorTiledPicture.h"
#include "CZelPngWriter.h"
#include "pickText.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <new>
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

int render(int argc, char** argv)
{
    CMorMemoryPlan::prepareProcess();
    CMorSafeFile::ignoreFileSizeSignal();
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

    // Mesa and LLVM end the program when they run out of memory: a drawing
    // that cannot fit is refused before they start.
    uint64_t budget = options.getMemoryBudget();
    const uint64_t pictureRows = 3ULL * static_cast<uint64_t>(options.getWidth()) *
                                 static_cast<uint64_t>(options.getTiles()) * static_cast<uint64_t>(options.getHeight());
    std::string memoryMessage;
    if (!CMorMemoryPlan::fitDrawing(options.getWidth(), options.getHeight(), pictureRows, budget, memoryMessage))
        return failure(memoryMessage);

    CMorOffscreenContext context;
    if (!context.create(options.getWidth(), options.getHeight()))
        return failure(context.getErrorMessage());

    CPyramidMemory::getInstance().setBudget(budget);
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

    if (CMorSceneExporter::formatOf(options.getOutput()) != CMorSceneExporter::FORMAT_NONE) {
        // One frame lays out the axes as the picture would show them.
        frame.drawFrame();
        CMorSceneExporter exporter;
        exporter.setTextureLimit(options.getTextureLimit());
        exporter.setLog([](const std::string& line) { std::cout << line << std::endl; });
        exporter.gather(*frame.getDiagram(), frame.getFileName(), frame.getViewOptions());
        if (!exporter.write(options.getOutput()))
            return failure(exporter.getErrorMessage());
        return 0;
    }

    CMorTiledPicture picture(&frame, options.getTiles(), options.getTiles());
    // On standard output whatever --quiet silences.
    const CMorPicker picker(frame.getDiagram(), frame.getCamera());
    for (const std::pair<long long, long long>& at : options.getPicks()) {
        const CMorPick pick = picker.pickPixel(static_cast<double>(at.first), static_cast<double>(at.second),
                                               static_cast<double>(picture.getWidth()),
                                               static_cast<double>(picture.getHeight()));
        const std::string label = pick.hit ? frame.getDiagram()->getDescription(pick.fence) : std::string();
        std::fputs((pickLine(at.first, at.second, pick, label) + "\n").c_str(), stdout);
    }
    std::fflush(stdout);
    if (picture.getWidth() > 0x7fffffffLL || picture.getHeight() > 0x7fffffffLL)
        return failure("the picture is larger than a PNG file can hold.");
    // The picture replaces the output only once it is complete: a failure
    // leaves the old file, or none.
    std::string error;
    CMorSafeFile output;
    if (!output.begin(options.getOutput(), error))
        return failure(error);
    CZelPngWriter writer;
    const bool drawn =
        writer.open(output.getStream(), options.getOutput(), static_cast<int>(picture.getWidth()),
                    static_cast<int>(picture.getHeight()), 3) &&
        picture.write([&writer](const unsigned char* row) { return writer.writeRow(row); }) && writer.close();
    if (!drawn) {
        // The file's own cause (a full disk) says more than the encoder's.
        const std::string cause = !output.getWriteError().empty() ? output.getWriteError()
                                  : !writer.getErrorMessage().empty() ? writer.getErrorMessage()
                                                                       : picture.getErrorMessage();
        output.abort();
        return failure(cause);
    }
    // A tile GL could not hold was drawn coarser: the picture is not what
    // was asked for.
    if (CPyramidMemory::getInstance().hasGlRunOutOfMemory()) {
        output.abort();
        return failure("Not enough memory: GL could not hold the textures of the pictures' tiles (try a smaller "
                       "--memory-budget).");
    }
    if (!output.commit(error))
        return failure(error);
    std::cout << "Wrote " << options.getOutput() << " (" << picture.getWidth() << " x " << picture.getHeight()
                  << " pixels, " << context.getRenderer() << ")" << std::endl;
    return 0;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int morvexRenderMain(int argc, char** argv)
{
    // Allocations our own code makes are checked where they happen; this
    // catches those of the libraries in between (fonts, the C++ library).
    try {
        return render(argc, argv);
    } catch (const std::bad_alloc&) {
        return failure("Not enough memory: it ran out while drawing (try a smaller --size or --memory-budget).");
    }
}
