// Takes pictures of a frame: the packed bitmap of what it shows, and PNG
// exports either at its size or as a grid of tiles, joined by the external
// image tool "convert" or, when the tool is missing or fails, by the
// program's own writer. Tiles live in a private temporary directory; the
// picture is written beside its destination and moved into place whole.
#pragma once

#include "CMorPackedBitmap.h"
#include "CMorTileJoiner.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CMorExportProgress;
class CMorFrame;
class CMorSafeFile;
class CMorTempDirectory;

class CMorExporter
{
public:
    // Runs program with the arguments in the working directory and returns
    // its exit code, or an error code when it could not be started.
    using ToolRunner = std::function<uint32_t(const std::string& program, const std::vector<std::string>& arguments,
                                              const std::string& directory)>;

    enum Writer { WRITER_NONE, WRITER_TOOL, WRITER_OWN };

    // frame and progress are borrowed; progress may be null. Without a runner
    // the own writer makes every PNG.
    CMorExporter(CMorFrame* frame, ToolRunner runner, CMorExportProgress* progress = nullptr);

    // Draws the frame as it stands and reads it: the frame's width rounded
    // down to a multiple of 4, its full height.
    bool readView(CMorPackedBitmap& bitmap);
    // readView into the named file (created or truncated).
    bool writeBitmap(const std::string& fileName);
    // One picture of the frame's size; the name's extension chooses the
    // tool's output format (the own writer always writes PNG).
    bool exportSingleImage(const std::string& fileName);
    // rows x columns tiles, each of the size read by readView, joined into one
    // picture; 1 x 1 is exportSingleImage.
    bool exportImage(const std::string& fileName, int rows, int columns);

    // Why the last operation failed, in sentences for an alert box.
    const std::string& getErrorMessage() const { return m_error; }
    // Which writer made the last export's picture.
    Writer getWriter() const { return m_writer; }

    // The image tool's program name, "convert".
    static const char* const TOOL;

private:
    bool fail(const std::string& message);
    void progress(int done, int total);
    // Draws tile (row, column) of the grid at the frame's size of the start
    // of the export and reads it.
    bool drawTile(int row, int column, int rows, int columns, CMorPackedBitmap& tile, std::string& error);
    // Runs the tool calls in the directory, the last one writing into out
    // (begun for output) and, when one fails or the output does not appear,
    // joins the tiles from source with the own writer.
    bool writeOutput(const std::vector<std::vector<std::string>>& toolCalls, int rows, int columns,
                     const CMorTileJoiner::TileSource& source, const CMorTempDirectory& directory,
                     CMorSafeFile& out, const std::string& output, int step, int total);

    CMorFrame* m_frame;
    ToolRunner m_runner;
    CMorExportProgress* m_progress;
    std::string m_error;
    Writer m_writer = WRITER_NONE;
    double m_start = 0.0;
    // The frame's size at the start of the export, and the tiles' size.
    int m_fullWidth = 0;
    int m_fullHeight = 0;
    int m_tileWidth = 0;
};
