// Preferences file in the XDG configuration folder.
#include "CMorPreferences.h"

#include "CMorSafeFile.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// Far more than any preferences; a larger file is something else.
const std::streamoff MAX_FILE_SIZE = 1 << 20;

const char HEADER[] = "# Morvex preferences, rewritten by Morvex whenever one changes: one \"key = value\" a line.\n";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string escape(const std::string& value)
{
    static const char HEX[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(value[i]);
        // Blanks at either end would be taken for the line's layout.
        const bool edgeBlank = isBlank(value[i]) && (i == 0 || i + 1 == value.size());
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c == 0x7f || edgeBlank) {
            out += "\\x";
            out += HEX[c >> 4];
            out += HEX[c & 15];
        } else {
            out += value[i];
        }
    }
    return out;
}

// False for a broken escape: the line is not one this program wrote.
bool unescape(const std::string& text, std::string& value)
{
    value.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            value += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            value += '\\';
            ++i;
            continue;
        }
        if (i + 3 >= text.size() || text[i + 1] != 'x')
            return false;
        const int high = hexDigit(text[i + 2]);
        const int low = hexDigit(text[i + 3]);
        if (high < 0 || low < 0)
            return false;
        value += static_cast<char>(high * 16 + low);
        i += 3;
    }
    return true;
}

std::string home()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return home;
    const passwd* user = getpwuid(getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

// Creates every missing folder of path, the last ones private to the user.
bool makeFolders(const std::string& path, std::string& error)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            error = "Cannot create the folder " + folder + ": " + std::strerror(errno) + ".";
            return false;
        }
        if (slash == std::string::npos)
            return true;
    }
}

} // namespace

std::string CMorPreferences::defaultPath()
{
    // Relative values are invalid and to be ignored, says the XDG base
    // directory convention.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else {
        const std::string user = home();
        if (user.empty())
            return std::string();
        folder = user + "/.config";
    }
    return folder + "/morvex/preferences";
}

bool CMorPreferences::isKey(const std::string& key)
{
    if (key.empty())
        return false;
    for (char c : key)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_')
            return false;
    return true;
}

std::string CMorPreferences::get(const std::string& key, const std::string& fallback) const
{
    const auto found = m_entries.find(key);
    return found == m_entries.end() ? fallback : found->second;
}

void CMorPreferences::set(const std::string& key, const std::string& value)
{
    if (isKey(key))
        m_entries[key] = value;
}

std::string CMorPreferences::format(const std::map<std::string, std::string>& entries)
{
    std::string text = HEADER;
    for (const auto& entry : entries)
        text += entry.first + " = " + escape(entry.second) + "\n";
    return text;
}

std::map<std::string, std::string> CMorPreferences::parse(const std::string& text)
{
    std::map<std::string, std::string> entries;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos)
            continue;
        size_t keyEnd = equals;
        while (keyEnd > 0 && isBlank(line[keyEnd - 1]))
            --keyEnd;
        size_t keyStart = 0;
        while (keyStart < keyEnd && isBlank(line[keyStart]))
            ++keyStart;
        size_t valueStart = equals + 1;
        while (valueStart < line.size() && isBlank(line[valueStart]))
            ++valueStart;
        size_t valueEnd = line.size();
        // A file edited elsewhere may end its lines with CR LF.
        while (valueEnd > valueStart && (isBlank(line[valueEnd - 1]) || line[valueEnd - 1] == '\r'))
            --valueEnd;
        const std::string key = line.substr(keyStart, keyEnd - keyStart);
        std::string value;
        if (isKey(key) && unescape(line.substr(valueStart, valueEnd - valueStart), value))
            entries[key] = value;
    }
    return entries;
}

bool CMorPreferences::load(std::string& error)
{
    if (m_path.empty())
        return true;
    m_entries.clear();
    std::ifstream in(m_path, std::ios::binary);
    if (!in) {
        if (errno == ENOENT)
            return true;
        error = "Cannot read " + m_path + ": " + std::strerror(errno) + ".";
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > MAX_FILE_SIZE) {
        error = m_path + " is too large to hold preferences; it is not read.";
        return false;
    }
    in.seekg(0, std::ios::beg);
    std::string text(static_cast<size_t>(size), '\0');
    if (!in.read(&text[0], size)) {
        error = "Cannot read " + m_path + ".";
        return false;
    }
    m_entries = parse(text);
    return true;
}

bool CMorPreferences::save(std::string& error) const
{
    if (m_path.empty())
        return true;
    const size_t slash = m_path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(m_path.substr(0, slash), error))
        return false;
    return CMorSafeFile::write(m_path, format(m_entries), error);
}
