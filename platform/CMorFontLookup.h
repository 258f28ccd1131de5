// Finds the TrueType file for the 3-D labels and axis numbers: fontconfig's best
// match for "Tahoma" when that is TrueType, else a sans-serif TrueType file.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

class CMorFontLookup
{
public:
    // Answers a font file path, or an empty string when there is none.
    using Search = std::function<std::string()>;

    // Searches with fontconfig (findLabelFontFile).
    CMorFontLookup();
    explicit CMorFontLookup(Search search);

    // The label font file, searched for on the first call only. Empty when no
    // font exists; the first call then says so in one line on log.
    const std::string& getLabelFontFile(std::ostream& log);
    const std::string& getLabelFontFile();

    // The lookup the whole program shares, so that a missing font is reported
    // once per run. Borrowed; lives until exit.
    static CMorFontLookup& getInstance();

    // The search itself: "Tahoma" or its best substitute when that is a
    // readable TrueType file, else the best readable sans-serif TrueType file,
    // else empty.
    static std::string findLabelFontFile();
    // fontconfig's best match for the family when it is a readable TrueType
    // file; empty otherwise.
    static std::string findBestTrueTypeMatch(const std::string& family);
    // The first readable TrueType file in fontconfig's order of preference for
    // the family; empty when there is none.
    static std::string findFirstTrueType(const std::string& family);

private:
    Search m_search;
    std::string m_file;
    bool m_searched = false;
};
