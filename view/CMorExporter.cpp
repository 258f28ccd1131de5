// Export of the frame's pictures through the image tool, with the program's
// own writer behind it.
#include "CMorExporter.h"

#include "CMorClock.h"
#include "CMorExportProgress.h"
#include "CMorFrame.h"
#include "CMorSafeFile.h"
#include "CMorTempDirectory.h"
#include "CMorTileJoiner.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <iostream>

const char* const CMorExporter::TOOL = "convert";

namespace {

const char* const SINGLE_NAME = "mortemp.bmp";

std::string absolutePath(const std::string& path)
{
    if (path.empty() || path[0] == '/')
        return path;
    char* cwd = getcwd(nullptr, 0);
    if (cwd == nullptr)
        return path;
    const std::string result = std::string(cwd) + "/" + path;
    std::free(cwd);
    return result;
}

long long fileSize(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? static_cast<long long>(info.st_size) : -1;
}

// The arguments as one line for the log, the output name in double quotes.
std::string argumentLine(const std::vector<std::string>& arguments, bool quoteLast)
{
    std::string line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            line += ' ';
        line += quoteLast && i + 1 == arguments.size() ? "\"" + arguments[i] + "\"" : arguments[i];
    }
    return line;
}

bool hasPngExtension(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return false;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == "png";
}

std::string tileName(int row, int column)
{
    return "snap-" + std::to_string(row) + "-" + std::to_string(column) + ".bmp";
}

// The name the tool writes in the private directory: "export" with the
// output's extension, which chooses the format. The user's own name may hold
// characters the tool reads as options, frame numbers or sizes.
std::string toolOutputName(const std::string& output)
{
    const size_t slash = output.rfind('/');
    const size_t dot = output.rfind('.');
    std::string extension = "png";
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1) && dot + 1 < output.size()) {
        const std::string candidate = output.substr(dot + 1);
        bool plain = candidate.size() <= 8;
        for (char c : candidate)
            plain = plain && std::isalnum(static_cast<unsigned char>(c));
        if (plain)
            extension = candidate;
    }
    return "export." + extension;
}

std::string seconds(double s)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", s);
    return text;
}

// Tells the listener that the export is over on every way out.
class EndGuard
{
public:
    explicit EndGuard(CMorExportProgress* progress) : m_progress(progress) {}
    ~EndGuard()
    {
        if (m_progress != nullptr)
            m_progress->onExportEnd();
    }
    EndGuard(const EndGuard&) = delete;
    EndGuard& operator=(const EndGuard&) = delete;

private:
    CMorExportProgress* m_progress;
};

} // namespace

CMorExporter::CMorExporter(CMorFrame* frame, ToolRunner runner, CMorExportProgress* progress)
    : m_frame(frame), m_runner(std::move(runner)), m_progress(progress)
{
}

bool CMorExporter::fail(const std::string& message)
{
    m_error = message;
    return false;
}

void CMorExporter::progress(int done, int total)
{
    if (m_progress != nullptr)
        m_progress->onExportProgress(done, total);
}

bool CMorExporter::readView(CMorPackedBitmap& bitmap)
{
    m_error.clear();
    const int width = CMorPackedBitmap::packedWidth(m_frame->getFrameWidth());
    const int height = m_frame->getFrameHeight();
    if (m_frame->getScene() == nullptr || !m_frame->activateContext())
        return fail("Nothing to take a picture of: the view has not been drawn yet.");
    if (width <= 0 || height <= 0)
        return fail("The view is too small for a picture: it must be at least 4 pixels wide.");
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * 3 * height);
    // Drawn afresh: what the screen holds may still show a dialog that was
    // just closed over the view; and at full detail.
    const bool fullDetail = m_frame->getFullDetail();
    m_frame->setFullDetail(true);
    m_frame->drawFrame();
    m_frame->setFullDetail(fullDetail);
    CMorFrame::readPixels(width, height, rgb.data());
    bitmap.setPixels(rgb.data(), width, height);
    return true;
}

bool CMorExporter::writeBitmap(const std::string& fileName)
{
    CMorPackedBitmap bitmap;
    return readView(bitmap) && (bitmap.writeFile(fileName, m_error) || fail(m_error));
}

bool CMorExporter::exportSingleImage(const std::string& fileName)
{
    EndGuard end(m_progress);
    m_writer = WRITER_NONE;
    m_start = CMorClock::now();
    const std::string output = absolutePath(fileName);
    progress(0, 2);
    CMorPackedBitmap bitmap;
    if (!readView(bitmap))
        return false;
    m_tileWidth = bitmap.getWidth();
    m_fullHeight = bitmap.getHeight();
    std::string error;
    CMorSafeFile out;
    if (!out.begin(output, error))
        return fail("The picture could not be exported: " + error);
    CMorTempDirectory directory;
    if (!directory.create("morvex-export-", m_error))
        return fail("The picture could not be exported: " + m_error);
    if (!bitmap.writeFile(directory.pathOf(SINGLE_NAME), error))
        return fail("The picture could not be exported: " + error);
    // The picture is at hand: the own writer needs no file.
    const CMorTileJoiner::TileSource source = [&bitmap](int, int, CMorPackedBitmap& tile, std::string&) {
        tile = bitmap;
        return true;
    };
    return writeOutput({{SINGLE_NAME, directory.pathOf(toolOutputName(output))}}, 1, 1, source, directory, out,
                       output, 1, 2);
}

bool CMorExporter::drawTile(int row, int column, int rows, int columns, CMorPackedBitmap& tile, std::string& error)
{
    // Between tiles the window handles events: the view may have been
    // resized, and another context made current.
    if (m_frame->getFrameWidth() != m_fullWidth || m_frame->getFrameHeight() != m_fullHeight) {
        error = "The view changed its size during the export; nothing was written.";
        return false;
    }
    if (!m_frame->activateContext()) {
        error = "The view went away during the export; nothing was written.";
        return false;
    }
    std::vector<unsigned char> rgb(static_cast<size_t>(m_tileWidth) * 3 * m_fullHeight);
    const bool fullDetail = m_frame->getFullDetail();
    m_frame->setFullDetail(true);
    m_frame->drawTile(row, column, rows, columns, m_tileWidth, m_fullHeight);
    m_frame->setFullDetail(fullDetail);
    CMorFrame::readPixels(m_tileWidth, m_fullHeight, rgb.data());
    tile.setPixels(rgb.data(), m_tileWidth, m_fullHeight);
    return true;
}

bool CMorExporter::exportImage(const std::string& fileName, int rows, int columns)
{
    if (rows < 1 || columns < 1)
        return fail("An export needs at least one row and one column of tiles.");
    if (rows == 1 && columns == 1)
        return exportSingleImage(fileName);
    EndGuard end(m_progress);
    m_error.clear();
    m_writer = WRITER_NONE;
    m_start = CMorClock::now();
    const std::string output = absolutePath(fileName);
    m_fullWidth = m_frame->getFrameWidth();
    m_fullHeight = m_frame->getFrameHeight();
    m_tileWidth = CMorPackedBitmap::packedWidth(m_fullWidth);
    if (m_frame->getScene() == nullptr)
        return fail("Nothing to export: the view has not been drawn yet.");
    if (m_tileWidth <= 0 || m_fullHeight <= 0)
        return fail("The view is too small to export: it must be at least 4 pixels wide.");
    // Refused before any tile is drawn when the picture cannot be written.
    CMorSafeFile out;
    if (!out.begin(output, m_error))
        return fail("The picture could not be exported: " + m_error);
    CMorTempDirectory directory;
    if (!directory.create("morvex-export-", m_error))
        return fail("The picture could not be exported: " + m_error);

    const int total = rows * columns + rows + 1;
    int step = 0;
    CMorPackedBitmap tile;
    std::vector<std::vector<std::string>> toolCalls;
    for (int r = 0; r < rows; ++r) {
        std::vector<std::string> rowCall;
        for (int c = 0; c < columns; ++c) {
            const std::string name = tileName(r, c);
            std::cout << name << std::endl;
            progress(step++, total);
            std::string error;
            if (!drawTile(r, c, rows, columns, tile, error))
                return fail(error);
            if (!tile.writeFile(directory.pathOf(name), error))
                return fail("The picture could not be exported: " + error);
            rowCall.push_back(name);
        }
        rowCall.push_back("+append");
        rowCall.push_back("snap-" + std::to_string(r) + ".bmp");
        toolCalls.push_back(rowCall);
    }
    std::vector<std::string> finalCall;
    for (int r = rows - 1; r >= 0; --r)
        finalCall.push_back("snap-" + std::to_string(r) + ".bmp");
    finalCall.push_back("-append");
    // The joined rows keep the first row's size as their page geometry, which
    // the tool would write into the picture as a stray canvas size.
    finalCall.push_back("+repage");
    finalCall.push_back(directory.pathOf(toolOutputName(output)));
    toolCalls.push_back(finalCall);

    // A tool that fails part way may have written over tiles (it splits a
    // picture it cannot join into files named like them): those are drawn
    // again.
    const CMorTileJoiner::TileSource source = [&](int r, int c, CMorPackedBitmap& bitmap, std::string& error) {
        std::string readError;
        if (bitmap.readFile(directory.pathOf(tileName(r, c)), readError) && bitmap.getWidth() == m_tileWidth &&
            bitmap.getHeight() == m_fullHeight)
            return true;
        std::cout << tileName(r, c) << " is no longer the tile drawn; drawing it again" << std::endl;
        return drawTile(r, c, rows, columns, bitmap, error);
    };
    return writeOutput(toolCalls, rows, columns, source, directory, out, output, step, total);
}

bool CMorExporter::writeOutput(const std::vector<std::vector<std::string>>& toolCalls, int rows, int columns,
                               const CMorTileJoiner::TileSource& source, const CMorTempDirectory& directory,
                               CMorSafeFile& out, const std::string& output, int step, int total)
{
    std::string why;
    // The tool writes its picture through a link in the private directory
    // into the temporary beside the output: a name of the program's own
    // choosing, whose extension picks the format, and the parts a failing
    // tool writes instead stay in the private directory.
    const std::string& made = toolCalls.back().back();
    if (!m_runner) {
        why = "no image tool is set up";
    } else if (symlink(out.getWritingPath().c_str(), made.c_str()) != 0) {
        why = "its output could not be linked to " + output + ": " + CMorSafeFile::describe(errno);
    } else {
        for (size_t i = 0; i < toolCalls.size(); ++i) {
            const bool last = i + 1 == toolCalls.size();
            std::cout << argumentLine(toolCalls[i], last) << std::endl;
            progress(step++, total);
            const uint32_t result = m_runner(TOOL, toolCalls[i], directory.getPath());
            if (result != 0) {
                why = std::string(TOOL) + " failed (result " + std::to_string(result) + ")";
                break;
            }
        }
        if (why.empty() && fileSize(out.getWritingPath()) <= 0)
            why = std::string(TOOL) + " ended without writing the picture";
    }
    std::string error;
    if (why.empty() && !out.commit(error))
        why = std::string(TOOL) + " made the picture, but it could not be put in place: " +
              error.substr(0, error.size() - 1);
    // What the tool left is of no use to the program's own writer.
    out.abort();
    const std::string size =
        std::to_string(columns * m_tileWidth) + " x " + std::to_string(rows * m_fullHeight) + " pixels";
    if (why.empty()) {
        m_writer = WRITER_TOOL;
        std::cout << "Exported " << output << " (" << size << ") with " << TOOL << " in "
                  << seconds(CMorClock::now() - m_start) << " s" << std::endl;
        progress(total, total);
        return true;
    }
    std::cout << "The image tool could not make the picture: " << why << "; writing " << output
              << " with the program's own PNG writer"
              << (hasPngExtension(output) ? "" : " (PNG data, whatever the name's extension)") << std::endl;
    progress(step, total);
    if (!CMorTileJoiner::writePng(rows, columns, source, output, error))
        return fail("The picture could not be exported to " + output + ".\nThe image tool: " + why +
                    ".\nThe program's own writer: " + error);
    m_writer = WRITER_OWN;
    std::cout << "Exported " << output << " (" << size << ") with the program's own PNG writer in "
              << seconds(CMorClock::now() - m_start) << " s" << std::endl;
    progress(total, total);
    return true;
}
