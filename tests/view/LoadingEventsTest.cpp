// Commands that arrive while a diagram loads: the log lets the toolkit handle
// events from inside every line written, so Open, Save settings, Reset view
// and redraws reach the frame in the middle of open. They are refused or
// harmless, the half-built diagram is not handed out, the load finishes and
// no file is written.
#include "CMorFrame.h"
#include "CTestDiagramDir.h"
#include "OffscreenContext.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>

namespace {

// Standard output that runs a callback at every line end, as the log window
// runs the toolkit's event loop.
class EventsAtLineEnds : public std::streambuf
{
public:
    explicit EventsAtLineEnds(std::function<void()> onLine) : m_onLine(std::move(onLine)) {}

protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    int sync() override
    {
        if (!m_inside) {
            m_inside = true;
            m_onLine();
            m_inside = false;
        }
        return 0;
    }

private:
    std::function<void()> m_onLine;
    bool m_inside = false;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string diagram(int fences, const std::string& camera)
{
    std::string text = "#MORVEX1\n" + std::to_string(fences) + "\n";
    for (int f = 0; f < fences; ++f)
        text += "3\n0 " + std::to_string(f * 10) + " 0\n50 " + std::to_string(f * 10) + " 5\n100 " +
                std::to_string(f * 10) + " 0\nsection.png\nF" + std::to_string(f) + "\n0\n";
    return text + camera + "section.png\n10 10\n2 1\n0.3\n";
}

} // namespace

TEST(LoadingEvents, CommandsDuringALoadAreRefusedAndTheFileIsKept)
{
    OffscreenContext context(64, 64);
    ASSERT_TRUE(context.isValid()) << context.getRenderer();
    CTestDiagramDir dir;
    dir.writePng("section.png", 40, 20, 30, 90, 160);
    const std::string first = dir.write("first.fnc", diagram(1, "0 0 0\n0 0 0\n45 1 1000\n"));
    const std::string second = dir.write("second.fnc", diagram(12, "10 20 300\n50 0 50\n45 1 1000\n"));
    const std::string firstText = readFile(first);

    CMorFrame frame;
    int duringLoad = 0;
    std::string openMessage, saveMessage;
    EventsAtLineEnds events([&] {
        if (!frame.isLoading())
            return;
        ++duringLoad;
        // Dialogs find no diagram to edit until it is complete.
        EXPECT_EQ(frame.getDiagram(), nullptr);
        EXPECT_FALSE(frame.open(first));
        openMessage = frame.getErrorMessage();
        EXPECT_FALSE(frame.saveSettings());
        saveMessage = frame.getErrorMessage();
        frame.resetView();
        frame.drawFrame();
    });
    std::streambuf* original = std::cout.rdbuf(&events);
    frame.initializeFrame(64, 64);
    frame.resizeFrame(64, 64);
    const bool firstOpened = frame.open(first);
    const bool secondOpened = frame.open(second);
    frame.drawFrame();
    std::cout.rdbuf(original);

    ASSERT_TRUE(firstOpened);
    ASSERT_TRUE(secondOpened) << frame.getErrorMessage();
    EXPECT_GT(duringLoad, 12);
    EXPECT_EQ(openMessage, "Cannot open " + first + " while another diagram is loading.");
    EXPECT_EQ(saveMessage, "Cannot save the settings while a diagram is loading.");
    EXPECT_FALSE(frame.isLoading());
    EXPECT_EQ(frame.getFileName(), second);
    EXPECT_EQ(frame.getDiagram()->getFenceCount(), 12);
    EXPECT_EQ(frame.getScene()->getComposite()->getSize(), 1);
    // The stored camera, not a reset, and the first file untouched.
    EXPECT_EQ(frame.getCamera()->getPosition().z(), 300.0);
    EXPECT_EQ(readFile(first), firstText);
}
