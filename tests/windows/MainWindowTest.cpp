// The main window as built: menu items and tool buttons with their commands,
// and the centring of other windows.
// gtest before the toolkit: X11 defines macros that clash with its names.
#include <gtest/gtest.h>

#include "CMorDiagramDialog.h"
#include "CMorViewParamDialog.h"
#include "CMorWindow.h"
#include "Fl_HoverButton.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Scroll.H>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Collects what the commands write to standard output.
class OutputCapture
{
public:
    OutputCapture() : m_previous(std::cout.rdbuf(m_text.rdbuf())) {}
    ~OutputCapture() { std::cout.rdbuf(m_previous); }
    std::string take()
    {
        std::string text = m_text.str();
        m_text.str("");
        return text;
    }

private:
    std::ostringstream m_text;
    std::streambuf* m_previous;
};

struct Item {
    const char* label;
    int shortcut;
    int flags;
    // What the command writes, or null for submenu titles, commands that
    // open windows or file dialogs, and Copy, which needs a shown view (the
    // GUI tests copy).
    const char* line;
};

} // namespace

TEST(MainWindow, MenuHoldsTheItemsInOrderWithTheirShortcutsAndSeparators)
{
    const Item expected[] = {
        {"&File", 0, FL_SUBMENU, nullptr},
        {"&Open...", FL_CTRL + 'o', 0, nullptr},
        {"&Export PNG...", FL_CTRL + 'e', FL_MENU_DIVIDER, nullptr},
        {"&Show log window...", FL_CTRL + 'l', FL_MENU_DIVIDER, nullptr},
        {"&Exit", FL_ALT + FL_F + 4, 0, nullptr},
        {nullptr, 0, 0, nullptr},
        {"&Edit", 0, FL_SUBMENU, nullptr},
        {"&Copy", FL_CTRL + 'c', 0, nullptr},
        {nullptr, 0, 0, nullptr},
        {"View", 0, FL_SUBMENU, nullptr},
        {"&Reset View", FL_Home, 0, nullptr},
        {"&View Parameters", FL_CTRL + '1', 0, nullptr},
        {nullptr, 0, 0, nullptr},
        {"&Diagram", 0, FL_SUBMENU, nullptr},
        {"&Diagram Parameters", FL_CTRL + '2', 0, nullptr},
        {nullptr, 0, 0, nullptr},
        {"&Help", 0, FL_SUBMENU, nullptr},
        {"&Zoom/Pan keys...", 0, 0, nullptr},
        {"&About Morvex...", 0, 0, nullptr},
        {nullptr, 0, 0, nullptr},
        {nullptr, 0, 0, nullptr},
    };
    CMorWindow window;
    Fl_Menu_Bar* bar = window.getMenuBar();
    ASSERT_EQ(bar->size(), int(sizeof expected / sizeof expected[0]));
    OutputCapture output;
    for (int i = 0; i < bar->size(); ++i) {
        const Fl_Menu_Item& item = bar->menu()[i];
        const Item& want = expected[i];
        SCOPED_TRACE(i);
        if (want.label == nullptr) {
            EXPECT_EQ(item.label(), nullptr);
            continue;
        }
        EXPECT_STREQ(item.label(), want.label);
        EXPECT_EQ(item.shortcut(), want.shortcut);
        EXPECT_EQ(item.flags, want.flags);
        EXPECT_EQ(item.labelsize(), 12);
        EXPECT_EQ(item.labelfont(), 0);
        if (want.line != nullptr) {
            bar->picked(&item);
            EXPECT_EQ(output.take(), want.line);
        }
    }
}

TEST(MainWindow, ToolButtonsSitInARowWithTooltipsIconsAndCommands)
{
    struct Button {
        int x;
        const char* tooltip;
        const char* line;
    };
    const Button expected[] = {
        {4, "Open fence diagram", nullptr},
        {40, "Save settings", nullptr},
        {76, "Export to PNG image", nullptr},
        {125, "Copy window to clipboard", nullptr},
        {175, "View Parameters", nullptr},
        {212, "Diagram Parameters", nullptr},
        {265, "Reset view", nullptr},
    };
    CMorWindow window;
    std::vector<Fl_Widget*> buttons;
    Fl_Scroll* bar = window.getToolBar();
    for (int i = 0; i < bar->children(); ++i)
        if (dynamic_cast<Fl_HoverButton*>(bar->child(i)) != nullptr)
            buttons.push_back(bar->child(i));
    ASSERT_EQ(buttons.size(), sizeof expected / sizeof expected[0]);
    OutputCapture output;
    for (size_t i = 0; i < buttons.size(); ++i) {
        Fl_Widget* button = buttons[i];
        SCOPED_TRACE(expected[i].tooltip);
        EXPECT_EQ(button->x(), expected[i].x);
        EXPECT_EQ(button->y(), 29);
        EXPECT_EQ(button->w(), 33);
        EXPECT_EQ(button->h(), 33);
        EXPECT_STREQ(button->tooltip(), expected[i].tooltip);
        EXPECT_EQ(button->label(), nullptr);
        const Fl_Image* icon = button->image();
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(icon->w(), 22);
        EXPECT_EQ(icon->h(), 22);
        EXPECT_EQ(icon->d(), 4);
        if (expected[i].line != nullptr) {
            button->do_callback();
            EXPECT_EQ(output.take(), expected[i].line);
        }
    }
}

TEST(MainWindow, CentresOtherWindowsOverItselfRoundingTowardsZero)
{
    CMorWindow window;
    window.getWindow()->resize(50, 50, 511, 446);
    Fl_Window small(0, 0, 101, 51);
    window.centerWindow(&small);
    EXPECT_EQ(small.x(), 50 + 255 - 50);
    EXPECT_EQ(small.y(), 50 + 223 - 25);
    EXPECT_EQ(small.w(), 101);
    EXPECT_EQ(small.h(), 51);
    // Larger than the main window: it reaches out on both sides.
    Fl_Window large(0, 0, 701, 600);
    window.centerWindow(&large);
    EXPECT_EQ(large.x(), 50 + 255 - 350);
    EXPECT_EQ(large.y(), 50 + 223 - 300);
}

TEST(MainWindow, ParameterCommandsShowTheDialogsCentredWithTheView)
{
    CMorWindow window;
    window.getWindow()->resize(50, 50, 511, 446);
    Fl_Menu_Bar* bar = window.getMenuBar();
    bar->picked(bar->find_item("View/&View Parameters"));
    Fl_Double_Window* view = window.getViewParamDialog()->getWindow();
    EXPECT_TRUE(view->shown());
    EXPECT_EQ(window.getViewParamDialog()->getView(), window.getView());
    EXPECT_EQ(view->x(), 50 + 255 - 375 / 2);
    EXPECT_EQ(view->y(), 50 + 223 - 494 / 2);
    bar->picked(bar->find_item("&Diagram/&Diagram Parameters"));
    Fl_Double_Window* diagram = window.getDiagramDialog()->getWindow();
    EXPECT_TRUE(diagram->shown());
    EXPECT_EQ(window.getDiagramDialog()->getView(), window.getView());
    EXPECT_EQ(diagram->x(), 50 + 255 - 264 / 2);
    // Without a diagram both are greyed out.
    EXPECT_FALSE(view->active());
    EXPECT_FALSE(diagram->active());
    // Exit hides them with the main window.
    bar->picked(bar->find_item("&File/&Exit"));
    EXPECT_FALSE(view->shown());
    EXPECT_FALSE(diagram->shown());
}
