// Stream buffer that appends everything written to it to an FLTK text display,
// at every line end and whenever its put area is full, and echoes the same
// text, in the same order, to a second stream buffer (the terminal's).
#pragma once

#include <FL/Fl.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>

#include <algorithm>
#include <streambuf>
#include <string>

template <typename CharT, typename Traits = std::char_traits<CharT>, int N = 512>
class basic_editstreambuf : public std::basic_streambuf<CharT, Traits>
{
    static_assert(N > 2, "the buffer needs room for the text, one more character and a zero");

public:
    using int_type = typename Traits::int_type;

    basic_editstreambuf() : m_buffer(new CharT[N]) { resetPutArea(); }
    ~basic_editstreambuf() override { delete[] m_buffer; }
    basic_editstreambuf(const basic_editstreambuf&) = delete;
    basic_editstreambuf& operator=(const basic_editstreambuf&) = delete;

    // Borrowed; null until set. Text written without a display is dropped
    // from the display side but still echoed.
    void setDisplay(Fl_Text_Display* display) { m_display = display; }
    Fl_Text_Display* getDisplay() const { return m_display; }
    // Borrowed; null for no echo.
    void setEcho(std::basic_streambuf<CharT, Traits>* echo) { m_echo = echo; }
    // The display keeps at most about this many characters, the latest; 0
    // keeps everything. The echo always gets everything.
    void setLimit(int characters) { m_limit = characters; }

protected:
    std::streamsize xsputn(const CharT* text, std::streamsize count) override
    {
        std::streamsize taken = 0;
        while (taken < count) {
            const std::streamsize room = this->epptr() - this->pptr();
            if (room > 0) {
                const std::streamsize piece = std::min(room, count - taken);
                const CharT* begin = text + taken;
                Traits::copy(this->pptr(), begin, static_cast<size_t>(piece));
                this->pbump(static_cast<int>(piece));
                taken += piece;
                if (std::find(begin, begin + piece, CharT('\n')) != begin + piece)
                    sync();
            } else {
                if (Traits::eq_int_type(overflow(Traits::to_int_type(text[taken])), Traits::eof()))
                    break;
                ++taken;
            }
        }
        return taken;
    }

    int_type overflow(int_type c) override
    {
        CharT* end = this->pptr();
        if (!Traits::eq_int_type(c, Traits::eof()))
            *end++ = Traits::to_char_type(c);
        *end = CharT();
        const std::streamsize length = end - this->pbase();
        // The put area is free again before the toolkit runs: a callback
        // that writes from inside Fl::check must not see this text again.
        CharT* const text = this->pbase();
        resetPutArea();
        if (length > 0)
            deliver(text, length);
        return Traits::eq_int_type(c, Traits::eof()) ? Traits::eof() : c;
    }

    int sync() override
    {
        overflow(Traits::eof());
        return 0;
    }

private:
    void resetPutArea() { this->setp(m_buffer, m_buffer + (N - 2)); }

    void deliver(CharT* text, std::streamsize length)
    {
        // A nested write from inside the toolkit call below reuses the
        // buffer, so the text is copied out first.
        std::basic_string<CharT, Traits> piece(text, static_cast<size_t>(length));
        if (m_echo != nullptr) {
            m_echo->sputn(piece.data(), length);
            m_echo->pubsync();
        }
        if (m_display == nullptr)
            return;
        // Always at the end, wherever the user has clicked in the display.
        if (Fl_Text_Buffer* buffer = m_display->buffer()) {
            m_display->insert_position(buffer->length());
            m_display->insert(piece.c_str());
            // A long session would keep every line it ever wrote: past the
            // limit the oldest lines go, a quarter of it at a time.
            if (m_limit > 0 && buffer->length() > m_limit) {
                buffer->remove(0, buffer->line_end(buffer->length() - m_limit * 3 / 4) + 1);
                m_display->insert_position(buffer->length());
            }
            m_display->show_insert_position();
        }
        Fl::flush();
        Fl::check();
    }

    CharT* m_buffer;
    Fl_Text_Display* m_display = nullptr;
    std::basic_streambuf<CharT, Traits>* m_echo = nullptr;
    int m_limit = 0;
};

using editstreambuf = basic_editstreambuf<char, std::char_traits<char>, 512>;
