// The main window as built (menu, tool buttons, centring of other windows),
// the export's size dialog, and the log window's stream buffer (its pieces
// of 511 and its echo run end to end in the GUI test of the log).
// gtest before the toolkit: X11 defines macros that clash with its names.
#include <gtest/gtest.h>

#include "CImageSizeDialog.h"
#include "CLogWindow.h"
#include "CMorViewParamDialog.h"
#include "CMorWindow.h"
#include "Fl_HoverButton.h"
#include "basic_editstreambuf.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Scroll.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Value_Slider.H>

#include <cstdlib>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

// Without a diagram the commands that act on one are greyed out, and Open
// Recent until it has an entry; the menus' order, separators and shortcuts
// run end to end in the GUI test of the menus.
TEST(MainWindow, CommandsThatActOnADiagramAreGreyedOutWithoutOne)
{
    CMorWindow window;
    Fl_Menu_Bar* bar = window.getMenuBar();
    std::vector<std::string> inactive;
    for (int i = 0; i < bar->size(); ++i) {
        const Fl_Menu_Item& item = bar->menu()[i];
        EXPECT_TRUE(item.label() == nullptr || item.labelsize() == 12) << item.label();
        if (item.label() != nullptr && !item.active())
            inactive.push_back(item.label());
    }
    EXPECT_EQ(inactive, (std::vector<std::string>{"Open &Recent", "Sa&ve settings", "Save &As...", "&Export PNG...",
                                                  "Export &3-D...", "Export section &lines...", "&Close", "&Copy",
                                                  "Copy coordinates", "Raise Vertical E&xaggeration",
                                                  "Lower Vertical Exa&ggeration"}));
}

TEST(MainWindow, ToolButtonsSitInARowWithTooltipsAndIcons)
{
    const char* const expected[] = {"Open fence diagram", "Save settings", "Export to PNG image",
                                    "Copy window to clipboard", "View Parameters", "Diagram Parameters", "Reset view"};
    CMorWindow window;
    std::vector<Fl_Widget*> buttons;
    Fl_Scroll* bar = window.getToolBar();
    for (int i = 0; i < bar->children(); ++i)
        if (dynamic_cast<Fl_HoverButton*>(bar->child(i)) != nullptr)
            buttons.push_back(bar->child(i));
    ASSERT_EQ(buttons.size(), std::size(expected));
    for (size_t i = 0; i < buttons.size(); ++i) {
        SCOPED_TRACE(expected[i]);
        // Save, Export and Copy wait for a diagram.
        EXPECT_EQ(buttons[i]->active() != 0, i == 0 || i > 3);
        EXPECT_EQ((std::vector<int>{buttons[i]->y(), buttons[i]->w(), buttons[i]->h()}),
                  (std::vector<int>{29, 33, 33}));
        EXPECT_TRUE(i == 0 || buttons[i]->x() > buttons[i - 1]->x() + 33);
        EXPECT_STREQ(buttons[i]->tooltip(), expected[i]);
        EXPECT_EQ(buttons[i]->label(), nullptr);
        ASSERT_NE(buttons[i]->image(), nullptr);
        EXPECT_EQ(std::make_pair(buttons[i]->image()->w(), buttons[i]->image()->d()), std::make_pair(22, 4));
    }
}

// The dialogs centred over the window by Ctrl+1 and Ctrl+2, and Open Recent
// filled from the preferences, run end to end in the GUI tests.
TEST(MainWindow, CentresLargerWindowsOverItAndExitHidesEveryWindow)
{
    CMorWindow window;
    window.getWindow()->resize(50, 50, 511, 446);
    // Rounded towards zero; a window larger than the main window reaches out on both sides.
    Fl_Window large(0, 0, 701, 600);
    window.centerWindow(&large);
    EXPECT_EQ(std::make_pair(large.x(), large.y()), std::make_pair(50 + 255 - 350, 50 + 223 - 300));
    Fl_Menu_Bar* bar = window.getMenuBar();
    bar->picked(bar->find_item("View/&View Parameters"));
    EXPECT_TRUE(window.getViewParamDialog()->getWindow()->shown());
    EXPECT_FALSE(window.getViewParamDialog()->getWindow()->active()) << "greyed out without a diagram";
    bar->picked(bar->find_item("&File/&Exit"));
    EXPECT_EQ(Fl::first_window(), nullptr) << "Exit hides every window with the main window";
}

TEST(ImageSizeDialog, ShowsThePictureTheMultiplierMakes)
{
    CImageSizeDialog dialog;
    dialog.setTileSize(508, 379);
    EXPECT_STREQ(dialog.getPictureSize()->label(), "Picture: 508 x 379 pixels");
    dialog.getSlider()->value(3.0);
    dialog.getSlider()->do_callback();
    EXPECT_STREQ(dialog.getPictureSize()->label(), "Picture: 1524 x 1137 pixels");
    EXPECT_EQ(dialog.getSlider()->maximum(), 8.0);
}

namespace {

class LogStream : public ::testing::Test
{
protected:
    LogStream() : m_display(0, 0, 200, 100), m_buffer(0, 1024), m_stream(&m_streambuf)
    {
        m_display.buffer(&m_buffer);
        m_streambuf.setDisplay(&m_display);
        m_streambuf.setEcho(&m_echo);
    }
    ~LogStream() override { m_display.buffer(nullptr); }
    std::string shown()
    {
        char* text = m_buffer.text();
        const std::string result(text);
        free(text);
        return result;
    }

    Fl_Text_Display m_display;
    Fl_Text_Buffer m_buffer;
    editstreambuf m_streambuf;
    std::stringbuf m_echo;
    std::ostream m_stream;
};

} // namespace

TEST_F(LogStream, TextWaitsForTheLineEndAndIsAppendedInOrderWhereverTheCursorIs)
{
    // Waiting for the line end runs end to end in the GUI test of the log.
    m_stream << "abc\n";
    m_display.insert_position(2);
    std::string text = "abc\n";
    for (int i = 0; i < 200; ++i)
        text += "line " + std::to_string(i) + "\n";
    m_stream << text.substr(4) << std::flush;
    EXPECT_EQ(shown(), text);
    EXPECT_EQ(m_echo.str(), text);
}

TEST_F(LogStream, KeepsTheLatestWholeLinesWithinItsLimit)
{
    m_streambuf.setLimit(100);
    std::string text;
    for (int i = 10; i < 40; ++i)
        text += "line " + std::to_string(i) + "\n";
    m_stream << text << std::flush;
    const std::string kept = shown();
    EXPECT_GT(kept.size(), 50u);
    EXPECT_LE(kept.size(), 100u);
    EXPECT_EQ(text.substr(text.size() - kept.size()), kept);
    EXPECT_EQ(kept.rfind("line ", 0), 0u) << kept;
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
