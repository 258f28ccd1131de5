// Reading and writing description files.
#include "CFenceDescription.h"

#include "CMorSettingRanges.h"
#include "formatReal.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
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
    // The start of a message about the last word read: file, line, context.
    std::string atLastWord() const { return where(true); }
    int lastLine() const { return m_lastLine; }

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


// "#MORVEX" and a number: the format that number names; 0 for any other word.
long formatNamedBy(const std::string& word)
{
    const std::string prefix = "#MORVEX";
    if (word.compare(0, prefix.size(), prefix) != 0 || word.size() == prefix.size())
        return 0;
    for (size_t i = prefix.size(); i < word.size(); ++i)
        if (word[i] < '0' || word[i] > '9')
            return 0;
    // Far beyond any format there will be.
    if (word.size() - prefix.size() > 9)
        return 999999999;
    return std::strtol(word.c_str() + prefix.size(), nullptr, 10);
}

using Options = CFenceDescription::Options;

bool readSwitch(Tokens& tokens, const std::string& name, bool& out, std::string& error)
{
    std::string w;
    if (!tokens.word(w, "the value of " + name, error))
        return false;
    if (w != "on" && w != "off") {
        error = tokens.atLastWord() + name + " must be on or off, not \"" + shown(w) + "\".";
        return false;
    }
    out = w == "on";
    return true;
}

// One of two words: 0 for the first, 1 for the second.
bool readChoice(Tokens& tokens, const std::string& name, const char* first, const char* second, int& out,
                std::string& error)
{
    std::string w;
    if (!tokens.word(w, "the value of " + name, error))
        return false;
    if (w != first && w != second) {
        error = tokens.atLastWord() + name + " must be " + first + " or " + second + ", not \"" + shown(w) + "\".";
        return false;
    }
    out = w == first ? 0 : 1;
    return true;
}

// A number within a range of the settings table; whole ranges take whole numbers only.
bool readNumber(Tokens& tokens, const std::string& what, CMorSettingRanges::Setting setting, double& out,
                std::string& error)
{
    std::string w;
    if (!tokens.word(w, "the value of " + what, error))
        return false;
    const CMorSettingRanges::Range range = CMorSettingRanges::get(setting);
    char* end = nullptr;
    const double value = std::strtod(w.c_str(), &end);
    const bool number = end != w.c_str() && end == w.c_str() + w.size() && std::isfinite(value);
    if (!number || !range.contains(value) || (range.whole && value != std::floor(value))) {
        error = tokens.atLastWord() + what + " must be " + range.describe() + ", not \"" + shown(w) + "\".";
        return false;
    }
    out = value;
    return true;
}

bool readWhole(Tokens& tokens, const std::string& what, CMorSettingRanges::Setting setting, int& out,
               std::string& error)
{
    double value = 0.0;
    if (!readNumber(tokens, what, setting, value, error))
        return false;
    out = static_cast<int>(value);
    return true;
}

bool readColor(Tokens& tokens, const std::string& name, float out[3], std::string& error)
{
    const char* const parts[3] = {" R", " G", " B"};
    double rgb[3];
    for (int k = 0; k < 3; ++k)
        if (!readNumber(tokens, name + parts[k], CMorSettingRanges::COLOR_COMPONENT, rgb[k], error))
            return false;
    for (int k = 0; k < 3; ++k)
        out[k] = static_cast<float>(rgb[k]);
    return true;
}

std::string onOff(bool on)
{
    return on ? " on" : " off";
}

std::string color(const float rgb[3])
{
    return " " + formatReal(rgb[0]) + " " + formatReal(rgb[1]) + " " + formatReal(rgb[2]);
}

// A diagram option: its name, how its values are read, and its values as
// written (each after a blank).
struct OptionSpec
{
    const char* name;
    bool (*read)(Tokens& tokens, Options& options, std::string& error);
    std::string (*write)(const Options& options);
};

// In the order the writer writes them.
const OptionSpec DIAGRAM_OPTIONS[] = {
    {"vertical-exaggeration",
     [](Tokens& t, Options& o, std::string& e) {
         return readNumber(t, "vertical-exaggeration", CMorSettingRanges::VERTICAL_EXAGGERATION,
                           o.verticalExaggeration, e);
     },
     [](const Options& o) { return " " + formatReal(o.verticalExaggeration); }},
    {"axis-labels",
     [](Tokens& t, Options& o, std::string& e) {
         int map = 0;
         const bool read = readChoice(t, "axis-labels", "distance", "map", map, e);
         o.mapAxisLabels = map == 1;
         return read;
     },
     [](const Options& o) { return std::string(o.mapAxisLabels ? " map" : " distance"); }},
    {"crs", [](Tokens& t, Options& o, std::string& e) { return t.word(o.crs, "the value of crs", e); },
     [](const Options& o) { return o.crs.empty() ? std::string() : " " + o.crs; }},
    {"background",
     [](Tokens& t, Options& o, std::string& e) {
         return readChoice(t, "background", "solid", "gradient", o.background, e);
     },
     [](const Options& o) { return std::string(o.background == 1 ? " gradient" : " solid"); }},
    {"solid-color", [](Tokens& t, Options& o, std::string& e) { return readColor(t, "solid-color", o.solidColor, e); },
     [](const Options& o) { return color(o.solidColor); }},
    {"upper-color", [](Tokens& t, Options& o, std::string& e) { return readColor(t, "upper-color", o.upperColor, e); },
     [](const Options& o) { return color(o.upperColor); }},
    {"lower-color", [](Tokens& t, Options& o, std::string& e) { return readColor(t, "lower-color", o.lowerColor, e); },
     [](const Options& o) { return color(o.lowerColor); }},
    {"lighting", [](Tokens& t, Options& o, std::string& e) { return readSwitch(t, "lighting", o.lighting, e); },
     [](const Options& o) { return onOff(o.lighting); }},
    {"light-direction",
     [](Tokens& t, Options& o, std::string& e) {
         return readWhole(t, "light-direction", CMorSettingRanges::LIGHT_DIRECTION, o.lightDirection, e);
     },
     [](const Options& o) { return " " + std::to_string(o.lightDirection); }},
    {"antialias",
     [](Tokens& t, Options& o, std::string& e) {
         std::string w;
         if (!t.word(w, "the value of antialias", e))
             return false;
         const CMorSettingRanges::Range range = CMorSettingRanges::get(CMorSettingRanges::ANTIALIAS_LEVEL);
         char* end = nullptr;
         const long level = std::strtol(w.c_str(), &end, 10);
         if (w == "off") {
             o.antialias = -1;
         } else if (end != w.c_str() && end == w.c_str() + w.size() && range.contains(static_cast<double>(level))) {
             o.antialias = static_cast<int>(level);
         } else {
             e = t.atLastWord() + "antialias must be off or a level " + range.bounds() + ", not \"" + shown(w) + "\".";
             return false;
         }
         return true;
     },
     [](const Options& o) { return o.antialias < 0 ? std::string(" off") : " " + std::to_string(o.antialias); }},
    {"remove-white",
     [](Tokens& t, Options& o, std::string& e) { return readSwitch(t, "remove-white", o.removeWhite, e); },
     [](const Options& o) { return onOff(o.removeWhite); }},
    {"white-tolerance",
     [](Tokens& t, Options& o, std::string& e) {
         return readWhole(t, "white-tolerance", CMorSettingRanges::WHITE_TOLERANCE, o.whiteTolerance, e);
     },
     [](const Options& o) { return " " + std::to_string(o.whiteTolerance); }},
    {"bounding-box",
     [](Tokens& t, Options& o, std::string& e) { return readSwitch(t, "bounding-box", o.boundingBox, e); },
     [](const Options& o) { return onOff(o.boundingBox); }},
    {"bounding-box-color",
     [](Tokens& t, Options& o, std::string& e) { return readColor(t, "bounding-box-color", o.boundingBoxColor, e); },
     [](const Options& o) { return color(o.boundingBoxColor); }},
    {"axes", [](Tokens& t, Options& o, std::string& e) { return readSwitch(t, "axes", o.axes, e); },
     [](const Options& o) { return onOff(o.axes); }},
    {"line-width",
     [](Tokens& t, Options& o, std::string& e) {
         return readWhole(t, "line-width", CMorSettingRanges::LINE_WIDTH, o.lineWidth, e);
     },
     [](const Options& o) { return " " + std::to_string(o.lineWidth); }},
    {"text-size",
     [](Tokens& t, Options& o, std::string& e) {
         return readNumber(t, "text-size", CMorSettingRanges::RELATIVE_TEXT_SIZE, o.textSize, e);
     },
     [](const Options& o) { return " " + formatReal(o.textSize); }},
    {"margin",
     [](Tokens& t, Options& o, std::string& e) {
         return readNumber(t, "margin", CMorSettingRanges::RELATIVE_MARGIN, o.margin, e);
     },
     [](const Options& o) { return " " + formatReal(o.margin); }},
    {"text-color", [](Tokens& t, Options& o, std::string& e) { return readColor(t, "text-color", o.textColor, e); },
     [](const Options& o) { return color(o.textColor); }},
    {"label-intervals",
     [](Tokens& t, Options& o, std::string& e) {
         const char* const axes[3] = {" X", " Y", " Z"};
         for (int k = 0; k < 3; ++k)
             if (!readWhole(t, std::string("label-intervals") + axes[k], CMorSettingRanges::LABEL_INTERVAL,
                            o.labelIntervals[k], e))
                 return false;
         return true;
     },
     [](const Options& o) {
         return " " + std::to_string(o.labelIntervals[0]) + " " + std::to_string(o.labelIntervals[1]) + " " +
                std::to_string(o.labelIntervals[2]);
     }},
    {"legend", [](Tokens& t, Options& o, std::string& e) { return readSwitch(t, "legend", o.legend, e); },
     [](const Options& o) { return onOff(o.legend); }},
};

constexpr size_t DIAGRAM_OPTION_COUNT = sizeof(DIAGRAM_OPTIONS) / sizeof(DIAGRAM_OPTIONS[0]);

// Options up to "end"; each may be given once.
bool readDiagramOptions(Tokens& tokens, Options& options, std::string& error)
{
    bool seen[DIAGRAM_OPTION_COUNT] = {};
    for (;;) {
        std::string name;
        if (!tokens.word(name, "\"end\"", error))
            return false;
        if (name == "end")
            return true;
        size_t i = 0;
        while (i < DIAGRAM_OPTION_COUNT && name != DIAGRAM_OPTIONS[i].name)
            ++i;
        if (i == DIAGRAM_OPTION_COUNT) {
            error = tokens.atLastWord() + "expected a diagram option or \"end\", not \"" + shown(name) + "\".";
            return false;
        }
        if (seen[i]) {
            error = tokens.atLastWord() + name + " is given twice.";
            return false;
        }
        seen[i] = true;
        if (!DIAGRAM_OPTIONS[i].read(tokens, options, error))
            return false;
    }
}

bool readFenceOptions(Tokens& tokens, CFenceDescription::Fence& fence, std::string& error)
{
    for (;;) {
        std::string name;
        if (!tokens.word(name, "\"end\"", error))
            return false;
        if (name == "end")
            return true;
        const bool elevation = name == "elevation";
        if (!elevation && name != "crop") {
            error = tokens.atLastWord() + "expected elevation, crop or \"end\", not \"" + shown(name) + "\".";
            return false;
        }
        if (elevation ? fence.hasElevation : fence.hasCrop) {
            error = tokens.atLastWord() + name + " is given twice.";
            return false;
        }
        if (elevation) {
            fence.hasElevation = true;
            if (!tokens.real(fence.top, "elevation TOP", error) ||
                !tokens.real(fence.bottom, "elevation BOTTOM", error))
                return false;
            if (!(fence.top > fence.bottom)) {
                error = tokens.atLastWord() + "elevation TOP " + formatReal(fence.top) +
                        " must lie above BOTTOM " + formatReal(fence.bottom) + ".";
                return false;
            }
            if (!std::isfinite(fence.top - fence.bottom)) {
                error = tokens.atLastWord() + "elevation TOP " + formatReal(fence.top) + " and BOTTOM " +
                        formatReal(fence.bottom) + " lie too far apart.";
                return false;
            }
            continue;
        }
        fence.hasCrop = true;
        fence.cropLine = tokens.lastLine();
        const char* const edges[4] = {"crop X0", "crop Y0", "crop X1", "crop Y1"};
        for (int k = 0; k < 4; ++k)
            if (!tokens.integer(fence.crop[k], edges[k], error, 0, INT_MAX))
                return false;
        for (int k = 0; k < 2; ++k)
            if (!(fence.crop[k] < fence.crop[k + 2])) {
                error = tokens.atLastWord() + edges[k + 2] + " " + std::to_string(fence.crop[k + 2]) +
                        " must be greater than " + (edges[k] + 5) + " " + std::to_string(fence.crop[k]) + ".";
                return false;
            }
    }
}

} // namespace

bool CFenceDescription::Options::operator==(const Options& other) const
{
    for (const OptionSpec& option : DIAGRAM_OPTIONS)
        if (option.write(*this) != option.write(other))
            return false;
    return true;
}

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
    if (tokens.word(first, "", unused) && first != "#MORVEX1" && formatNamedBy(first) < 2)
        error = name + " is not a Morvex description file (it begins with \"" + quotedStart(first) + "\").\n" + error;
    return false;
}

bool CFenceDescription::parseFields(const std::string& text, const std::string& name, std::string& error)
{
    *this = CFenceDescription();
    Tokens tokens(text, name);
    std::string magic;
    int fenceCount = 0;
    if (!tokens.word(magic, "the first word (#MORVEX1)", error))
        return false;
    const long named = formatNamedBy(magic);
    if (named > 2) {
        error = name + " was written by a newer Morvex (it begins with \"" + shown(magic) +
                "\"): this Morvex reads formats 1 and 2.";
        return false;
    }
    fileFormat = named == 2 ? 2 : 1;
    if (fileFormat == 2) {
        tokens.setContext("diagram options: ");
        if (!readDiagramOptions(tokens, options, error))
            return false;
        tokens.setContext("");
    }
    if (!tokens.integer(fenceCount, "the number of fences", error))
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
        if (fileFormat == 2 && !readFenceOptions(tokens, fence, error))
            return false;
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

int CFenceDescription::neededFormat() const
{
    if (options != Options())
        return 2;
    for (const Fence& fence : fences)
        if (fence.hasElevation || fence.hasCrop)
            return 2;
    return 1;
}

std::string CFenceDescription::format() const
{
    const bool second = neededFormat() == 2;
    std::string out = second ? "#MORVEX2\n" : "#MORVEX1\n";
    if (second) {
        // Only what differs from the defaults.
        const Options defaults;
        for (const OptionSpec& option : DIAGRAM_OPTIONS) {
            const std::string values = option.write(options);
            if (values != option.write(defaults))
                out += option.name + values + "\n";
        }
        out += "end\n";
    }
    out += std::to_string(fences.size()) + "\n";
    for (const Fence& fence : fences) {
        out += std::to_string(fence.points.size()) + "\n";
        for (const Point& p : fence.points)
            out += formatReal(p.x) + " " + formatReal(p.y) + " " + formatReal(p.z) + "\n";
        out += fence.imageToken + "\n";
        out += (fence.description.empty() ? std::string("-") : fence.description) + "\n";
        out += std::to_string(fence.labelEnd) + "\n";
        if (!second)
            continue;
        if (fence.hasElevation)
            out += "elevation " + formatReal(fence.top) + " " + formatReal(fence.bottom) + "\n";
        if (fence.hasCrop)
            out += "crop " + std::to_string(fence.crop[0]) + " " + std::to_string(fence.crop[1]) + " " +
                   std::to_string(fence.crop[2]) + " " + std::to_string(fence.crop[3]) + "\n";
        out += "end\n";
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
