// Description files: reading with checked tokens, writing that reads back
// bit-identical, paths and images by extension.
#include "CFenceDescription.h"
#include "CZelFileImage.h"
#include "CZelPointer.h"
#include "fenceFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const GOOD = "#MORVEX1\n"
                         "2\n"
                         "2\n"
                         "6543210.57 512345.25 101.5\n"
                         "6543310.57 512345.25 99\n"
                         "sub/a.png\n"
                         "North-South\n"
                         "0\n"
                         "3\n"
                         "1 2 3\n"
                         "4 5 6\n"
                         "7 8 9.125\n"
                         "b.JPG\n"
                         "-\n"
                         "1\n"
                         "6543260.5 400.25 512000.75\n"
                         "6543260 100 512345\n"
                         "45 1.5 3000\n"
                         "legend.bmp\n"
                         "10 20\n"
                         "2 1\n"
                         "0.3\n";

bool parse(const std::string& text, CFenceDescription& d, std::string& error)
{
    return d.parse(text, "test.fnc", error);
}

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> result;
    std::string w;
    while (in >> w)
        result.push_back(w);
    return result;
}

std::string join(const std::vector<std::string>& w, size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += w[i] + "\n";
    return text;
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(DescriptionFile, ReadsEveryField)
{
    CFenceDescription d;
    std::string error;
    ASSERT_TRUE(parse(GOOD, d, error)) << error;
    ASSERT_EQ(d.fences.size(), 2u);
    EXPECT_EQ(d.fences[0].points.size(), 2u);
    EXPECT_EQ(d.fences[0].points[0].x, 6543210.57);
    EXPECT_EQ(d.fences[0].points[0].z, 101.5);
    EXPECT_EQ(d.fences[0].imageToken, "sub/a.png");
    EXPECT_EQ(d.fences[0].description, "North-South");
    EXPECT_EQ(d.fences[0].labelEnd, 0);
    EXPECT_EQ(d.fences[1].description, "");
    EXPECT_EQ(d.fences[1].labelEnd, 1);
    EXPECT_EQ(d.cameraPosition[2], 512000.75);
    EXPECT_EQ(d.cameraPerspective[2], 3000.0);
    ASSERT_TRUE(d.hasLegend);
    EXPECT_EQ(d.legend.token, "legend.bmp");
    EXPECT_EQ(d.legend.marginX, 10);
    EXPECT_EQ(d.legend.marginY, 20);
    EXPECT_EQ(d.legend.positionX, 2);
    EXPECT_TRUE(d.legend.top);
    EXPECT_EQ(d.legend.size, 0.3);
}

TEST(DescriptionFile, ToleratedVariants)
{
    CFenceDescription d;
    std::string error;
    // Any first word; CR LF line ends; tabs.
    std::string text = GOOD;
    text.replace(0, 8, "whatever");
    ASSERT_TRUE(parse(text, d, error)) << error;

    std::string crlf;
    for (char c : std::string(GOOD)) {
        if (c == '\n')
            crlf += '\r';
        crlf += c == ' ' ? '\t' : c;
    }
    ASSERT_TRUE(parse(crlf, d, error)) << error;
    EXPECT_EQ(d.legend.size, 0.3);

    // Placement 5 7 is left and bottom.
    std::string placement = GOOD;
    placement.replace(placement.find("2 1\n"), 4, "5 7\n");
    ASSERT_TRUE(parse(placement, d, error)) << error;
    EXPECT_EQ(d.legend.positionX, 0);
    EXPECT_FALSE(d.legend.top);

    // Ending after the camera, with or without a line end: no legend.
    const std::vector<std::string> w = words(GOOD);
    const size_t cameraEnd = w.size() - 6;
    for (const std::string& ending : {std::string("\n"), std::string(""), std::string("  \n\n")}) {
        std::string shortText = join(w, cameraEnd);
        shortText.pop_back();
        ASSERT_TRUE(parse(shortText + ending, d, error)) << error;
        EXPECT_FALSE(d.hasLegend);
    }
}

TEST(DescriptionFile, EveryTruncationFailsWithAMessage)
{
    const std::vector<std::string> w = words(GOOD);
    const size_t cameraEnd = w.size() - 6;
    for (size_t count = 0; count < w.size(); ++count) {
        if (count == cameraEnd)
            continue;
        CFenceDescription d;
        std::string error;
        EXPECT_FALSE(parse(join(w, count), d, error)) << "cut after " << count << " words";
        EXPECT_NE(error.find("is missing: the file ends early."), std::string::npos) << error;
    }
}

TEST(DescriptionFile, BadValuesAreNamedWithLineAndFence)
{
    struct Case {
        std::string from, to, expected;
    };
    const Case cases[] = {
        {"#MORVEX1\n2\n", "#MORVEX1\n0\n", "the diagram has no fences"},
        {"#MORVEX1\n2\n", "#MORVEX1\n-3\n", "the diagram has no fences"},
        {"#MORVEX1\n2\n", "#MORVEX1\ntwo\n", "line 2: the number of fences must be a whole number, not \"two\""},
        {"0\n3\n1 2 3", "0\n1\n1 2 3", "line 9: fence 2 of 2: the number of points 1 is out of range (2 to 1000000)"},
        {"0\n3\n1 2 3", "0\n99999999999999999999\n1 2 3", "fence 2 of 2: the number of points 99999999999999999999 is out of range"},
        {"0\n3\n1 2 3", "0\n2000000\n1 2 3", "fence 2 of 2: the number of points 2000000 is out of range"},
        {"4 5 6", "4 five 6", "line 11: fence 2 of 2: point 2 Y must be a number, not \"five\""},
        {"4 5 6", "4 nan 6", "fence 2 of 2: point 2 Y must be a finite number, not \"nan\""},
        {"4 5 6", "4 5 -inf", "point 2 Z must be a finite number"},
        {"4 5 6", "4 5 1e999", "point 2 Z must be a finite number"},
        {"-\n1\n", "-\nlast\n", "fence 2 of 2: the label end (0 or 1) must be a whole number"},
        {"45 1.5 3000", "45 1.5x 3000", "line 18: camera: near plane must be a number, not \"1.5x\""},
        {"10 20", "10 20.5", "line 20: legend: the vertical margin must be a whole number"},
    };
    for (const Case& c : cases) {
        std::string text = GOOD;
        const size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        text.replace(at, c.from.size(), c.to);
        CFenceDescription d;
        std::string error;
        EXPECT_FALSE(parse(text, d, error)) << c.to;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_EQ(error.rfind("test.fnc", 0), 0u) << error;
    }
}

TEST(DescriptionFile, WritingReadsBackBitIdentical)
{
    CFenceDescription d;
    std::string error;
    ASSERT_TRUE(parse(GOOD, d, error)) << error;
    d.cameraPosition[0] = 6543210.123456789;
    d.cameraTarget[1] = 1.0 / 3.0;
    const std::string written = d.format();
    EXPECT_NE(written.find("6543210.57 512345.25 101.5\n"), std::string::npos) << written;
    EXPECT_NE(written.find("7 8 9.125\nb.JPG\n-\n1\n"), std::string::npos) << written;
    EXPECT_NE(written.find("legend.bmp\n10 20\n2 1\n0.3\n"), std::string::npos) << written;

    CFenceDescription back;
    ASSERT_TRUE(parse(written, back, error)) << error;
    EXPECT_EQ(back.format(), written);
    EXPECT_TRUE(sameBits(back.cameraPosition[0], 6543210.123456789));
    EXPECT_TRUE(sameBits(back.cameraTarget[1], 1.0 / 3.0));
    for (size_t f = 0; f < d.fences.size(); ++f)
        for (size_t p = 0; p < d.fences[f].points.size(); ++p) {
            EXPECT_TRUE(sameBits(back.fences[f].points[p].x, d.fences[f].points[p].x));
            EXPECT_TRUE(sameBits(back.fences[f].points[p].y, d.fences[f].points[p].y));
            EXPECT_TRUE(sameBits(back.fences[f].points[p].z, d.fences[f].points[p].z));
        }

    d.hasLegend = false;
    EXPECT_EQ(d.format().find("legend.bmp"), std::string::npos);
}

TEST(DescriptionFile, FilesThatCannotBeRead)
{
    CFenceDescription d;
    std::string error;
    EXPECT_FALSE(d.read("/nonexistent/x.fnc", error));
    EXPECT_EQ(error, "Cannot open /nonexistent/x.fnc: No such file or directory.");
    EXPECT_FALSE(d.read("/tmp", error));
    EXPECT_EQ(error, "Cannot open /tmp: it is not a file.");
}

TEST(DescriptionFile, PathsAndExtensions)
{
    std::string dir, name;
    splitPath("C:\\data\\d.fnc", dir, name);
    EXPECT_EQ(dir, "C:/data");
    EXPECT_EQ(name, "d.fnc");
    splitPath("plain.fnc", dir, name);
    EXPECT_EQ(dir, "");
    EXPECT_EQ(name, "plain.fnc");
    std::string base, extension;
    splitExtension("/a.b/c", base, extension);
    EXPECT_EQ(extension, "b/c");
    splitExtension("noext", base, extension);
    EXPECT_EQ(extension, "");

    EXPECT_FALSE(fileExists("/tmp"));
    EXPECT_FALSE(fileExists("/nonexistent"));
    EXPECT_TRUE(fileExists("/proc/self/status"));
}

TEST(DescriptionFile, ImagesByExtension)
{
    std::string message = "untouched", detail = "untouched";
    EXPECT_EQ(readImageByExtension("/tmp/a.Png", message, detail), nullptr);
    EXPECT_EQ(message, "Unsupported file format.");
    EXPECT_EQ(detail, "");

    char dir[] = "/tmp/morvex-images-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string bad = std::string(dir) + "/bad.PNG";
    std::ofstream(bad) << "not a picture";
    EXPECT_EQ(readImageByExtension(bad, message, detail), nullptr);
    EXPECT_EQ(message, "Unsupported PNG image file. Make sure the file is true-color.");
    EXPECT_EQ(detail.rfind(bad + ": ", 0), 0u) << detail;
    const std::string badJpeg = std::string(dir) + "/bad.jpeg";
    std::ofstream(badJpeg) << "no";
    EXPECT_EQ(readImageByExtension(badJpeg, message, detail), nullptr);
    EXPECT_EQ(message, "Unsupported JPEG image file.");

    const std::string good = std::string(MORVEX_SOURCE_DIR) + "/data/examples/images/legend.png";
    message = "kept";
    CZelPointer<CZelFileImage> image(readImageByExtension(good, message, detail));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(message, "kept");
    EXPECT_EQ(detail, "");
    EXPECT_GT(image->getWidth(), 0);
    unlink(bad.c_str());
    unlink(badJpeg.c_str());
    rmdir(dir);
}
