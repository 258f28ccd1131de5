// Command-line options of the importer.
#include "CMorImportOptions.h"

namespace {

const char HELP[] =
    "Usage: morvex-import INPUT -o OUTPUT.fnc [options]\n"
    "       morvex-import --export FILE.fnc -o OUTPUT.geojson\n"
    "Makes a fence diagram from section lines in a GIS file (anything GDAL reads:\n"
    "Shapefile, GeoPackage, GeoJSON, CSV with WKT, ...): every line feature becomes a\n"
    "fence, in feature order, with the picture its image field names.\n"
    "\n"
    "Import:\n"
    "  -o, --output FILE       the description file to write (required)\n"
    "  --layer NAME            the layer to read (required when there are several)\n"
    "  --image-field F         the section picture, relative to INPUT or absolute\n"
    "                          (default image)\n"
    "  --label-field F         the label; blanks become _ (default label; without\n"
    "                          one, the feature id)\n"
    "  --label-end-field F     0: label over the first point, 1: over the last\n"
    "                          (default label_end; without one, 0)\n"
    "  --top-field F           the elevation of the section's top edge (default top)\n"
    "  --bottom-field F        the elevation of its bottom edge (default bottom)\n"
    "  --crop-field F          \"X0 Y0 X1 Y1\": the pixels that are the section\n"
    "                          (default crop)\n"
    "  --crs auto|CRS          the projected CRS of the diagram (default auto: a\n"
    "                          projected layer's own, else the WGS 84 UTM zone of the\n"
    "                          centre of the lines)\n"
    "  --source-crs CRS        the CRS of a layer that carries none (a CSV file)\n"
    "Field names match in any letter case. A CRS is anything GDAL takes, such as\n"
    "EPSG:32633; the description names it as one word (AUTHORITY:CODE).\n"
    "\n"
    "Export:\n"
    "  --export                INPUT is a description file with a crs: its fences\n"
    "                          are written as GeoJSON lines in longitude and\n"
    "                          latitude, with the fields above, to -o OUTPUT\n"
    "Other:\n"
    "  -h, --help              this text\n"
    "Exit status: 0 done, 1 refused (with the reason on standard error; no output\n"
    "file is written), 2 a bad command line.\n";

const char* const DEFAULT_FIELDS[CMorImportOptions::FIELD_COUNT] = {"image", "label", "label_end",
                                                                     "top", "bottom", "crop"};
const char* const FIELD_OPTIONS[CMorImportOptions::FIELD_COUNT] = {
    "--image-field", "--label-field", "--label-end-field", "--top-field", "--bottom-field", "--crop-field"};

bool takesValue(const std::string& option)
{
    for (const char* name : FIELD_OPTIONS)
        if (option == name)
            return true;
    return option == "-o" || option == "--output" || option == "--layer" || option == "--crs" ||
           option == "--source-crs";
}

} // namespace

const char* CMorImportOptions::getHelpText()
{
    return HELP;
}

const char* CMorImportOptions::getDefaultFieldName(Field field)
{
    return DEFAULT_FIELDS[field];
}

bool CMorImportOptions::fail(const std::string& message)
{
    m_errorMessage = message;
    return false;
}

bool CMorImportOptions::parse(int argc, const char* const* argv)
{
    for (int f = 0; f < FIELD_COUNT; ++f)
        m_fieldNames[f] = DEFAULT_FIELDS[f];
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            if (!m_input.empty())
                return fail("More than one input given: " + m_input + " and " + argument + ".");
            m_input = argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "-h" || argument == "--help") {
            m_showHelp = true;
            return true;
        }
        if (argument == "--export") {
            m_export = true;
            continue;
        }
        std::string value;
        bool hasValue = false;
        const size_t equals = argument.find('=');
        if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            value = argument.substr(equals + 1);
            argument = argument.substr(0, equals);
            hasValue = true;
        }
        if (!takesValue(argument))
            return fail(hasValue && argument == "--export" ? "Option --export takes no value."
                                                           : "Unknown option " + argument + ".");
        if (!hasValue) {
            if (i + 1 >= argc)
                return fail("Option " + argument + " needs a value.");
            value = argv[++i];
        }
        if (!take(argument, value))
            return false;
    }
    if (m_input.empty())
        return fail(m_export ? "No description file given." : "No input file given.");
    if (m_output.empty())
        return fail(m_export ? "No output file given (-o OUTPUT.geojson)." : "No output file given (-o OUTPUT.fnc).");
    if (m_export && !m_importOption.empty())
        return fail("Option " + m_importOption + " is for importing; --export takes only -o.");
    return true;
}

bool CMorImportOptions::take(const std::string& option, const std::string& value)
{
    if (value.empty())
        return fail("Option " + option + " needs a value that is not empty.");
    if (option == "-o" || option == "--output") {
        m_output = value;
        return true;
    }
    m_importOption = option;
    if (option == "--layer") {
        m_layer = value;
    } else if (option == "--crs") {
        m_crs = value;
    } else if (option == "--source-crs") {
        m_sourceCrs = value;
    } else {
        for (int f = 0; f < FIELD_COUNT; ++f)
            if (option == FIELD_OPTIONS[f]) {
                m_fieldNames[f] = value;
                m_fieldGiven[f] = true;
            }
    }
    return true;
}
