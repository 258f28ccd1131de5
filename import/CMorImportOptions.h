// The command line of morvex-import: which vector file and layer, which
// attribute fields, which CRS; or --export, the way back to GeoJSON.
#pragma once

#include <string>

class CMorImportOptions
{
public:
    // The attributes a fence takes from its feature, in this order everywhere.
    enum Field { IMAGE, LABEL, LABEL_END, TOP, BOTTOM, CROP, FIELD_COUNT };

    // False with getErrorMessage for anything it cannot take; --help only
    // sets getShowHelp.
    bool parse(int argc, const char* const* argv);
    const std::string& getErrorMessage() const { return m_errorMessage; }
    static const char* getHelpText();

    bool getShowHelp() const { return m_showHelp; }
    // --export: INPUT is a description file, OUTPUT the GeoJSON to write.
    bool getExport() const { return m_export; }
    const std::string& getInput() const { return m_input; }
    const std::string& getOutput() const { return m_output; }
    // Empty when --layer is not given.
    const std::string& getLayer() const { return m_layer; }
    // The field's name as given, else its default (which is also the name
    // the export writes).
    const std::string& getFieldName(Field field) const { return m_fieldNames[field]; }
    // Whether the name was given: a field named on the command line must exist.
    bool isFieldGiven(Field field) const { return m_fieldGiven[field]; }
    static const char* getDefaultFieldName(Field field);
    // "auto" unless --crs names a CRS.
    const std::string& getCrs() const { return m_crs; }
    // Empty unless --source-crs gives one.
    const std::string& getSourceCrs() const { return m_sourceCrs; }

private:
    bool fail(const std::string& message);
    bool take(const std::string& option, const std::string& value);

    std::string m_errorMessage;
    bool m_showHelp = false;
    bool m_export = false;
    std::string m_input;
    std::string m_output;
    std::string m_layer;
    std::string m_fieldNames[FIELD_COUNT];
    bool m_fieldGiven[FIELD_COUNT] = {};
    std::string m_crs = "auto";
    std::string m_sourceCrs;
    // Options that only an import takes, for the message when --export has one.
    std::string m_importOption;
};
