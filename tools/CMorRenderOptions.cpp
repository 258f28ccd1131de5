// Command-line options of the headless renderer.
#include "CMorRenderOptions.h"

#include "CFenceDiagram.h"
#include "CMorFrame.h"
#include "CMorSceneExporter.h"
#include "CMorSettingRanges.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

const char HELP[] =
    "Usage: morvex-render FILE.fnc -o OUT.png|OUT.glb|OUT.gltf|OUT.html [options]\n"
    "Draws a fence diagram to a PNG picture without a display, as the viewer shows it,\n"
    "or exports it in 3-D.\n"
    "\n"
    "Picture:\n"
    "  -o, --output FILE          the file to write (required): a PNG picture, or by its\n"
    "                             extension a 3-D export: .glb (binary glTF), .gltf\n"
    "                             (glTF with its data embedded) or .html (a web page\n"
    "                             that shows the diagram by itself)\n"
    "  --texture-limit PIXELS     3-D: the longer side of each fence's picture at most,\n"
    "                             16 to 16384 (default 4096)\n"
    "  --size WxH                 size of the view drawn, in pixels (default 1280x960)\n"
    "  --tiles N                  draw the view as N x N tiles, each at the full size:\n"
    "                             the picture is N times as wide and high (default 1)\n"
    "  --antialias off|LEVEL      accumulation antialiasing, level 0 to 6 = 2, 3, 4, 8,\n"
    "                             15, 24 or 66 passes (default off)\n"
    "View (a description in format 2 brings its own, which these override):\n"
    "  --background solid|gradient   (default solid)\n"
    "  --solid-color R,G,B        solid background, each 0 to 1 (default 1,1,1)\n"
    "  --upper-color R,G,B        top of the gradient (default 0.5,0.5,1)\n"
    "  --lower-color R,G,B        bottom of the gradient (default 1,1,1)\n"
    "  --lighting on|off          light the fences (default off)\n"
    "  --light-direction D        0 to 7, in steps of 45 degrees (default 0)\n"
    "  --camera stored|auto|X,Y,Z,TX,TY,TZ[,FOV,NEAR,FAR]\n"
    "                             the camera stored in the file (default), the automatic\n"
    "                             placement, or eye and target in the file's camera axes\n"
    "                             (x east, y up, z north; true elevations whatever the\n"
    "                             exaggeration), with field of view and clipping\n"
    "Diagram:\n"
    "  --keep-white               keep white image areas (default: removed)\n"
    "  --white-tolerance N        remove near-white too: pixels whose red, green and\n"
    "                             blue all lie within N of 255, 0 to 64 (default 0)\n"
    "  --no-bounding-box          leave out the bounding box\n"
    "  --no-axes                  leave out the three measuring axes\n"
    "  --text-size S              text size relative to the diagram's size (default 0.02)\n"
    "  --vertical-exaggeration F  stretch the vertical by F > 0 about the lowest fence\n"
    "                             bottom (default 1, or as the file has it)\n"
    "  --axis-labels distance|map distances from the south-west corner, or eastings,\n"
    "                             northings and true elevations\n"
    "  --line-width N             line width in pixels, 1 to 32 (default 1)\n"
    "  --legend-size F            legend width as a fraction of the view width, above 0\n"
    "                             and at most 1\n"
    "  --legend-position H,V      H: left, centre or right; V: top or bottom\n"
    "  --legend-margins X,Y       pixels between legend and view edges, 0 to 10000\n"
    "  --skip-missing             draw fences whose pictures are missing as grey outlines\n"
    "                             (and leave out a missing legend), with a warning for\n"
    "                             each, instead of failing\n"
    "Pointing:\n"
    "  --pick PX,PY               print the fence point under pixel PX,PY of the picture\n"
    "                             (origin top left; with --tiles, of the whole picture):\n"
    "                             pick PX,PY: X Y Z fence N \"LABEL\" pixel C,R\n"
    "                             or pick PX,PY: background; may be given again\n"
    "Other:\n"
    "  --memory-budget MIB        memory for picture tiles, in MiB (default 1024): GL\n"
    "                             textures, the driver's copies and pixels on their way\n"
    "  -q, --quiet                no progress lines (pick lines are still printed)\n"
    "  -h, --help                 this text\n";

bool toDouble(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
}

bool toInt(const std::string& text, int& value, int low, int high)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || parsed < low || parsed > high)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

// A number within a range of the settings table.
bool toNumber(const std::string& text, double& value, const CMorSettingRanges::Range& range)
{
    double parsed = 0.0;
    if (!toDouble(text, parsed) || !range.contains(parsed))
        return false;
    value = parsed;
    return true;
}

// A whole number within a range of the settings table.
bool toWhole(const std::string& text, int& value, const CMorSettingRanges::Range& range)
{
    int parsed = 0;
    if (!toInt(text, parsed, INT_MIN, INT_MAX) || !range.contains(parsed))
        return false;
    value = parsed;
    return true;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.push_back(std::string());
    return parts;
}

bool toColor(const std::string& text, float color[3])
{
    const std::vector<std::string> parts = split(text, ',');
    if (parts.size() != 3)
        return false;
    double values[3];
    for (int i = 0; i < 3; ++i)
        if (!toDouble(parts[i], values[i]) || values[i] < 0.0 || values[i] > 1.0)
            return false;
    for (int i = 0; i < 3; ++i)
        color[i] = static_cast<float>(values[i]);
    return true;
}

bool takesValue(const std::string& option)
{
    static const char* const withValue[] = {"-o", "--output", "--size", "--tiles", "--antialias", "--background",
                                            "--solid-color", "--upper-color", "--lower-color", "--lighting",
                                            "--light-direction", "--camera", "--text-size", "--line-width",
                                            "--legend-size", "--legend-position", "--legend-margins",
                                            "--white-tolerance", "--vertical-exaggeration", "--axis-labels",
                                            "--pick", "--texture-limit", "--memory-budget"};
    for (const char* name : withValue)
        if (option == name)
            return true;
    return false;
}

} // namespace

const char* CMorRenderOptions::getHelpText()
{
    return HELP;
}

bool CMorRenderOptions::fail(const std::string& message)
{
    m_errorMessage = message;
    return false;
}

bool CMorRenderOptions::parse(int argc, const char* const* argv)
{
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            if (!m_input.empty())
                return fail("More than one description file given: " + m_input + " and " + argument + ".");
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
        if (argument == "-q" || argument == "--quiet") {
            m_quiet = true;
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
        if (takesValue(argument) && !hasValue) {
            if (i + 1 >= argc)
                return fail("Option " + argument + " needs a value.");
            value = argv[++i];
        } else if (!takesValue(argument) && hasValue) {
            return fail("Option " + argument + " takes no value.");
        }
        if (!take(argument, value))
            return false;
    }
    if (m_input.empty())
        return fail("No description file given.");
    if (m_output.empty())
        return fail("No output file given (-o OUT.png).");
    return checkPicks();
}

bool CMorRenderOptions::checkPicks()
{
    if (m_picks.empty())
        return true;
    // Outputs in 3-D have no pixels to point at.
    const size_t dot = m_output.rfind('.');
    std::string extension = dot == std::string::npos || m_output.find('/', dot) != std::string::npos
                                ? std::string()
                                : m_output.substr(dot + 1);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (extension == "glb" || extension == "gltf" || extension == "html")
        return fail("--pick needs a picture to point at; " + m_output + " is a 3-D output.");
    const long long width = static_cast<long long>(m_width) * m_tiles;
    const long long height = static_cast<long long>(m_height) * m_tiles;
    for (const std::pair<long long, long long>& pick : m_picks)
        if (pick.first >= width || pick.second >= height)
            return fail("Bad value '" + std::to_string(pick.first) + "," + std::to_string(pick.second) +
                        "' for --pick: the picture has " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels.");
    return true;
}

bool CMorRenderOptions::take(const std::string& option, const std::string& value)
{
    const std::string bad = "Bad value '" + value + "' for " + option + ": ";
    if (option == "-o" || option == "--output") {
        if (value.empty())
            return fail(bad + "expected a file name.");
        m_output = value;
    } else if (option == "--texture-limit") {
        if (!toInt(value, m_textureLimit, CMorSceneExporter::SMALLEST_TEXTURE_LIMIT,
                   CMorSceneExporter::LARGEST_TEXTURE_LIMIT))
            return fail(bad + "expected a whole number of pixels from " +
                        std::to_string(CMorSceneExporter::SMALLEST_TEXTURE_LIMIT) + " to " +
                        std::to_string(CMorSceneExporter::LARGEST_TEXTURE_LIMIT) + ".");
    } else if (option == "--size") {
        const std::vector<std::string> parts = split(value, 'x');
        if (parts.size() != 2 || !toInt(parts[0], m_width, 1, 1 << 20) || !toInt(parts[1], m_height, 1, 1 << 20))
            return fail(bad + "expected width x height in pixels, e.g. 1280x960.");
    } else if (option == "--memory-budget") {
        int mebibytes = 0;
        if (!toInt(value, mebibytes, 16, 1 << 20))
            return fail(bad + "expected MiB from 16 to 1048576.");
        m_memoryBudget = static_cast<uint64_t>(mebibytes) << 20;
    } else if (option == "--tiles") {
        if (!toInt(value, m_tiles, 1, 64))
            return fail(bad + "expected a whole number from 1 to 64.");
    } else if (option == "--antialias") {
        m_given |= GIVEN_ANTIALIAS;
        if (value == "off") {
            m_antialias = false;
        } else if (toInt(value, m_antialiasLevel, 0, 6)) {
            m_antialias = true;
        } else {
            return fail(bad + "expected off or a level from 0 to 6.");
        }
    } else if (option == "--background") {
        m_given |= GIVEN_BACKGROUND;
        if (value == "solid")
            m_backgroundType = CMorFrame::BACKGROUND_SOLID;
        else if (value == "gradient")
            m_backgroundType = CMorFrame::BACKGROUND_GRADIENT;
        else
            return fail(bad + "expected solid or gradient.");
    } else if (option == "--solid-color" || option == "--upper-color" || option == "--lower-color") {
        float* color = option == "--solid-color" ? m_solidColor
                       : option == "--upper-color" ? m_upperColor
                                                    : m_lowerColor;
        if (!toColor(value, color))
            return fail(bad + "expected three numbers from 0 to 1, e.g. 1,0.5,0.");
        m_given |= option == "--solid-color" ? GIVEN_SOLID : option == "--upper-color" ? GIVEN_UPPER : GIVEN_LOWER;
    } else if (option == "--lighting") {
        if (value != "on" && value != "off")
            return fail(bad + "expected on or off.");
        m_lighting = value == "on" ? 1 : 0;
    } else if (option == "--light-direction") {
        if (!toInt(value, m_lightDirection, 0, 7))
            return fail(bad + "expected a direction from 0 to 7.");
        m_given |= GIVEN_LIGHT_DIRECTION;
    } else if (option == "--camera") {
        if (value == "stored") {
            m_cameraSource = CAMERA_STORED;
        } else if (value == "auto") {
            m_cameraSource = CAMERA_AUTOMATIC;
        } else {
            const std::vector<std::string> parts = split(value, ',');
            if (parts.size() != 6 && parts.size() != 9)
                return fail(bad + "expected stored, auto, or 6 or 9 numbers separated by commas.");
            for (size_t k = 0; k < parts.size(); ++k)
                if (!toDouble(parts[k], m_camera[k]))
                    return fail(bad + "'" + parts[k] + "' is not a number.");
            if (m_camera[0] == m_camera[3] && m_camera[1] == m_camera[4] && m_camera[2] == m_camera[5])
                return fail(bad + "the eye and the target are the same point.");
            if (parts.size() == 9) {
                const CMorSettingRanges::Range perspective[3] = {
                    CMorSettingRanges::get(CMorSettingRanges::FIELD_OF_VIEW), CMorSettingRanges::nearPlane(m_camera[8]),
                    CMorSettingRanges::farPlane(m_camera[7])};
                for (int k = 0; k < 3; ++k)
                    if (!perspective[k].contains(m_camera[6 + k]))
                        return fail(bad + perspective[k].refusal());
            }
            m_cameraSource = CAMERA_GIVEN;
            m_cameraValues = static_cast<int>(parts.size());
        }
    } else if (option == "--vertical-exaggeration") {
        const CMorSettingRanges::Range range = CMorSettingRanges::get(CMorSettingRanges::VERTICAL_EXAGGERATION);
        if (!toNumber(value, m_exaggeration, range))
            return fail(bad + "expected " + range.describe() + ".");
    } else if (option == "--axis-labels") {
        if (value != "distance" && value != "map")
            return fail(bad + "expected distance or map.");
        m_mapAxisLabels = value == "map" ? 1 : 0;
    } else if (option == "--keep-white") {
        m_keepWhite = true;
    } else if (option == "--white-tolerance") {
        const CMorSettingRanges::Range range = CMorSettingRanges::get(CMorSettingRanges::WHITE_TOLERANCE);
        if (!toWhole(value, m_whiteTolerance, range))
            return fail(bad + "expected " + range.describe() + ".");
    } else if (option == "--no-bounding-box") {
        m_noBoundingBox = true;
    } else if (option == "--no-axes") {
        m_noAxes = true;
    } else if (option == "--pick") {
        const std::vector<std::string> parts = split(value, ',');
        int x = 0, y = 0;
        if (parts.size() != 2 || !toInt(parts[0], x, 0, INT_MAX) || !toInt(parts[1], y, 0, INT_MAX))
            return fail(bad + "expected a pixel PX,PY of the picture, e.g. 640,480.");
        m_picks.emplace_back(x, y);
    } else if (option == "--skip-missing") {
        m_skipMissing = true;
    } else if (option == "--text-size") {
        const CMorSettingRanges::Range range = CMorSettingRanges::get(CMorSettingRanges::RELATIVE_TEXT_SIZE);
        if (!toNumber(value, m_textSize, range))
            return fail(bad + "expected " + range.describe() + ".");
    } else if (option == "--line-width") {
        const CMorSettingRanges::Range range = CMorSettingRanges::get(CMorSettingRanges::LINE_WIDTH);
        if (!toWhole(value, m_lineWidth, range))
            return fail(bad + "expected " + range.describe() + ".");
    } else if (option == "--legend-size") {
        const CMorSettingRanges::Range range = CMorSettingRanges::get(CMorSettingRanges::LEGEND_SIZE);
        if (!toNumber(value, m_legendSize, range))
            return fail(bad + "expected " + range.describe() + ".");
    } else if (option == "--legend-position") {
        const std::vector<std::string> parts = split(value, ',');
        if (parts.size() != 2)
            return fail(bad + "expected left, centre or right, then top or bottom, e.g. right,bottom.");
        if (parts[0] == "left")
            m_legendPositionX = 0;
        else if (parts[0] == "centre" || parts[0] == "center")
            m_legendPositionX = 1;
        else if (parts[0] == "right")
            m_legendPositionX = 2;
        else
            return fail(bad + "expected left, centre or right before the comma.");
        if (parts[1] == "top")
            m_legendPositionY = 0;
        else if (parts[1] == "bottom")
            m_legendPositionY = 1;
        else
            return fail(bad + "expected top or bottom after the comma.");
    } else if (option == "--legend-margins") {
        const std::vector<std::string> parts = split(value, ',');
        const CMorSettingRanges::Range range = CMorSettingRanges::get(CMorSettingRanges::LEGEND_MARGIN);
        if (parts.size() != 2 || !toWhole(parts[0], m_legendMarginX, range) ||
            !toWhole(parts[1], m_legendMarginY, range))
            return fail(bad + "expected two whole numbers, each " + range.bounds() + ", e.g. 10,20.");
    } else {
        return fail("Unknown option " + option + ".");
    }
    return true;
}

bool CMorRenderOptions::fitsFrame(const CMorFrame& frame)
{
    const CMorSettingRanges::Range lineWidths = CMorSettingRanges::lineWidth(frame.getWidestLine());
    if (m_lineWidth > 0 && !lineWidths.contains(m_lineWidth))
        return fail("Bad value '" + std::to_string(m_lineWidth) + "' for --line-width: this GL draws lines " +
                    lineWidths.bounds() + ".");
    return true;
}

void CMorRenderOptions::applyToFrame(CMorFrame& frame) const
{
    if (m_given & GIVEN_BACKGROUND)
        frame.setBackgroundType(m_backgroundType);
    if (m_given & GIVEN_SOLID)
        frame.setSolidColor(m_solidColor[0], m_solidColor[1], m_solidColor[2]);
    if (m_given & GIVEN_UPPER)
        frame.setUpperColor(m_upperColor[0], m_upperColor[1], m_upperColor[2]);
    if (m_given & GIVEN_LOWER)
        frame.setLowerColor(m_lowerColor[0], m_lowerColor[1], m_lowerColor[2]);
    if (m_given & GIVEN_ANTIALIAS) {
        frame.setAntialias(m_antialias);
        frame.setAntialiasLevel(m_antialiasLevel);
    }
    if (m_given & GIVEN_LIGHT_DIRECTION)
        frame.setLightDirection(m_lightDirection);
}

void CMorRenderOptions::applyToDiagram(CMorFrame& frame) const
{
    CFenceDiagram* diagram = frame.getDiagram();
    if (diagram == nullptr)
        return;
    if (m_lighting >= 0)
        diagram->setFenceLighting(m_lighting == 1);
    if (m_mapAxisLabels >= 0)
        diagram->setMapAxisLabels(m_mapAxisLabels == 1);
    // Before the camera: a stored camera keeps its place in map units.
    if (m_exaggeration > 0.0)
        diagram->setVerticalExaggeration(m_exaggeration);
    if (m_keepWhite)
        diagram->setRemoveWhite(false);
    if (m_whiteTolerance >= 0)
        diagram->setWhiteTolerance(m_whiteTolerance);
    if (m_noBoundingBox)
        diagram->setShowBoundingBox(false);
    if (m_noAxes)
        diagram->setShowAxes(false);
    if (m_lineWidth > 0)
        diagram->setLineWidth(m_lineWidth);
    if (m_textSize > 0.0) {
        diagram->setRelativeTextSize(m_textSize);
        diagram->refresh();
    }
    if (m_legendSize > 0.0)
        diagram->setLegendSize(m_legendSize);
    if (m_legendPositionX >= 0) {
        diagram->setLegendPositionX(m_legendPositionX);
        diagram->setLegendPositionY(m_legendPositionY);
    }
    if (m_legendMarginX >= 0) {
        diagram->setLegendMarginX(m_legendMarginX);
        diagram->setLegendMarginY(m_legendMarginY);
    }
    if (m_cameraSource == CAMERA_AUTOMATIC) {
        frame.resetView();
    } else if (m_cameraSource == CAMERA_GIVEN) {
        frame.setCameraInMapUnits(CZelVec3d(m_camera[0], m_camera[1], m_camera[2]),
                                  CZelVec3d(m_camera[3], m_camera[4], m_camera[5]));
        if (m_cameraValues == 9)
            frame.getCamera()->setPerspective(m_camera[6], m_camera[7], m_camera[8]);
    }
}
