// Splash and about window.
#include "CSplashFrame.h"

#include "CMorArtwork.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Multiline_Output.H>
#include <FL/Fl_RGB_Image.H>

namespace {

const double AUTO_CLOSE_SECONDS = 4.0;

void onClose(Fl_Widget* widget, void*)
{
    static_cast<CSplashFrame*>(widget->window()->user_data())->hide();
}

void onAutoClose(void* data)
{
    static_cast<CSplashFrame*>(data)->hide();
}

} // namespace

CSplashFrame::CSplashFrame() : m_pixels(CMorArtwork::splash())
{
    m_image = new Fl_RGB_Image(m_pixels.data(), m_pixels.width(), m_pixels.height(), 3);
    m_window = new Fl_Double_Window(402, 302);
    m_window->user_data(this);
    m_window->border(0);
    m_picture = new Fl_Box(0, 0, 402, 302);
    m_picture->image(m_image);
    m_close = new Fl_Button(335, 265, 55, 25, "Close");
    m_close->box(FL_THIN_UP_FRAME);
    m_close->down_box(FL_THIN_DOWN_FRAME);
    m_close->labelsize(12);
    // The frame box shows the dark picture through the button.
    m_close->labelcolor(FL_WHITE);
    m_close->callback(onClose);
    m_text = new Fl_Multiline_Output(26, 107, 235, 52);
    m_text->box(FL_THIN_DOWN_FRAME);
    m_text->labelsize(11);
    m_text->textsize(11);
    m_text->textcolor(7);
    m_text->align(FL_ALIGN_CENTER);
    m_window->end();
    m_window->set_non_modal();
}

CSplashFrame::~CSplashFrame()
{
    Fl::remove_timeout(onAutoClose, this);
    delete m_window;
    delete m_image;
}

std::string CSplashFrame::getVersionText()
{
    return std::string("Morvex version 1.0.11") + "\nCompiled: " + __TIME__ + " " + __DATE__;
}

void CSplashFrame::centerOn(Fl_Window* other)
{
    const int x = other->x() + other->w() / 2 - m_window->w() / 2;
    const int y = other->y() + other->h() / 2 - m_window->h() / 2;
    m_window->resize(x, y, m_window->w(), m_window->h());
}

void CSplashFrame::show()
{
    m_text->value(getVersionText().c_str());
    if (m_autoClose) {
        // A second showing starts the four seconds afresh.
        Fl::remove_timeout(onAutoClose, this);
        Fl::add_timeout(AUTO_CLOSE_SECONDS, onAutoClose, this);
    }
    m_window->show();
}

void CSplashFrame::hide()
{
    m_window->hide();
}

bool CSplashFrame::isShown() const
{
    // hide() destroys the native window; visible() would also follow
    // visibility changes that the window system reports while it stays open.
    return m_window->shown() != 0;
}
