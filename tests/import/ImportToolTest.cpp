// morvex-import run as the user runs it, on inputs that GDAL's own ogr2ogr
// makes: coordinates against PROJ's gdaltransform, attributes, refusals,
// and the way back to GeoJSON and again.
#include "CFenceDescription.h"
#include "CTestDiagramDir.h"
#include "ShellCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <tuple>
#include <string>
#include <vector>

namespace {

using Result = ShellResult;

// Source lines in longitude and latitude near 15 E 50 N: a labelled line with
// an elevation range, an unlabelled one with a crop and its label at the
// end, a MultiLineString whose parts join, and a point that is skipped.
const char SOURCE[] =
    "WKT,image,label,label_end,top,bottom,crop\n"
    "\"LINESTRING Z (15.1 50.2 300,15.15 50.22 310.5,15.2 50.25 320)\",a.png,A A',0,500,-100.25,\n"
    "\"LINESTRING Z (15.12 50.18 280,15.18 50.2 290)\",images/b.png,,1,,,\"1 2 30 15\"\n"
    "\"MULTILINESTRING Z ((15.05 50.1 250,15.07 50.12 260),(15.07 50.12 260,15.1 50.15 270))\",a.png,M,0,,,\n"
    "\"POINT (15.1 50.2)\",a.png,well,0,,,\n";

// The source's line vertices, in order, as x y.
const double LONGITUDE_LATITUDE[][2] = {{15.1, 50.2},   {15.15, 50.22}, {15.2, 50.25}, {15.12, 50.18},
                                        {15.18, 50.2},  {15.05, 50.1},  {15.07, 50.12}, {15.1, 50.15}};
const double ELEVATIONS[] = {300, 310.5, 320, 280, 290, 250, 260, 270};

class ImportTool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir.writePng("a.png", 40, 20, 220, 20, 20);
        dir.writePng("images/b.png", 32, 16, 20, 20, 220);
        dir.write("source.csv", SOURCE);
    }

    // A shell command in the scratch folder; its standard output and error.
    Result sh(const std::string& command) { return runShell("cd '" + dir.path() + "' && " + command); }

    Result import(const std::string& arguments) { return sh(std::string(MORVEX_IMPORT) + " " + arguments); }

    // The source as GeoJSON in longitude and latitude, its fields typed.
    void makeGeoJson()
    {
        ASSERT_EQ(sh("ogr2ogr -f GeoJSON -a_srs EPSG:4326 -oo AUTODETECT_TYPE=YES -oo EMPTY_STRING_AS_NULL=YES "
                     "-oo KEEP_GEOM_COLUMNS=NO lines.geojson source.csv").status, 0);
    }

    CFenceDescription read(const std::string& name)
    {
        CFenceDescription description;
        std::string error;
        EXPECT_TRUE(description.read(dir.file(name), error)) << error;
        return description;
    }

    // The source's vertices as PROJ transforms them to crs.
    std::vector<CFenceDescription::Point> projected(const std::string& crs)
    {
        std::string points;
        for (const auto& p : LONGITUDE_LATITUDE)
            points += std::to_string(p[0]) + " " + std::to_string(p[1]) + "\n";
        dir.write("points.txt", points);
        const Result result = sh("gdaltransform -s_srs EPSG:4326 -t_srs " + crs + " -output_xy < points.txt");
        std::istringstream in(result.output);
        std::vector<CFenceDescription::Point> xy;
        CFenceDescription::Point p{};
        while (in >> p.x >> p.y)
            xy.push_back(p);
        EXPECT_EQ(xy.size(), 8u) << result.output;
        return xy;
    }

    CTestDiagramDir dir;
};

} // namespace

// Every input kind imports to the same fences, projected as PROJ projects
// them (to the centimetre), elevations copied, attributes carried over.
TEST_F(ImportTool, EveryInputKindGivesTheFencesProjPlaces)
{
    makeGeoJson();
    // A Shapefile holds lines only: the point is left out.
    ASSERT_EQ(sh("ogr2ogr -f 'ESRI Shapefile' -t_srs EPSG:32633 -skipfailures lines.shp lines.geojson").status, 0);
    ASSERT_EQ(sh("ogr2ogr -f GPKG -nln sections lines.gpkg lines.geojson && "
                 "ogr2ogr -f GPKG -update -nln wells lines.gpkg lines.geojson").status, 0);
    dir.write("out/.keep", "");
    const struct {
        std::string arguments, crs, unlabelled;
        bool point;
    } inputs[] = {
        {"lines.geojson", "EPSG:32633", "1", true},
        {"lines.shp", "EPSG:32633", "1", false},
        {"lines.gpkg --layer sections", "EPSG:32633", "2", true},
        {"lines.geojson --crs EPSG:3035", "EPSG:3035", "1", true},
    };
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.arguments);
        const Result result = import(input.arguments + " -o out/d.fnc");
        ASSERT_EQ(result.status, 0) << result.output;
        EXPECT_NE(result.output.find("CRS used: " + input.crs + " ("), std::string::npos) << result.output;
        EXPECT_EQ(result.output.find("(\"well\") is skipped: it is a Point, not a line.") != std::string::npos,
                  input.point) << result.output;
        const CFenceDescription d = read("out/d.fnc");
        EXPECT_EQ(d.options.crs, input.crs);
        ASSERT_EQ(d.fences.size(), 3u);
        std::vector<CFenceDescription::Point> points;
        for (const auto& fence : d.fences)
            points.insert(points.end(), fence.points.begin(), fence.points.end());
        const std::vector<CFenceDescription::Point> expected = projected(input.crs);
        ASSERT_EQ(points.size(), expected.size());
        for (size_t i = 0; i < points.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_NEAR(points[i].x, expected[i].x, 0.01);
            EXPECT_NEAR(points[i].y, expected[i].y, 0.01);
            EXPECT_EQ(points[i].z, ELEVATIONS[i]);
        }
        const auto &first = d.fences[0], &second = d.fences[1];
        EXPECT_EQ(std::make_tuple(first.imageToken, first.description, second.imageToken, second.description,
                                  d.fences[2].description),
                  std::make_tuple("../a.png", "A_A'", "../images/b.png", input.unlabelled, "M"));
        EXPECT_TRUE(first.hasElevation && first.top == 500 && first.bottom == -100.25 && !first.hasCrop);
        EXPECT_EQ(second.labelEnd, 1);
        EXPECT_FALSE(second.hasElevation);
        EXPECT_TRUE(second.hasCrop);
        EXPECT_EQ(std::vector<int>(second.crop, second.crop + 4), (std::vector<int>{1, 2, 30, 15}));
    }
}

TEST_F(ImportTool, RefusalsWriteNothingAndSouthernLinesTakeTheSouthernZone)
{
    makeGeoJson();
    ASSERT_EQ(sh("ogr2ogr -f GPKG -nln sections lines.gpkg lines.geojson && "
                 "ogr2ogr -f GPKG -update -nln wells lines.gpkg lines.geojson").status, 0);
    const std::string line = "\"LINESTRING (15.1 50.2,15.2 50.25)\"", geographic = " --source-crs EPSG:4326";
    dir.write("my a.png", "");
    // Each refusal: its input (made by the table when a CSV text is given), its options and its message.
    const struct {
        std::string file, csv, options, message;
    } refusals[] = {
        {"points.csv", "WKT,image\n\"POINT (15.1 50.2)\",a.png\n", geographic,
         "Layer points of points.csv holds no line features (1 feature skipped)."},
        {"lines.geojson", "", " --label-field name",
         "Layer source has no field name: its fields are image, label, label_end, top, bottom, crop."},
        {"noimage.csv", "WKT,picture\n" + line + ",a.png\n", geographic, "Layer noimage has no field image naming the "
         "pictures (--image-field names another): its fields are WKT, picture."},
        {"lost.csv", "WKT,image,label\n" + line + ",lost.png,L\n", geographic,
         "Feature 1 (\"L\"): its picture ./lost.png does not exist."},
        {"blank.csv", "WKT,image\n" + line + ",my a.png\n", geographic,
         "Feature 1: the path of its picture, \"my a.png\", holds blanks"},
        {"lines.gpkg", "", "", "lines.gpkg holds 2 layers; choose one with --layer: sections, wells."},
        {"lines.gpkg", "", " --layer faults", "lines.gpkg has no layer faults; its layers are sections, wells."},
        {"utm.csv", "WKT,image\n\"LINESTRING (500000 5500000,501000 5500000)\",a.png\n", "",
         "The layer carries no CRS: give it with --source-crs"},
        {"polar.csv", "WKT,image\n\"LINESTRING (15 84.5,16 84.6)\",a.png\n", geographic,
         "Feature 1 reaches latitude 84.5, beyond 84 degrees, where the UTM zones end"},
        {"across.csv", "WKT,image\n\"LINESTRING (179.5 -17,179.9 -17)\",a.png\n\"LINESTRING (-179.9 -17,-179.5 -17)\","
         "a.png\n", geographic, "The lines lie across the antimeridian"},
        {"utm.csv", "", geographic, "Feature 1: its point (500000, 5500000) is no longitude and latitude."},
        {"lines.geojson", "", " --crs EPSG:4326", "--crs EPSG:4326 names EPSG:4326 (WGS 84), which is not projected"},
        {"lines.geojson", "", " --crs EPSG:99999999", "--crs EPSG:99999999 is no CRS that GDAL knows"},
        {"halfrange.csv", "WKT,image,top\n" + line + ",a.png,100\n", geographic,
         "Feature 1 has a top but no bottom: an elevation range needs both."},
        {"upside.csv", "WKT,image,top,bottom\n" + line + ",a.png,-5,10\n", geographic,
         "Feature 1: its top -5 does not lie above its bottom 10."},
        {"badcrop.csv", "WKT,image,crop\n" + line + ",a.png,1 2 3\n", geographic,
         "Feature 1: its crop \"1 2 3\" is not \"X0 Y0 X1 Y1\""},
        {"widecrop.csv", "WKT,image,crop\n" + line + ",a.png,0 0 41 20\n", geographic,
         "Feature 1: its crop \"0 0 41 20\" reaches beyond its picture, which has 40 x 20 pixels."},
        {"badend.csv", "WKT,image,label_end\n" + line + ",a.png,2\n", geographic,
         "Feature 1: its label_end \"2\" is not 0 (the label over the first point)"},
        {"missing.geojson", "", "", "Cannot read missing.geojson as vector data"},
    };
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.file + refusal.options);
        if (!refusal.csv.empty())
            dir.write(refusal.file, refusal.csv);
        const Result result = import(refusal.file + refusal.options + " -o d.fnc");
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.output.find("morvex-import: " + refusal.message), std::string::npos) << result.output;
        EXPECT_FALSE(std::ifstream(dir.file("d.fnc")).good());
    }
    const Result unjoined = import("lines.geojson --crs EPSG:32633 -o d.fnc");
    ASSERT_EQ(unjoined.status, 0);
    // South of the equator, the zone's southern CRS.
    dir.write("apart.csv", "WKT,image\n\"MULTILINESTRING ((18.1 -33.9,18.2 -33.9),(18.3 -33.9,18.4 -33.9))\",a.png\n"
                           "\"LINESTRING (18.4 -33.9,18.5 -33.95)\",a.png\n");
    const Result apart = import("apart.csv" + geographic + " -o d.fnc");
    EXPECT_EQ(apart.status, 0);
    EXPECT_NE(apart.output.find("morvex-import: warning: Feature 1 is skipped: it is a MultiLineString whose parts "
                                "do not join end to start."), std::string::npos) << apart.output;
    EXPECT_NE(apart.output.find("CRS used: EPSG:32734 (WGS 84 / UTM zone 34S), the UTM zone of the centre of the "
                                "lines"), std::string::npos) << apart.output;
    EXPECT_EQ(read("d.fnc").fences.size(), 1u);
}

// Import, export, import: the same diagram, the coordinates through longitude
// and latitude to the centimetre; the export is RFC 7946 GeoJSON GDAL reads.
// That an imported diagram opens and draws runs end to end in the GUI test.
TEST_F(ImportTool, ExportImportsAgainToTheSameDiagram)
{
    makeGeoJson();
    ASSERT_EQ(import("lines.geojson -o first.fnc").status, 0);
    const Result exported = import("--export first.fnc -o back.geojson");
    ASSERT_EQ(exported.status, 0) << exported.output;
    const Result info = sh("ogrinfo -ro -al -so back.geojson");
    EXPECT_NE(info.output.find("Geometry: 3D Line String"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("GEOGCRS[\"WGS 84\""), std::string::npos) << info.output;
    ASSERT_EQ(import("back.geojson -o again.fnc").status, 0);
    const CFenceDescription first = read("first.fnc"), again = read("again.fnc");
    EXPECT_EQ(again.options.crs, first.options.crs);
    ASSERT_EQ(again.fences.size(), first.fences.size());
    for (size_t f = 0; f < first.fences.size(); ++f) {
        const auto &a = first.fences[f], &b = again.fences[f];
        EXPECT_EQ(std::make_tuple(b.imageToken, b.description, b.labelEnd, b.hasElevation, b.top, b.bottom, b.hasCrop),
                  std::make_tuple(a.imageToken, a.description, a.labelEnd, a.hasElevation, a.top, a.bottom, a.hasCrop));
        EXPECT_TRUE(std::equal(a.crop, a.crop + 4, b.crop));
        ASSERT_EQ(b.points.size(), a.points.size());
        for (size_t i = 0; i < a.points.size(); ++i) {
            EXPECT_NEAR(b.points[i].x, a.points[i].x, 0.01);
            EXPECT_NEAR(b.points[i].y, a.points[i].y, 0.01);
            EXPECT_EQ(b.points[i].z, a.points[i].z);
        }
    }

    dir.write("plain.fnc", "#MORVEX1\n1\n2\n0 0 0\n10 0 0\na.png\n-\n0\n0 0 0\n0 0 0\n0 0 0\n");
    const Result refused = import("--export plain.fnc -o plain.geojson");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("morvex-import: plain.fnc names no CRS"), std::string::npos) << refused.output;
    EXPECT_FALSE(std::ifstream(dir.file("plain.geojson")).good());

}

TEST_F(ImportTool, BadCommandLines)
{
    const struct {
        std::string arguments, message;
    } bad[] = {
        {"", "No input file given."},
        {"a.geojson", "No output file given (-o OUTPUT.fnc)."},
        {"--export d.fnc", "No output file given (-o OUTPUT.geojson)."},
        {"--export d.fnc -o x.geojson --layer a", "Option --layer is for importing; --export takes only -o."},
        {"a.geojson -o d.fnc --frobnicate", "Unknown option --frobnicate."},
        {"a.geojson -o d.fnc --crs", "Option --crs needs a value."},
        {"a.geojson b.geojson", "More than one input given"},
    };
    for (const auto& c : bad) {
        const Result result = import(c.arguments);
        EXPECT_EQ(result.status, 2) << c.arguments;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << c.arguments << "\n" << result.output;
    }
    EXPECT_EQ(import("--help").status, 0);
}
