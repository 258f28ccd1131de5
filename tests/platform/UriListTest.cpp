// Dropped file lists: the lines of a text/uri-list, and which URIs name a
// local file, decoded.
#include "CMorUriList.h"

#include <gtest/gtest.h>

TEST(UriList, SplitsLinesAndLeavesOutCommentsAndBlanks)
{
    const std::vector<std::string> expected = {"file:///a.fnc", "file:///b%20c.fnc", "last"};
    EXPECT_EQ(CMorUriList::split("# from a file manager\r\nfile:///a.fnc\r\n\r\n  file:///b%20c.fnc \nlast"),
              expected);
    EXPECT_TRUE(CMorUriList::split("\r\n# only a comment\r\n").empty());
}

TEST(UriList, LocalFileUrisAreDecodedOthersRefused)
{
    const struct {
        const char* uri;
        const char* path; // null: refused
    } cases[] = {
        // An encoded blank and percent sign and another computer's file run in the GUI test of a drop.
        {"FILE://localhost/tmp/a.fnc", "/tmp/a.fnc"},
        {"file://here/tmp/%c3%a9.fnc", "/tmp/\xc3\xa9.fnc"},
        {"file:/tmp/short.fnc", "/tmp/short.fnc"},
        {"http://host/a.fnc", nullptr},
        {"file://", nullptr},
        {"file:relative.fnc", nullptr},
        {"/tmp/plain-path.fnc", nullptr},
        {"file:///tmp/bad%2", nullptr},
        {"file:///tmp/bad%zz.fnc", nullptr},
        {"file:///tmp/nul%00.fnc", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.uri);
        std::string path;
        const bool local = CMorUriList::localPath(c.uri, "here", path);
        EXPECT_EQ(local, c.path != nullptr);
        if (c.path != nullptr) {
            EXPECT_EQ(path, c.path);
        }
    }
}
