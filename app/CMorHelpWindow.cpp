// Help window with the mouse pictures.
#include "CMorHelpWindow.h"

#include "CMorArtwork.h"
#include "CMorToolWindow.h"

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_RGB_Image.H>

namespace {

void onClose(Fl_Widget* widget, void*)
{
    static_cast<CMorHelpWindow*>(widget->window()->user_data())->hide();
}

void addPicture(int x, int y, int w, int h, Fl_RGB_Image* image)
{
    auto* box = new Fl_Box(x, y, w, h);
    box->box(FL_DOWN_BOX);
    box->image(image);
}

void addText(int y, const char* text)
{
    auto* box = new Fl_Box(84, y, 176, 67, text);
    box->labelsize(11);
    box->align(FL_ALIGN_WRAP);
}

} // namespace

CMorHelpWindow::CMorHelpWindow()
    : m_rotate(CMorArtwork::mouseRotate()), m_pan(CMorArtwork::mousePan()), m_zoom(CMorArtwork::mouseZoom())
{
    m_images[0] = new Fl_RGB_Image(m_rotate.data(), m_rotate.width(), m_rotate.height(), 3);
    m_images[1] = new Fl_RGB_Image(m_pan.data(), m_pan.width(), m_pan.height(), 3);
    m_images[2] = new Fl_RGB_Image(m_zoom.data(), m_zoom.width(), m_zoom.height(), 3);

    m_window = new Fl_Double_Window(266, 284, "Help Window");
    m_window->labelsize(11);
    m_window->user_data(this);
    addPicture(6, 7, 70, 73, m_images[0]);
    addText(10, "Rotate - Left mouse button");
    addPicture(6, 90, 70, 70, m_images[1]);
    addText(90, "Pan - Right mouse button");
    addPicture(6, 171, 70, 67, m_images[2]);
    addText(171, "Zoom - [Shift] + right mouse button");
    auto* separator = new Fl_Box(0, 248, 264, 2);
    separator->box(FL_ENGRAVED_FRAME);
    m_close = new Fl_Button(100, 255, 64, 20, "Close");
    m_close->labelsize(11);
    m_close->callback(onClose);
    m_window->end();
    m_window->set_non_modal();
}

CMorHelpWindow::~CMorHelpWindow()
{
    delete m_window;
    for (Fl_RGB_Image* image : m_images)
        delete image;
}

void CMorHelpWindow::show()
{
    CMorToolWindow::show(m_window);
}

void CMorHelpWindow::hide()
{
    m_window->hide();
}
