// Label font lookup through fontconfig.
#include "CMorFontLookup.h"

#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <iostream>
#include <memory>
#include <utility>

namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetDeleter>;

// A pattern for the family with the configuration's aliases and defaults
// applied, as fontconfig's own matching expects.
PatternPtr makePattern(const std::string& family)
{
    PatternPtr pattern(FcPatternCreate());
    if (!pattern)
        return nullptr;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern))
        return nullptr;
    FcDefaultSubstitute(pattern.get());
    return pattern;
}

// The file of a font when it is TrueType and can be read; empty otherwise.
std::string trueTypeFile(FcPattern* font)
{
    FcChar8* format = nullptr;
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FONTFORMAT, 0, &format) != FcResultMatch ||
        FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch)
        return std::string();
    if (std::string(reinterpret_cast<const char*>(format)) != "TrueType")
        return std::string();
    const std::string path(reinterpret_cast<const char*>(file));
    return access(path.c_str(), R_OK) == 0 ? path : std::string();
}

} // namespace

CMorFontLookup::CMorFontLookup() : m_search(findLabelFontFile) {}

CMorFontLookup::CMorFontLookup(Search search) : m_search(std::move(search)) {}

const std::string& CMorFontLookup::getLabelFontFile(std::ostream& log)
{
    if (!m_searched) {
        m_searched = true;
        m_file = m_search();
        if (m_file.empty())
            log << "No TrueType font found (neither Tahoma nor a sans-serif font): text is not drawn" << std::endl;
    }
    return m_file;
}

const std::string& CMorFontLookup::getLabelFontFile()
{
    return getLabelFontFile(std::cout);
}

CMorFontLookup& CMorFontLookup::getInstance()
{
    static CMorFontLookup instance;
    return instance;
}

std::string CMorFontLookup::findLabelFontFile()
{
    const std::string tahoma = findBestTrueTypeMatch("Tahoma");
    if (!tahoma.empty())
        return tahoma;
    return findFirstTrueType("sans-serif");
}

std::string CMorFontLookup::findBestTrueTypeMatch(const std::string& family)
{
    PatternPtr pattern = makePattern(family);
    if (!pattern)
        return std::string();
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match || result != FcResultMatch)
        return std::string();
    return trueTypeFile(match.get());
}

std::string CMorFontLookup::findFirstTrueType(const std::string& family)
{
    PatternPtr pattern = makePattern(family);
    if (!pattern)
        return std::string();
    FcResult result = FcResultNoMatch;
    FontSetPtr fonts(FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result));
    if (!fonts)
        return std::string();
    for (int i = 0; i < fonts->nfont; ++i) {
        const std::string file = trueTypeFile(fonts->fonts[i]);
        if (!file.empty())
            return file;
    }
    return std::string();
}
