// text/uri-list of file URIs.
#include "CMorUriList.h"

#include <unistd.h>

#include <cctype>
#include <climits>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower >= 'a' && lower <= 'f')
        return lower - 'a' + 10;
    return -1;
}

bool decode(const std::string& text, std::string& decoded)
{
    decoded.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? hexDigit(text[i + 2]) : -1;
        // A NUL would end the path early in every system call.
        if (high < 0 || low < 0 || high + low == 0)
            return false;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

std::vector<std::string> CMorUriList::split(const std::string& text)
{
    std::vector<std::string> uris;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        size_t first = start, last = end;
        while (first < last && std::isspace(static_cast<unsigned char>(text[first])))
            ++first;
        while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1])))
            --last;
        if (last > first && text[first] != '#')
            uris.push_back(text.substr(first, last - first));
        start = end + 1;
    }
    return uris;
}

bool CMorUriList::localPath(const std::string& uri, const std::string& host, std::string& path)
{
    if (uri.size() < 5 || !sameIgnoringCase(uri.substr(0, 5), "file:"))
        return false;
    std::string rest = uri.substr(5);
    if (rest.compare(0, 2, "//") == 0) {
        const size_t slash = rest.find('/', 2);
        if (slash == std::string::npos)
            return false;
        const std::string authority = rest.substr(2, slash - 2);
        if (!authority.empty() && !sameIgnoringCase(authority, "localhost") &&
            (host.empty() || !sameIgnoringCase(authority, host)))
            return false;
        rest = rest.substr(slash);
    }
    // "file:/path", the short form some programs send, is local too.
    if (rest.empty() || rest[0] != '/')
        return false;
    return decode(rest, path);
}

bool CMorUriList::localPath(const std::string& uri, std::string& path)
{
    char host[HOST_NAME_MAX + 1] = "";
    if (gethostname(host, sizeof host) != 0)
        host[0] = '\0';
    host[HOST_NAME_MAX] = '\0';
    return localPath(uri, host, path);
}
