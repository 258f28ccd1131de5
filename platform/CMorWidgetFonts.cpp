// Widget fonts through fontconfig and FLTK's Xft font names.
#include "CMorWidgetFonts.h"

#include <FL/Fl.H>
#include <fontconfig/fontconfig.h>

#include <iostream>
#include <memory>

namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

// FLTK's Xft names carry the style in their first character: a blank for the
// regular face, 'B' for bold. The toolkit keeps the pointers, so the names
// live as long as the program.
std::string regularName;
std::string boldName;

} // namespace

std::string CMorWidgetFonts::findNearestFamily(const std::string& family, bool bold)
{
    PatternPtr pattern(FcPatternCreate());
    if (!pattern)
        return std::string();
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
    if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern))
        return std::string();
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    FcChar8* name = nullptr;
    if (!match || result != FcResultMatch || FcPatternGetString(match.get(), FC_FAMILY, 0, &name) != FcResultMatch)
        return std::string();
    return reinterpret_cast<const char*>(name);
}

void CMorWidgetFonts::install()
{
    const std::string regular = findNearestFamily("Segoe UI", false);
    const std::string bold = findNearestFamily("Tahoma", true);
    if (!regular.empty()) {
        regularName = " " + regular;
        Fl::set_font(FL_HELVETICA, regularName.c_str());
        Fl::set_font(FL_HELVETICA_ITALIC, regularName.c_str());
        Fl::set_font(FL_HELVETICA_BOLD_ITALIC, regularName.c_str());
    }
    if (!bold.empty()) {
        boldName = "B" + bold;
        Fl::set_font(FL_HELVETICA_BOLD, boldName.c_str());
    }
    std::cout << "Widget fonts: \"" << regular << "\" and \"" << bold << "\" bold" << std::endl;
}
