// The log stream buffer: when text reaches the display, in which pieces, and
// that the echo sees the same text in the same order.
// gtest before the toolkit: X11 defines macros that clash with its names.
#include <gtest/gtest.h>

#include "CLogWindow.h"
#include "basic_editstreambuf.h"

#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>

#include <iostream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class LogStream : public ::testing::Test
{
protected:
    LogStream() : m_display(0, 0, 200, 100), m_buffer(0, 1024), m_stream(&m_streambuf)
    {
        m_display.buffer(&m_buffer);
        m_buffer.add_modify_callback(&LogStream::onModify, this);
        m_streambuf.setDisplay(&m_display);
        m_streambuf.setEcho(&m_echo);
    }
    ~LogStream() override
    {
        m_buffer.remove_modify_callback(&LogStream::onModify, this);
        m_display.buffer(nullptr);
    }

    static void onModify(int, int inserted, int, int, const char*, void* data)
    {
        if (inserted > 0)
            static_cast<LogStream*>(data)->m_pieces.push_back(inserted);
    }

    std::string shown()
    {
        char* text = m_buffer.text();
        std::string result(text);
        free(text);
        return result;
    }

    Fl_Text_Display m_display;
    Fl_Text_Buffer m_buffer;
    editstreambuf m_streambuf;
    std::stringbuf m_echo;
    std::ostream m_stream;
    std::vector<int> m_pieces;
};

} // namespace

TEST_F(LogStream, TextWaitsForTheLineEnd)
{
    m_stream << "abc";
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(m_echo.str(), "");
    m_stream << "\n";
    EXPECT_EQ(shown(), "abc\n");
    m_stream << "def" << std::endl;
    EXPECT_EQ(shown(), "abc\ndef\n");
    EXPECT_EQ(m_echo.str(), shown());
}

TEST_F(LogStream, LongLineArrivesInPiecesOf511)
{
    const std::string line(1200, 'x');
    m_stream << line;
    EXPECT_EQ(m_pieces, (std::vector<int>{511, 511}));
    m_stream.flush();
    EXPECT_EQ(m_pieces, (std::vector<int>{511, 511, 178}));
    EXPECT_EQ(shown(), line);
    EXPECT_EQ(m_echo.str(), line);
}

TEST_F(LogStream, TextIsAppendedEvenAfterTheCursorMoved)
{
    m_stream << "first line\n";
    m_display.insert_position(2);
    m_stream << "second line\n";
    EXPECT_EQ(shown(), "first line\nsecond line\n");
}

TEST_F(LogStream, ManyLinesInOneWriteKeepTheirOrder)
{
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line " + std::to_string(i) + "\n";
    m_stream << text;
    EXPECT_EQ(shown(), text);
    EXPECT_EQ(m_echo.str(), text);
}

TEST(LogWindow, CapturesStandardOutputAndGivesItBack)
{
    std::streambuf* original = std::cout.rdbuf();
    {
        CLogWindow log;
        std::cout << "onInit()" << std::endl;
        char* text = log.getDisplay()->buffer()->text();
        EXPECT_STREQ(text, "onInit()\n");
        free(text);
    }
    EXPECT_EQ(std::cout.rdbuf(), original);
}
