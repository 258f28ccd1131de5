// Turns the features of a layer of section lines into fences: the geometry
// into one polyline, the attribute fields into the picture, the label, the
// label end, the elevation range and the crop.
#pragma once

#include "CMorImportOptions.h"
#include "CMorSectionLine.h"

#include <string>
#include <vector>

class OGRFeature;
class OGRFeatureDefn;
class OGRGeometry;

class CMorFeatureConverter
{
public:
    enum Outcome { ACCEPTED, SKIPPED, REFUSED };

    // Finds the fields in the layer's definition (borrowed for the call),
    // their names in any letter case. False with a message that lists the
    // layer's fields when a field the options name, or the image field,
    // is not there.
    bool bind(const OGRFeatureDefn& definition, const CMorImportOptions& options, const std::string& layerName,
              std::string& error);
    // Relative picture paths are taken against pictureFolder; the paths
    // written are relative to outputFolder (absolute).
    void setFolders(const std::string& pictureFolder, const std::string& outputFolder);

    // ACCEPTED with line filled in; SKIPPED (not a line) or REFUSED (an
    // attribute that cannot be used) with message saying why, naming the
    // feature. ordinal counts the features from 1, for a feature without id.
    Outcome convert(const OGRFeature& feature, long long ordinal, CMorSectionLine& line,
                    std::string& message) const;

    // The points of a LineString, or of a MultiLineString whose parts join
    // end to start (curves are made straight first); false with why
    // completing "it ..." when the geometry is none of these or unusable.
    static bool readLine(const OGRGeometry* geometry, std::vector<CFenceDescription::Point>& points,
                         std::string& why);

private:
    // The picture's token into line, with path the file it names.
    bool readPicture(const OGRFeature& feature, CMorSectionLine& line, std::string& path, std::string& error) const;
    // Everything else; picture is the file that a crop must fit.
    bool readAttributes(const OGRFeature& feature, const std::string& picture, CMorSectionLine& line,
                        std::string& error) const;
    // The field's value as a number when the feature has one (false when
    // not), with its text for messages: numeric fields as stored, text fields
    // when the whole text is a number; valid says whether it is a finite one.
    bool numberOf(const OGRFeature& feature, CMorImportOptions::Field field, double& value, std::string& text,
                  bool& valid) const;
    // The field's text when the feature has a value for it that is not empty.
    bool textOf(const OGRFeature& feature, CMorImportOptions::Field field, std::string& text) const;

    int m_index[CMorImportOptions::FIELD_COUNT] = {-1, -1, -1, -1, -1, -1};
    // The field names as the layer spells them.
    std::string m_names[CMorImportOptions::FIELD_COUNT];
    std::string m_pictureFolder = ".";
    std::string m_outputFolder = "/";
};
