// Features to fences.
#include "CMorFeatureConverter.h"

#include "CMorGdalErrors.h"
#include "importPaths.h"

#include <gdal_priv.h>

#include <ogr_feature.h>
#include <ogr_geometry.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

using Point = CFenceDescription::Point;

std::string lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A value as a message quotes it: at most 40 characters, control bytes as "?".
std::string quoted(const std::string& text)
{
    std::string shown;
    for (size_t i = 0; i < text.size() && i < 40; ++i)
        shown += static_cast<unsigned char>(text[i]) < 0x20 ? '?' : text[i];
    return "\"" + shown + (text.size() > 40 ? "...\"" : "\"");
}

bool toDouble(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && std::isfinite(value);
}

bool toWhole(const std::string& text, long low, long high, int& value)
{
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE || parsed < low || parsed > high)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

// Words separated by blanks or commas.
std::vector<std::string> wordsOf(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : text + " ") {
        if (c == ',' || isBlank(c)) {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

// The size of a picture as GDAL reads it; false when it cannot.
bool pictureSize(const std::string& path, int& width, int& height)
{
    GDALDatasetUniquePtr picture(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
    CMorGdalErrors::takeReason();
    if (picture == nullptr)
        return false;
    width = picture->GetRasterXSize();
    height = picture->GetRasterYSize();
    return true;
}

bool samePoint(const Point& a, const Point& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

void appendPoints(const OGRSimpleCurve& curve, bool withZ, std::vector<Point>& points)
{
    for (int i = 0; i < curve.getNumPoints(); ++i)
        points.push_back(Point{curve.getX(i), curve.getY(i), withZ ? curve.getZ(i) : 0.0});
}

} // namespace

bool CMorFeatureConverter::bind(const OGRFeatureDefn& definition, const CMorImportOptions& options,
                                const std::string& layerName, std::string& error)
{
    const int count = definition.GetFieldCount();
    std::string fields;
    for (int i = 0; i < count; ++i)
        fields += (i == 0 ? "" : ", ") + std::string(definition.GetFieldDefn(i)->GetNameRef());
    for (int f = 0; f < CMorImportOptions::FIELD_COUNT; ++f) {
        const auto field = static_cast<CMorImportOptions::Field>(f);
        const std::string wanted = options.getFieldName(field);
        m_index[f] = -1;
        m_names[f] = wanted;
        // The name as written wins over one that differs only in case.
        for (int i = 0; i < count; ++i) {
            const std::string name = definition.GetFieldDefn(i)->GetNameRef();
            if (name == wanted || (m_index[f] < 0 && lower(name) == lower(wanted))) {
                m_index[f] = i;
                m_names[f] = name;
                if (name == wanted)
                    break;
            }
        }
        if (m_index[f] >= 0 || (!options.isFieldGiven(field) && field != CMorImportOptions::IMAGE))
            continue;
        const std::string has = count == 0 ? "it has no fields." : "its fields are " + fields + ".";
        if (options.isFieldGiven(field))
            error = "Layer " + layerName + " has no field " + wanted + ": " + has;
        else
            error = "Layer " + layerName + " has no field " + wanted + " naming the pictures (--image-field names " +
                    "another): " + has;
        return false;
    }
    return true;
}

void CMorFeatureConverter::setFolders(const std::string& pictureFolder, const std::string& outputFolder)
{
    m_pictureFolder = pictureFolder;
    m_outputFolder = outputFolder;
}

bool CMorFeatureConverter::numberOf(const OGRFeature& feature, CMorImportOptions::Field field, double& value,
                                    std::string& text, bool& valid) const
{
    if (!textOf(feature, field, text))
        return false;
    const OGRFieldType type = feature.GetFieldDefnRef(m_index[field])->GetType();
    if (type == OFTReal || type == OFTInteger || type == OFTInteger64) {
        // As stored: its text may have been rounded to the field's precision.
        value = feature.GetFieldAsDouble(m_index[field]);
        valid = std::isfinite(value);
    } else {
        valid = toDouble(text, value);
    }
    return true;
}

bool CMorFeatureConverter::textOf(const OGRFeature& feature, CMorImportOptions::Field field, std::string& text) const
{
    const int index = m_index[field];
    if (index < 0 || !feature.IsFieldSetAndNotNull(index))
        return false;
    text = feature.GetFieldAsString(index);
    // Formats without nulls (CSV, dBase) store an empty text for none.
    return !text.empty();
}

CMorFeatureConverter::Outcome CMorFeatureConverter::convert(const OGRFeature& feature, long long ordinal,
                                                            CMorSectionLine& line, std::string& message) const
{
    line = CMorSectionLine();
    const long long id = feature.GetFID() == OGRNullFID ? ordinal : static_cast<long long>(feature.GetFID());
    std::string label;
    const bool labelled = textOf(feature, CMorImportOptions::LABEL, label);
    line.name = "Feature " + std::to_string(id) + (labelled ? " (" + quoted(label) + ")" : "");

    std::string why;
    if (!readLine(feature.GetGeometryRef(), line.points, why)) {
        message = line.name + " is skipped: " + why + ".";
        return SKIPPED;
    }
    // A label holds no blanks in a description; "-" there stands for none.
    if (!labelled)
        label = std::to_string(id);
    for (char& c : label)
        if (isBlank(c))
            c = '_';
    line.fence.description = label == "-" ? std::string() : label;
    std::string picture;
    if (!readPicture(feature, line, picture, message) || !readAttributes(feature, picture, line, message))
        return REFUSED;
    return ACCEPTED;
}

bool CMorFeatureConverter::readPicture(const OGRFeature& feature, CMorSectionLine& line, std::string& path,
                                       std::string& error) const
{
    std::string value;
    if (!textOf(feature, CMorImportOptions::IMAGE, value)) {
        error = line.name + " names no picture: its field " + m_names[CMorImportOptions::IMAGE] + " is empty.";
        return false;
    }
    path = value[0] == '/' ? value : m_pictureFolder + "/" + value;
    if (!isFile(path)) {
        error = line.name + ": its picture " + path + " does not exist.";
        return false;
    }
    line.fence.imageToken = relativePath(absolutePath(path), m_outputFolder);
    if (hasBlank(line.fence.imageToken)) {
        error = line.name + ": the path of its picture, " + quoted(line.fence.imageToken) +
                ", holds blanks, which a description file cannot hold: rename the picture or its folder.";
        return false;
    }
    return true;
}

bool CMorFeatureConverter::readAttributes(const OGRFeature& feature, const std::string& picture, CMorSectionLine& line,
                                          std::string& error) const
{
    CFenceDescription::Fence& fence = line.fence;
    using Field = CMorImportOptions::Field;
    const auto bad = [&](Field field, const std::string& value, const std::string& expected) {
        error = line.name + ": its " + m_names[field] + " " + quoted(value) + " is not " + expected + ".";
        return false;
    };

    std::string text, top, bottom;
    double end = 0.0;
    bool valid = false;
    if (numberOf(feature, CMorImportOptions::LABEL_END, end, text, valid)) {
        if (!valid || (end != 0.0 && end != 1.0))
            return bad(CMorImportOptions::LABEL_END, text, "0 (the label over the first point) or 1 (over the last)");
        fence.labelEnd = end == 1.0 ? 1 : 0;
    }

    bool topValid = false, bottomValid = false;
    const bool hasTop = numberOf(feature, CMorImportOptions::TOP, fence.top, top, topValid);
    const bool hasBottom = numberOf(feature, CMorImportOptions::BOTTOM, fence.bottom, bottom, bottomValid);
    if (hasTop != hasBottom) {
        error = line.name + " has a " + m_names[hasTop ? CMorImportOptions::TOP : CMorImportOptions::BOTTOM] +
                " but no " + m_names[hasTop ? CMorImportOptions::BOTTOM : CMorImportOptions::TOP] +
                ": an elevation range needs both.";
        return false;
    }
    if (hasTop) {
        if (!topValid)
            return bad(CMorImportOptions::TOP, top, "a number");
        if (!bottomValid)
            return bad(CMorImportOptions::BOTTOM, bottom, "a number");
        if (!(fence.top > fence.bottom) || !std::isfinite(fence.top - fence.bottom)) {
            error = line.name + ": its " + m_names[CMorImportOptions::TOP] + " " + top + " does not lie above its " +
                    m_names[CMorImportOptions::BOTTOM] + " " + bottom + ".";
            return false;
        }
        fence.hasElevation = true;
    }

    if (textOf(feature, CMorImportOptions::CROP, text)) {
        const std::vector<std::string> words = wordsOf(text);
        bool valid = words.size() == 4;
        for (size_t k = 0; valid && k < 4; ++k)
            valid = toWhole(words[k], 0, INT_MAX, fence.crop[k]);
        if (!valid || fence.crop[0] >= fence.crop[2] || fence.crop[1] >= fence.crop[3])
            return bad(CMorImportOptions::CROP, text, "\"X0 Y0 X1 Y1\", four whole pixel numbers with X0 < X1 and Y0 < Y1");
        fence.hasCrop = true;
        // Refused here rather than when the diagram is opened.
        int width = 0, height = 0;
        if (pictureSize(picture, width, height) && (fence.crop[2] > width || fence.crop[3] > height)) {
            error = line.name + ": its " + m_names[CMorImportOptions::CROP] + " " + quoted(text) +
                    " reaches beyond its picture, which has " + std::to_string(width) + " x " +
                    std::to_string(height) + " pixels.";
            return false;
        }
    }
    return true;
}

bool CMorFeatureConverter::readLine(const OGRGeometry* geometry, std::vector<Point>& points, std::string& why)
{
    points.clear();
    if (geometry == nullptr || geometry->IsEmpty()) {
        why = "it has no geometry";
        return false;
    }
    OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
    std::unique_ptr<OGRGeometry> straight;
    if (type != wkbLineString && type != wkbMultiLineString &&
        (OGR_GT_IsCurve(type) || OGR_GT_IsSubClassOf(type, wkbMultiCurve))) {
        straight.reset(geometry->getLinearGeometry());
        if (straight == nullptr) {
            why = "its curves cannot be made straight";
            return false;
        }
        geometry = straight.get();
        type = wkbFlatten(geometry->getGeometryType());
    }
    const bool withZ = geometry->Is3D();
    if (type == wkbLineString) {
        appendPoints(*geometry->toLineString(), withZ, points);
    } else if (type == wkbMultiLineString) {
        for (const OGRLineString* part : *geometry->toMultiLineString()) {
            if (part->IsEmpty())
                continue;
            std::vector<Point> partPoints;
            appendPoints(*part, withZ, partPoints);
            if (!points.empty() && !samePoint(points.back(), partPoints.front())) {
                points.clear();
                why = "it is a MultiLineString whose parts do not join end to start";
                return false;
            }
            points.insert(points.end(), partPoints.begin() + (points.empty() ? 0 : 1), partPoints.end());
        }
    } else {
        why = std::string("it is a ") + OGRGeometryTypeToName(type) + ", not a line";
        return false;
    }

    why.clear();
    bool apart = false;
    for (const Point& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            why = "its coordinates are not all finite numbers";
        apart = apart || p.x != points.front().x || p.y != points.front().y;
    }
    if (why.empty() && points.size() > static_cast<size_t>(CFenceDescription::MAX_POINTS))
        why = "it has more than " + std::to_string(CFenceDescription::MAX_POINTS) + " points";
    else if (why.empty() && !apart)
        why = points.size() < 2 ? "it has a single point" : "all its points lie on one spot of the map";
    if (!why.empty()) {
        points.clear();
        return false;
    }
    return true;
}
