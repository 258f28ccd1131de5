// The main window as built (menu, tool buttons, centring of other windows),
// the export's size dialog, and the log window's stream buffer (its pieces
// of 511 and its echo run end to end in the GUI test of the log).
// gtest before the toolkit: X11 defines macros that clash with its names.
#include <gtest/gtest.h>

#include "CImageSizeDialog.h"
#include "CLogWindow.h"
#include "CMorDiagramDialog.h"
#include "CMorView.h"
#include "CMorViewParamDialog.h"
#include "CMorWindow.h"
#include "CTestDiagramDir.h"
#include "Fl_HoverButton.h"
#include "basic_editstreambuf.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
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
    const struct {
        int x;
        const char* tooltip;
    } expected[] = {{4, "Open fence diagram"}, {40, "Save settings"},      {76, "Export to PNG image"},
                    {125, "Copy window to clipboard"}, {175, "View Parameters"}, {212, "Diagram Parameters"},
                    {265, "Reset view"}};
    CMorWindow window;
    std::vector<Fl_Widget*> buttons;
    Fl_Scroll* bar = window.getToolBar();
    for (int i = 0; i < bar->children(); ++i)
        if (dynamic_cast<Fl_HoverButton*>(bar->child(i)) != nullptr)
            buttons.push_back(bar->child(i));
    ASSERT_EQ(buttons.size(), std::size(expected));
    for (size_t i = 0; i < buttons.size(); ++i) {
        SCOPED_TRACE(expected[i].tooltip);
        // Save, Export and Copy wait for a diagram.
        EXPECT_EQ(buttons[i]->active() != 0, i == 0 || i > 3);
        EXPECT_EQ((std::vector<int>{buttons[i]->x(), buttons[i]->y(), buttons[i]->w(), buttons[i]->h()}),
                  (std::vector<int>{expected[i].x, 29, 33, 33}));
        EXPECT_STREQ(buttons[i]->tooltip(), expected[i].tooltip);
        EXPECT_EQ(buttons[i]->label(), nullptr);
        ASSERT_NE(buttons[i]->image(), nullptr);
        EXPECT_EQ(std::make_pair(buttons[i]->image()->w(), buttons[i]->image()->d()), std::make_pair(22, 4));
    }
}

TEST(MainWindow, CentresOtherWindowsAndShowsTheParameterDialogsWithTheView)
{
    CMorWindow window;
    window.getWindow()->resize(50, 50, 511, 446);
    // Rounded towards zero; a window larger than the main window reaches out on both sides.
    Fl_Window small(0, 0, 101, 51), large(0, 0, 701, 600);
    window.centerWindow(&small);
    window.centerWindow(&large);
    EXPECT_EQ((std::vector<int>{small.x(), small.y(), small.w()}),
              (std::vector<int>{50 + 255 - 50, 50 + 223 - 25, 101}));
    EXPECT_EQ(std::make_pair(large.x(), large.y()), std::make_pair(50 + 255 - 350, 50 + 223 - 300));

    Fl_Menu_Bar* bar = window.getMenuBar();
    bar->picked(bar->find_item("View/&View Parameters"));
    Fl_Double_Window* view = window.getViewParamDialog()->getWindow();
    EXPECT_TRUE(view->shown());
    EXPECT_EQ(window.getViewParamDialog()->getView(), window.getView());
    EXPECT_EQ(std::make_pair(view->x(), view->y()), std::make_pair(50 + 255 - 375 / 2, 50 + 223 - 522 / 2));
    bar->picked(bar->find_item("&Diagram/&Diagram Parameters"));
    Fl_Double_Window* diagram = window.getDiagramDialog()->getWindow();
    EXPECT_TRUE(diagram->shown());
    EXPECT_EQ(window.getDiagramDialog()->getView(), window.getView());
    EXPECT_EQ(diagram->x(), 50 + 255 - 280 / 2);
    EXPECT_FALSE(view->active()) << "greyed out without a diagram";
    EXPECT_FALSE(diagram->active());
    bar->picked(bar->find_item("&File/&Exit"));
    EXPECT_EQ(Fl::first_window(), nullptr) << "Exit hides every window with the main window";
}

TEST(MainWindow, PreferencesFillOpenRecentAndGiveTheViewItsDefaults)
{
    CTestDiagramDir dir;
    const std::string path =
        dir.write("preferences", "recent.1 = /d/new&.fnc\nrecent.2 = /d/old.fnc\nbackground = gradient\n");
    CMorWindow window;
    window.loadPreferences(path);
    const Fl_Menu_Item* recent = window.getMenuBar()->find_item("&File/Open &Recent");
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->active());
    EXPECT_STREQ(recent[1].label(), "&1 /d/new&&.fnc");
    EXPECT_STREQ(recent[2].label(), "&2 /d/old.fnc");
    EXPECT_TRUE(recent[2].visible());
    EXPECT_FALSE(recent[3].visible());
    EXPECT_EQ(window.getView()->getDefaultViewSettings().backgroundType, CMorView::BACKGROUND_GRADIENT);
}

// OK, Cancel and the close box run end to end in the GUI test of the export.
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
    m_stream << "abc";
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(m_echo.str(), "");
    m_stream << "\n";
    EXPECT_EQ(shown(), "abc\n");
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
