// The two parameter dialogs driven through their widgets' callbacks, on a
// view that draws the example diagram offscreen: what each widget reads from
// and sends to the view, and odd values that must leave a working program.
#include "CFence.h"
#include "CMorColorChooser.h"
#include "CMorDiagramDialog.h"
#include "CMorJitterTable.h"
#include "CMorMessageLine.h"
#include "CMorView.h"
#include "CMorViewParamDialog.h"
#include "OffscreenContext.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Valuator.H>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

const int WIDTH = 160;
const int HEIGHT = 120;
using Pixels = std::vector<unsigned char>;

std::string examplePath()
{
    return std::string(MORVEX_SOURCE_DIR) + "/data/examples/example.fnc";
}

// The n-th widget (depth first) whose label is exactly label.
Fl_Widget* findWidget(Fl_Group* group, const std::string& label, int& n)
{
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget* child = group->child(i);
        if (child->label() != nullptr && label == child->label() && n-- == 0)
            return child;
        if (Fl_Group* inner = child->as_group())
            if (Fl_Widget* found = findWidget(inner, label, n))
                return found;
    }
    return nullptr;
}

template <class T> T* widget(Fl_Double_Window* window, const std::string& label, int nth = 0)
{
    Fl_Widget* found = findWidget(window, label, nth);
    EXPECT_NE(found, nullptr) << label;
    return static_cast<T*>(found);
}

// Types a value into a field: the widget's own callback does the rest.
void type(Fl_Double_Window* window, const std::string& label, double value, int nth = 0)
{
    Fl_Valuator* input = widget<Fl_Valuator>(window, label, nth);
    input->value(value);
    input->do_callback();
}

double value(Fl_Double_Window* window, const std::string& label, int nth = 0)
{
    return widget<Fl_Valuator>(window, label, nth)->value();
}

void click(Fl_Button* button)
{
    if (button->type() == FL_RADIO_BUTTON)
        button->setonly();
    else if (button->type() == FL_TOGGLE_BUTTON)
        button->value(!button->value());
    button->do_callback();
}

void click(Fl_Double_Window* window, const std::string& label, int nth = 0)
{
    click(widget<Fl_Button>(window, label, nth));
}

// The chooser the tests put in place of the modal one: it records what it
// was shown and answers with colour when confirms is set.
struct Chooser {
    std::string title;
    bool confirms = false;
    std::array<double, 3> colour{}, shown{};
} chooser;

bool testChooser(const char* title, double& r, double& g, double& b)
{
    chooser.title = title;
    chooser.shown = {r, g, b};
    if (chooser.confirms) {
        r = chooser.colour[0];
        g = chooser.colour[1];
        b = chooser.colour[2];
    }
    return chooser.confirms;
}

// The colour buttons of a dialog: its unlabelled children 30 pixels wide.
std::vector<Fl_Button*> swatches(Fl_Double_Window* window)
{
    std::vector<Fl_Button*> found;
    for (int i = 0; i < window->children(); ++i)
        if (window->child(i)->label() == nullptr && window->child(i)->w() == 30)
            found.push_back(static_cast<Fl_Button*>(window->child(i)));
    return found;
}

// What the dialog's message line says.
std::string messageOf(Fl_Double_Window* window)
{
    for (int i = 0; i < window->children(); ++i)
        if (const CMorMessageLine* line = dynamic_cast<const CMorMessageLine*>(window->child(i)))
            return line->getText();
    ADD_FAILURE() << "no message line";
    return std::string();
}

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_context = std::make_unique<OffscreenContext>(WIDTH, HEIGHT);
        ASSERT_TRUE(m_context->isValid()) << m_context->getRenderer();
        m_quiet = std::cout.rdbuf(m_log.rdbuf());
        m_view = std::make_unique<CMorView>(0, 0, WIDTH, HEIGHT);
        m_view->doResize(WIDTH, HEIGHT);
        m_viewDialog.setView(m_view.get());
        m_diagramDialog.setView(m_view.get());
        CMorColorChooser::setFunction(testChooser);
        chooser = Chooser();
    }

    void TearDown() override
    {
        CMorColorChooser::setFunction(nullptr);
        m_view.reset();
        std::cout.rdbuf(m_quiet);
        m_context.reset();
    }

    void openExample()
    {
        ASSERT_TRUE(m_view->open(examplePath())) << m_view->getErrorMessage();
        m_viewDialog.update();
        m_diagramDialog.update();
    }

    Pixels frame()
    {
        m_view->doDraw();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return m_context->readPixels();
    }

    static int differing(const Pixels& a, const Pixels& b)
    {
        int count = 0;
        for (size_t i = 0; i < a.size() && i < b.size(); i += 4)
            if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2])
                ++count;
        return count;
    }

    Fl_Double_Window* viewWindow() { return m_viewDialog.getWindow(); }
    Fl_Double_Window* diagramWindow() { return m_diagramDialog.getWindow(); }
    CZelCamera* camera() { return m_view->getCamera(); }
    CFenceDiagram* diagram() { return m_view->getDiagram(); }

    std::unique_ptr<OffscreenContext> m_context;
    std::ostringstream m_log;
    std::streambuf* m_quiet = nullptr;
    std::unique_ptr<CMorView> m_view;
    CMorViewParamDialog m_viewDialog;
    CMorDiagramDialog m_diagramDialog;
};

} // namespace

// Greying out, the shown position, a typed height and a refused angle run
// end to end in the GUI test of the dialog.
TEST_F(DialogTest, CameraFieldsStayActiveAfterAFailedOpenAndMoveTheCamera)
{
    EXPECT_FALSE(viewWindow()->active());
    openExample();
    // A failed open keeps the diagram: the dialogs stay active.
    std::streambuf* err = std::cerr.rdbuf(m_log.rdbuf());
    EXPECT_FALSE(static_cast<CMorFrame*>(m_view.get())->open("/nonexistent/missing.fnc"));
    std::cerr.rdbuf(err);
    m_viewDialog.update();
    m_diagramDialog.update();
    EXPECT_TRUE(viewWindow()->active() && diagramWindow()->active());

    // z is the northing, which the scene's z counts southwards.
    EXPECT_EQ(value(viewWindow(), "z"), -camera()->getPosition().z());
    type(viewWindow(), "x", 513000.0, 1);
    EXPECT_EQ(camera()->getTarget().x(), 513000.0);
    type(viewWindow(), "Angle", 30.0);
    double fov, nearPlane, farPlane;
    camera()->getPerspective(fov, nearPlane, farPlane);
    EXPECT_EQ(fov, 30.0);
    // The camera moves with the mouse; the next update follows it.
    camera()->setPosition(1.0, 2.0, 3.0);
    m_viewDialog.update();
    EXPECT_EQ(value(viewWindow(), "y"), 2.0);
}

TEST_F(DialogTest, CameraValuesOutOfRangeAreRefusedInTheDialog)
{
    openExample();
    const Pixels normal = frame();
    double fov, nearPlane, farPlane;
    camera()->getPerspective(fov, nearPlane, farPlane);
    const CZelVec3d position = camera()->getPosition();

    // Each is refused with a message; the field shows the camera's value again
    // and the view stays as it was.
    const std::pair<const char*, double> refused[] = {
        {"Near", 0.0},    {"Near", farPlane},  {"Far", nearPlane / 2.0}, {"Angle", 0.0},
        {"Angle", 200.0}, {"Angle", 180.0},    {"Angle", -45.0},         {"Far", INFINITY},
        {"x", std::nan("")}, {"y", -INFINITY}, {"Angle", std::nan("")}};
    for (const auto& [label, refusedValue] : refused) {
        SCOPED_TRACE(testing::Message() << label << " " << refusedValue);
        type(viewWindow(), label, refusedValue);
        EXPECT_NE(messageOf(viewWindow()), "");
        double f, n, d;
        camera()->getPerspective(f, n, d);
        EXPECT_EQ(std::make_tuple(f, n, d), std::make_tuple(fov, nearPlane, farPlane));
        EXPECT_EQ(camera()->getPosition(), position);
        EXPECT_EQ(std::make_tuple(value(viewWindow(), "Angle"), value(viewWindow(), "Near"), value(viewWindow(), "x")),
                  std::make_tuple(fov, nearPlane, position.x()));
    }
    EXPECT_EQ(messageOf(viewWindow()), "Field of view must be above 0 and below 180 degrees.");
    EXPECT_EQ(differing(normal, frame()), 0);
    // The next good value clears the message.
    type(viewWindow(), "Angle", 179.0);
    EXPECT_EQ(messageOf(viewWindow()), "");

    // A position on the target is no number out of range: it keeps the last orientation.
    const CZelVec3d target = camera()->getTarget();
    type(viewWindow(), "x", target.x());
    type(viewWindow(), "y", target.y());
    const CZelVec3d lastForward = camera()->getForward();
    type(viewWindow(), "z", target.z());
    frame();
    EXPECT_EQ(camera()->getForward(), lastForward);
}

// Lighting, gradient, a cancelled colour and "66" run end to end in the GUI
// test of the dialog; here the rest of what the buttons send and show.
TEST_F(DialogTest, LightDirectionGridAndAntialias)
{
    openExample();

    // The grid lets go of its old choice, which can then be clicked again; a
    // reload shows direction 5 ("vert.") as the middle-left button, alone.
    Fl_Button* topRight = widget<Fl_Button>(viewWindow(), "@#1<-");
    EXPECT_EQ(topRight->value(), 1);
    click(viewWindow(), "@#<-", 1);
    EXPECT_EQ(m_view->getLightDirection(), 5);
    EXPECT_EQ(topRight->value(), 0);
    click(topRight);
    EXPECT_EQ(m_view->getLightDirection(), 0);
    EXPECT_EQ(widget<Fl_Button>(viewWindow(), "@#<-", 1)->value(), 0);
    m_view->setLightDirection(5);
    m_viewDialog.update();
    EXPECT_EQ(widget<Fl_Button>(viewWindow(), "@#<-")->value(), 1);
    EXPECT_EQ(topRight->value(), 0);

    Fl_Group* jitter = widget<Fl_Group>(viewWindow(), "Jitter");
    EXPECT_FALSE(jitter->active());
    click(viewWindow(), "Antialias");
    EXPECT_TRUE(m_view->getAntialias() && jitter->active());
    click(viewWindow(), "66");
    EXPECT_EQ(CMorJitterTable::getPassCount(m_view->getAntialiasLevel()), 66);
    EXPECT_EQ(widget<Fl_Button>(viewWindow(), "2")->value(), 0);
}

TEST_F(DialogTest, DiagramSettingsGoToTheDiagramAtOnce)
{
    openExample();
    // Pixel margins are whole numbers, cut off; the horizontal one, the
    // axes, the box and the line width run end to end in the GUI test.
    const struct {
        const char* label;
        double typed, taken;
        std::function<double()> read;
    } fields[] = {
        {"Legend margin y (pixels)", 7.9, 7, [&] { return diagram()->getLegendMarginY(); }},
        {"Relative margin size", 0.3, 0.3, [&] { return diagram()->getLegendSize(); }},
        {"White tolerance", 5, 5, [&] { return static_cast<CFence*>(diagram()->getChild(0))->getWhiteTolerance(); }},
    };
    for (const auto& f : fields) {
        type(diagramWindow(), f.label, f.typed);
        EXPECT_EQ(f.read(), f.taken) << f.label;
    }
    click(diagramWindow(), "Remove white");
    EXPECT_FALSE(diagram()->getRemoveWhite());
}

TEST_F(DialogTest, ExaggerationAxisLabelsAndLegendLeaveTheCameraFieldsInMapUnits)
{
    openExample();
    const char* const fields[] = {"x", "y", "z", "Angle", "Near"};
    const auto cameraFields = [&] {
        std::vector<double> shown;
        for (const char* field : fields)
            for (int nth = 0; nth < (field[1] ? 1 : 2); ++nth)
                shown.push_back(value(viewWindow(), field, nth));
        return shown;
    };
    const std::vector<double> shown = cameraFields();
    const double far = value(viewWindow(), "Far");

    const Pixels flat = frame();
    type(diagramWindow(), "Vertical exaggeration", 3.0);
    EXPECT_EQ(diagram()->getVerticalExaggeration(), 3.0);
    const Pixels tall = frame();
    EXPECT_GT(differing(flat, tall), 500);
    m_viewDialog.update();
    EXPECT_EQ(cameraFields(), shown);
    // The eye rose with the stretched vertical: the far plane reaches the whole diagram again.
    EXPECT_GE(value(viewWindow(), "Far"), far);
    type(diagramWindow(), "Vertical exaggeration", 0.0);
    EXPECT_EQ(messageOf(diagramWindow()), "Vertical exaggeration must be above 0.");
    EXPECT_EQ(diagram()->getVerticalExaggeration(), 3.0);

    click(diagramWindow(), "map coordinates");
    EXPECT_TRUE(diagram()->getMapAxisLabels());
    const Pixels mapLabels = frame();
    EXPECT_GT(differing(tall, mapLabels), 5);
    click(diagramWindow(), "Show legend");
    EXPECT_FALSE(diagram()->getShowLegend());
    EXPECT_GT(differing(mapLabels, frame()), 100);
    // The dialog shows what the diagram holds.
    diagram()->setMapAxisLabels(false);
    m_diagramDialog.update();
    EXPECT_EQ(widget<Fl_Button>(diagramWindow(), "distance")->value(), 1);
}

// A chosen colour goes to the view or the diagram and shows on its button;
// a cancelled one changes nothing.
TEST_F(DialogTest, ColoursThroughTheChooser)
{
    openExample();
    click(viewWindow(), "Gradient");
    const std::vector<Fl_Button*> view = swatches(viewWindow()), own = swatches(diagramWindow());
    ASSERT_EQ(view.size(), 2u);
    ASSERT_EQ(own.size(), 2u);
    // Black is the toolkit's own black.
    EXPECT_EQ(own[0]->color(), static_cast<Fl_Color>(56));
    click(own[0]);
    EXPECT_EQ(chooser.title, "Select bounding box color");
    float r, g, b;
    diagram()->getBoundingBoxColor(r, g, b);
    EXPECT_EQ(r + g + b, 0.0f);
    chooser.confirms = true;
    chooser.colour = {1.0, 0.5, 0.0};
    click(view[1]);
    EXPECT_EQ(chooser.title, "Select first/upper color");
    m_view->getLowerColor(r, g, b);
    EXPECT_EQ(g, 0.5f);
    click(own[1]);
    EXPECT_EQ(chooser.title, "Select text color");
    diagram()->getTextColor(r, g, b);
    EXPECT_EQ(g, 0.5f);
    for (Fl_Button* button : {view[1], own[1]})
        EXPECT_EQ(button->color(), fl_rgb_color(255, 127, 0));
}

TEST_F(DialogTest, DiagramValuesOutOfRangeAreRefusedInTheDialog)
{
    openExample();
    const Pixels normal = frame();
    const double textSize = diagram()->getRelativeTextSize();
    const struct {
        const char* label;
        double value;
        double shownAgain;
    } refused[] = {
        {"Relative text size", 0.0, textSize},
        {"Relative margin", -0.02, 0.02},       {"Relative margin", 1e300, 0.02},
        {"Relative margin size", 0.0, 0.22},    {"Relative margin size", 1.5, 0.22},
        {"Legend margin x (pixels)", -50, 10},  {"Legend margin y (pixels)", 1e300, 10},
        {"White tolerance", 65, 0},             {"White tolerance", -1, 0},
    };
    for (const auto& c : refused) {
        type(diagramWindow(), c.label, c.value);
        EXPECT_NE(messageOf(diagramWindow()), "") << c.label << " " << c.value;
        EXPECT_EQ(value(diagramWindow(), c.label), c.shownAgain) << c.label << " " << c.value;
    }
    EXPECT_EQ(diagram()->getRelativeTextSize(), textSize);
    EXPECT_EQ(diagram()->getLegendMarginY(), 10);
    EXPECT_EQ(diagram()->getWhiteTolerance(), 0);
    EXPECT_EQ(differing(normal, frame()), 0);
    type(diagramWindow(), "Relative margin", 0.02);
    EXPECT_EQ(messageOf(diagramWindow()), "");
}
