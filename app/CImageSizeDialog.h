// The export's size question: a modal dialog with a slider for the multiplier
// n of an n x n tiled picture, the size of the picture it makes, OK and Cancel.
#pragma once

class Fl_Box;
class Fl_Button;
class Fl_Double_Window;
class Fl_Value_Slider;

class CImageSizeDialog
{
public:
    // Builds the window hidden.
    CImageSizeDialog();
    virtual ~CImageSizeDialog();
    CImageSizeDialog(const CImageSizeDialog&) = delete;
    CImageSizeDialog& operator=(const CImageSizeDialog&) = delete;

    // Borrowed, owned by the dialog.
    Fl_Double_Window* getWindow() const { return m_window; }
    Fl_Value_Slider* getSlider() const { return m_slider; }
    Fl_Button* getOkButton() const { return m_ok; }
    Fl_Button* getCancelButton() const { return m_cancel; }
    Fl_Box* getPictureSize() const { return m_pictureSize; }

    // The size of one tile, as the export reads the view; the dialog shows n
    // times both. Nothing is shown before it is set.
    void setTileSize(int width, int height);
    // Shows the picture size for the slider's value.
    void updatePictureSize();

    // Shows the window and runs the event loop until it is hidden; true when
    // it was closed with OK (Cancel, Escape and the close box give false).
    bool showModal();
    void getSize(int& x, int& y) const;

    // Button handlers.
    void accept();
    void cancel();

private:
    int m_sizeX = 1;
    int m_sizeY = 1;
    bool m_accepted = false;
    int m_tileWidth = 0;
    int m_tileHeight = 0;
    Fl_Double_Window* m_window;
    Fl_Value_Slider* m_slider;
    Fl_Box* m_pictureSize;
    Fl_Button* m_ok;
    Fl_Button* m_cancel;
};
