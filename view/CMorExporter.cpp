// Export of the frame's pictures through the image tool, with the program's
// own writer behind it.
#include "CMorExporter.h"

#include "CMorClock.h"
#include "CMorExportProgress.h"
#include "CMorFrame.h"
#include "CMorTempDirectory.h"
#include "CMorTileJoiner.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
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

// What a file looks like now, to tell whether a tool wrote it.
struct FileStamp {
    bool exists = false;
    off_t size = 0;
    long long seconds = 0;
    long long nanoseconds = 0;

    explicit FileStamp(const std::string& path)
    {
        struct stat info;
        if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            exists = true;
            size = info.st_size;
            seconds = info.st_mtim.tv_sec;
            nanoseconds = info.st_mtim.tv_nsec;
        }
    }
    bool writtenSince(const FileStamp& before) const
    {
        return exists && size > 0 &&
               (!before.exists || size != before.size || seconds != before.seconds ||
                nanoseconds != before.nanoseconds);
    }
};

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
    // just closed over the view.
    m_frame->drawFrame();
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
    CMorTempDirectory directory;
    if (!directory.create("morvex-export-", m_error))
        return fail("The picture could not be exported: " + m_error);
    std::string error;
    if (!bitmap.writeFile(directory.pathOf(SINGLE_NAME), error))
        return fail("The picture could not be exported: " + error);
    return writeOutput({{SINGLE_NAME, output}}, {{directory.pathOf(SINGLE_NAME)}}, directory, output,
                       bitmap.getWidth(), bitmap.getHeight(), 1, 2);
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
    const int fullWidth = m_frame->getFrameWidth();
    const int fullHeight = m_frame->getFrameHeight();
    const int width = CMorPackedBitmap::packedWidth(fullWidth);
    if (m_frame->getScene() == nullptr)
        return fail("Nothing to export: the view has not been drawn yet.");
    if (width <= 0 || fullHeight <= 0)
        return fail("The view is too small to export: it must be at least 4 pixels wide.");
    CMorTempDirectory directory;
    if (!directory.create("morvex-export-", m_error))
        return fail("The picture could not be exported: " + m_error);

    const int total = rows * columns + rows + 1;
    int step = 0;
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * 3 * fullHeight);
    CMorPackedBitmap bitmap;
    std::vector<std::vector<std::string>> tiles(rows);
    std::vector<std::vector<std::string>> toolCalls;
    for (int r = 0; r < rows; ++r) {
        std::vector<std::string> rowCall;
        for (int c = 0; c < columns; ++c) {
            const std::string name = "snap-" + std::to_string(r) + "-" + std::to_string(c) + ".bmp";
            std::cout << name << std::endl;
            progress(step++, total);
            // The listener and the log let the window handle events: the
            // view may have been resized, and another context made current.
            if (m_frame->getFrameWidth() != fullWidth || m_frame->getFrameHeight() != fullHeight)
                return fail("The view changed its size during the export; nothing was written.");
            if (!m_frame->activateContext())
                return fail("The view went away during the export; nothing was written.");
            m_frame->drawTile(r, c, rows, columns, width, fullHeight);
            CMorFrame::readPixels(width, fullHeight, rgb.data());
            bitmap.setPixels(rgb.data(), width, fullHeight);
            std::string error;
            if (!bitmap.writeFile(directory.pathOf(name), error))
                return fail("The picture could not be exported: " + error);
            tiles[r].push_back(directory.pathOf(name));
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
    finalCall.push_back(output);
    toolCalls.push_back(finalCall);
    return writeOutput(toolCalls, tiles, directory, output, columns * width, rows * fullHeight, step, total);
}

bool CMorExporter::writeOutput(const std::vector<std::vector<std::string>>& toolCalls,
                               const std::vector<std::vector<std::string>>& tiles,
                               const CMorTempDirectory& directory, const std::string& output, int pictureWidth,
                               int pictureHeight, int step, int total)
{
    const FileStamp before(output);
    uint32_t result = 0;
    std::string why;
    if (!m_runner) {
        why = "no image tool is set up";
    } else {
        for (size_t i = 0; i < toolCalls.size(); ++i) {
            const bool last = i + 1 == toolCalls.size();
            std::cout << argumentLine(toolCalls[i], last) << std::endl;
            progress(step++, total);
            result = m_runner(TOOL, toolCalls[i], directory.getPath());
            if (result != 0) {
                why = std::string(TOOL) + " failed (result " + std::to_string(result) + ")";
                break;
            }
        }
        if (why.empty() && !FileStamp(output).writtenSince(before))
            why = std::string(TOOL) + " ended without writing the picture";
    }
    const std::string size = std::to_string(pictureWidth) + " x " + std::to_string(pictureHeight) + " pixels";
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
    std::string error;
    if (!CMorTileJoiner::writePng(tiles, output, error))
        return fail("The picture could not be exported to " + output + ".\nThe image tool: " + why +
                    ".\nThe program's own writer: " + error);
    m_writer = WRITER_OWN;
    std::cout << "Exported " << output << " (" << size << ") with the program's own PNG writer in "
              << seconds(CMorClock::now() - m_start) << " s" << std::endl;
    progress(total, total);
    return true;
}
