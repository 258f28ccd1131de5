// Reading and writing description files.
#include "CFenceDescription.h"

#include "formatReal.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

namespace {

// A word from the file as a message may show it: binary bytes and a word of
// thousands of characters would make the message unreadable.
std::string shown(const std::string& word)
{
    constexpr size_t LONGEST = 40;
    std::string result;
    for (size_t i = 0; i < word.size() && i < LONGEST; ++i) {
        const unsigned char c = static_cast<unsigned char>(word[i]);
        result += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    if (word.size() > LONGEST)
        result += "...";
    return result;
}

// The start of a file's first word as the message about a file of another
// kind quotes it: at most 20 characters, whole UTF-8 characters kept, every
// byte that is not part of a printable character shown as "?".
std::string quotedStart(const std::string& word)
{
    constexpr int LONGEST = 20;
    std::string result;
    size_t i = 0;
    for (int count = 0; i < word.size() && count < LONGEST; ++count) {
        const unsigned char lead = static_cast<unsigned char>(word[i]);
        const size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                              : (lead & 0xF8) == 0xF0 ? 4 : 0;
        bool printable = length == 1 && lead >= 0x20 && lead < 0x7F;
        if (length > 1 && i + length <= word.size()) {
            static const unsigned long smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
            unsigned long code = lead & (0x7F >> length);
            bool continued = true;
            for (size_t k = 1; k < length; ++k) {
                const unsigned char c = static_cast<unsigned char>(word[i + k]);
                continued = continued && (c & 0xC0) == 0x80;
                code = (code << 6) | (c & 0x3F);
            }
            // Overlong forms, surrogates and the C1 controls are not characters to show.
            printable = continued && code >= smallest[length] && code >= 0xA0 && code <= 0x10FFFF &&
                        (code < 0xD800 || code > 0xDFFF);
        }
        if (printable) {
            result.append(word, i, length);
            i += length;
        } else {
            result += '?';
            ++i;
        }
    }
    return result;
}

// Whitespace-separated words with the line each one starts on. A UTF-8
// byte-order mark at the start is not part of the first word.
class Tokens
{
public:
    Tokens(const std::string& text, const std::string& name) : m_text(text), m_name(name)
    {
        if (m_text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            m_pos = 3;
    }

    bool atEnd()
    {
        skipBlanks();
        return m_pos >= m_text.size();
    }

    bool word(std::string& out, const std::string& what, std::string& error)
    {
        if (atEnd()) {
            error = where() + what + " is missing: the file ends early.";
            return false;
        }
        const size_t start = m_pos;
        while (m_pos < m_text.size() && !isBlank(m_text[m_pos]))
            ++m_pos;
        out = m_text.substr(start, m_pos - start);
        m_lastLine = m_line;
        return true;
    }

    bool integer(int& out, const std::string& what, std::string& error, long low = std::numeric_limits<int>::min(),
                 long high = std::numeric_limits<int>::max())
    {
        std::string w;
        if (!word(w, what, error))
            return false;
        errno = 0;
        char* end = nullptr;
        const long value = std::strtol(w.c_str(), &end, 10);
        // A NUL inside the word would end the number early.
        if (end == w.c_str() || end != w.c_str() + w.size()) {
            error = where(true) + what + " must be a whole number, not \"" + shown(w) + "\".";
            return false;
        }
        if (errno == ERANGE || value < low || value > high) {
            error = where(true) + what + " " + shown(w) + " is out of range (" + std::to_string(low) + " to " +
                    std::to_string(high) + ").";
            return false;
        }
        out = static_cast<int>(value);
        return true;
    }

    bool real(double& out, const std::string& what, std::string& error)
    {
        std::string w;
        if (!word(w, what, error))
            return false;
        char* end = nullptr;
        const double value = std::strtod(w.c_str(), &end);
        if (end == w.c_str() || end != w.c_str() + w.size()) {
            error = where(true) + what + " must be a number, not \"" + shown(w) + "\".";
            return false;
        }
        if (!std::isfinite(value)) {
            error = where(true) + what + " must be a finite number, not \"" + shown(w) + "\".";
            return false;
        }
        out = value;
        return true;
    }

    void setContext(const std::string& context) { m_context = context; }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

    void skipBlanks()
    {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos])) {
            if (m_text[m_pos] == '\n')
                ++m_line;
            ++m_pos;
        }
    }

    std::string where(bool ofLastWord = false) const
    {
        return m_name + ", line " + std::to_string(ofLastWord ? m_lastLine : m_line) + ": " + m_context;
    }

    const std::string& m_text;
    std::string m_name;
    std::string m_context;
    size_t m_pos = 0;
    int m_line = 1;
    int m_lastLine = 1;
};

} // namespace

bool CFenceDescription::read(const std::string& path, std::string& error)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        error = "Cannot open " + path + ": " + std::strerror(errno) + ".";
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "Cannot open " + path + ": it is not a file.";
        return false;
    }
    if (st.st_size > MAX_FILE_BYTES) {
        error = "Cannot open " + path + ": the file has " + std::to_string(st.st_size >> 20) + " MiB, more than the " +
                std::to_string(MAX_FILE_BYTES >> 20) + " MiB a description file may have.";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "Cannot open " + path + ": " + std::strerror(errno) + ".";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        error = "Cannot read " + path + ".";
        return false;
    }
    return parse(text.str(), path, error);
}

bool CFenceDescription::parse(const std::string& text, const std::string& name, std::string& error)
{
    if (parseFields(text, name, error))
        return true;
    // A file of another kind fails at whatever word happens to stand where a
    // number is expected; its first word tells the user what went wrong.
    Tokens tokens(text, name);
    std::string first, unused;
    if (tokens.word(first, "", unused) && first != "#MORVEX1" && first != "#MORVEX2")
        error = name + " is not a Morvex description file (it begins with \"" + quotedStart(first) + "\").\n" + error;
    return false;
}

bool CFenceDescription::parseFields(const std::string& text, const std::string& name, std::string& error)
{
    *this = CFenceDescription();
    Tokens tokens(text, name);
    std::string magic;
    int fenceCount = 0;
    if (!tokens.word(magic, "the first word (#MORVEX1)", error) ||
        !tokens.integer(fenceCount, "the number of fences", error))
        return false;
    if (fenceCount <= 0) {
        error = name + ": the diagram has no fences (the fence count is " + std::to_string(fenceCount) + ").";
        return false;
    }
    for (int i = 0; i < fenceCount; ++i) {
        tokens.setContext("fence " + std::to_string(i + 1) + " of " + std::to_string(fenceCount) + ": ");
        Fence fence;
        int pointCount = 0;
        if (!tokens.integer(pointCount, "the number of points", error, 2, MAX_POINTS))
            return false;
        for (int p = 0; p < pointCount; ++p) {
            const std::string point = "point " + std::to_string(p + 1);
            Point xyz{};
            if (!tokens.real(xyz.x, point + " X", error) || !tokens.real(xyz.y, point + " Y", error) ||
                !tokens.real(xyz.z, point + " Z", error))
                return false;
            fence.points.push_back(xyz);
        }
        if (!tokens.word(fence.imageToken, "the image file name", error) ||
            !tokens.word(fence.description, "the description", error) ||
            !tokens.integer(fence.labelEnd, "the label end (0 or 1)", error))
            return false;
        if (fence.description == "-")
            fence.description.clear();
        fences.push_back(std::move(fence));
    }

    tokens.setContext("camera: ");
    const char* const axes[3] = {"x", "y", "z"};
    for (int k = 0; k < 3; ++k)
        if (!tokens.real(cameraPosition[k], std::string("position ") + axes[k], error))
            return false;
    for (int k = 0; k < 3; ++k)
        if (!tokens.real(cameraTarget[k], std::string("target ") + axes[k], error))
            return false;
    const char* const perspective[3] = {"field of view", "near plane", "far plane"};
    for (int k = 0; k < 3; ++k)
        if (!tokens.real(cameraPerspective[k], perspective[k], error))
            return false;

    if (tokens.atEnd())
        return true;
    tokens.setContext("legend: ");
    hasLegend = true;
    int positionX = 0;
    int positionY = 0;
    if (!tokens.word(legend.token, "the image file name", error) ||
        !tokens.integer(legend.marginX, "the horizontal margin", error) ||
        !tokens.integer(legend.marginY, "the vertical margin", error) ||
        !tokens.integer(positionX, "the horizontal placement", error) ||
        !tokens.integer(positionY, "the vertical placement", error) || !tokens.real(legend.size, "the size", error))
        return false;
    legend.positionX = (positionX == 1 || positionX == 2) ? positionX : 0;
    legend.top = positionY == 1;
    return true;
}

std::string CFenceDescription::format() const
{
    std::string out = "#MORVEX1\n" + std::to_string(fences.size()) + "\n";
    for (const Fence& fence : fences) {
        out += std::to_string(fence.points.size()) + "\n";
        for (const Point& p : fence.points)
            out += formatReal(p.x) + " " + formatReal(p.y) + " " + formatReal(p.z) + "\n";
        out += fence.imageToken + "\n";
        out += (fence.description.empty() ? std::string("-") : fence.description) + "\n";
        out += std::to_string(fence.labelEnd) + "\n";
    }
    const double* const camera[3] = {cameraPosition, cameraTarget, cameraPerspective};
    for (const double* line : camera)
        out += formatReal(line[0]) + " " + formatReal(line[1]) + " " + formatReal(line[2]) + "\n";
    if (hasLegend && !legend.token.empty()) {
        out += legend.token + "\n";
        out += std::to_string(legend.marginX) + " " + std::to_string(legend.marginY) + "\n";
        const int positionX = (legend.positionX == 1 || legend.positionX == 2) ? legend.positionX : 0;
        out += std::to_string(positionX) + " " + (legend.top ? "1" : "0") + "\n";
        out += formatReal(legend.size) + "\n";
    }
    return out;
}
