// What a file manager sends when files are dropped: a text/uri-list of file
// URIs, one a line, with special characters percent-encoded.
#pragma once

#include <string>
#include <vector>

class CMorUriList
{
public:
    // The URIs of a text/uri-list: lines ended by CR LF (or LF alone),
    // comment lines (#) and blank lines left out, blanks around each trimmed.
    static std::vector<std::string> split(const std::string& text);
    // The local path a file URI names, decoded: "file:///a%20b.fnc" is
    // "/a b.fnc". Local means no host, "localhost" or this machine's name
    // (host). False for other schemes and hosts, relative paths, broken
    // escapes and encoded NUL bytes.
    static bool localPath(const std::string& uri, const std::string& host, std::string& path);
    // As above with the name of the machine this runs on.
    static bool localPath(const std::string& uri, std::string& path);
};
