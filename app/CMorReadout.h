// The tool bar's readout of what lies under the pointer and of the
// measurement: two lines of text that reach from where it starts to the tool
// bar's right end, leaving room there for the export's progress bar while one
// runs.
#pragma once

#include <FL/Fl_Box.H>

#include <string>

class CMorReadout : public Fl_Box
{
public:
    // In the group being built, which owns it.
    CMorReadout(int x, int y, int height);

    // The lines, copied; redraws the readout alone.
    void setText(const std::string& text);
    const std::string& getText() const { return m_text; }
    // Pixels left free at the tool bar's right end.
    void setReserve(int pixels);

    // The tool bar moves its children when it is resized, but never
    // stretches them: the readout stretches itself.
    void resize(int x, int y, int width, int height) override;

private:
    int m_reserve = 0;
    std::string m_text;
};
