// Image-size dialog of the export.
#include "CImageSizeDialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Value_Slider.H>

#include <string>

namespace {

CImageSizeDialog* dialogOf(Fl_Widget* widget)
{
    return static_cast<CImageSizeDialog*>(widget->window()->user_data());
}

void onOk(Fl_Widget* widget, void*)
{
    dialogOf(widget)->accept();
}

void onCancel(Fl_Widget* widget, void*)
{
    dialogOf(widget)->cancel();
}

void onSlide(Fl_Widget* widget, void*)
{
    dialogOf(widget)->updatePictureSize();
}

} // namespace

CImageSizeDialog::CImageSizeDialog()
{
    m_window = new Fl_Double_Window(208, 99, "Image size");
    m_window->set_modal();
    m_window->user_data(this);
    m_slider = new Fl_Value_Slider(10, 21, 190, 20, "Image size multiplier");
    m_slider->type(FL_HOR_NICE_SLIDER);
    m_slider->labelsize(11);
    m_slider->align(FL_ALIGN_TOP_LEFT);
    m_slider->range(1, 8);
    m_slider->step(1);
    m_slider->value(1);
    m_slider->textsize(11);
    m_slider->tooltip("[n x n] images of the final image. A value of 1 produces an image of the same size as the "
                      "current view.");
    m_slider->callback(onSlide);
    m_pictureSize = new Fl_Box(10, 45, 190, 16);
    m_pictureSize->labelsize(11);
    m_pictureSize->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    m_ok = new Fl_Button(34, 68, 67, 23, "OK");
    m_ok->labelsize(11);
    m_ok->callback(onOk);
    m_cancel = new Fl_Button(104, 68, 67, 23, "Cancel");
    m_cancel->labelsize(11);
    m_cancel->callback(onCancel);
    m_window->end();
}

CImageSizeDialog::~CImageSizeDialog()
{
    delete m_window;
}

void CImageSizeDialog::setTileSize(int width, int height)
{
    m_tileWidth = width;
    m_tileHeight = height;
    updatePictureSize();
}

void CImageSizeDialog::updatePictureSize()
{
    if (m_tileWidth <= 0 || m_tileHeight <= 0)
        return;
    const long long n = static_cast<long long>(m_slider->value());
    const std::string text = "Picture: " + std::to_string(n * m_tileWidth) + " x " +
                             std::to_string(n * m_tileHeight) + " pixels";
    m_pictureSize->copy_label(text.c_str());
    m_window->redraw();
}

bool CImageSizeDialog::showModal()
{
    m_accepted = false;
    m_window->show();
    while (m_window->shown())
        Fl::wait();
    return m_accepted;
}

void CImageSizeDialog::getSize(int& x, int& y) const
{
    x = m_sizeX;
    y = m_sizeY;
}

void CImageSizeDialog::accept()
{
    m_sizeX = m_sizeY = static_cast<int>(m_slider->value());
    m_accepted = true;
    m_window->hide();
}

void CImageSizeDialog::cancel()
{
    m_accepted = false;
    m_window->hide();
}
