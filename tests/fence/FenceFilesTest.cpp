// Description files: checked reading, writing that reads back bit-identical;
// paths, images by extension, and pictures read ahead on threads.
#include "CFenceDescription.h"
#include "CFenceImageReader.h"
#include "ChildOutput.h"
#include "CTestDiagramDir.h"
#include "CZelFileImage.h"
#include "CZelPointer.h"
#include "CZelVec3d.h"
#include "fenceFiles.h"
#include "formatReal.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstring>
#include <random>
#include <sstream>

namespace {

const std::string IMAGES = std::string(MORVEX_SOURCE_DIR) + "/data/examples/images/";

const char* const GOOD = "#MORVEX1\n2\n"
                         "2\n6543210.57 512345.25 101.5\n6543310.57 512345.25 99\nsub/a.png\nNorth-South\n0\n"
                         "3\n1 2 3\n4 5 6\n7 8 9.125\nb.JPG\n-\n1\n"
                         "6543260.5 400.25 512000.75\n6543260 100 512345\n45 1.5 3000\n"
                         "legend.bmp\n10 20\n2 1\n0.3\n";

bool parse(const std::string& text, CFenceDescription& d, std::string& error)
{
    return d.parse(text, "test.fnc", error);
}

// The first count words of GOOD, one a line.
std::string firstWords(size_t count)
{
    std::istringstream in(GOOD);
    std::string text, w;
    for (size_t i = 0; i < count && in >> w; ++i)
        text += w + "\n";
    return text;
}

// GOOD has 40 words; the legend takes the last 6.
constexpr size_t WORDS = 40, CAMERA_END = WORDS - 6;

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(DescriptionFile, ReadsEveryFieldAndToleratedVariants)
{
    CFenceDescription d;
    std::string error;
    ASSERT_TRUE(parse(GOOD, d, error)) << error;
    // Writing it back tells every field; these are what the words mean.
    ASSERT_EQ(d.fences.size(), 2u);
    EXPECT_EQ(d.fences[1].description, ""); // "-"
    ASSERT_TRUE(d.hasLegend);
    EXPECT_EQ(d.legend.positionX, 2);
    EXPECT_TRUE(d.legend.top);

    // Any first word; CR LF line ends and tabs.
    ASSERT_TRUE(parse(std::string("whatever") + (GOOD + 8), d, error)) << error;
    std::string crlf;
    for (char c : std::string(GOOD))
        crlf += c == '\n' ? "\r\n" : c == ' ' ? "\t" : std::string(1, c);
    ASSERT_TRUE(parse(crlf, d, error)) << error;
    EXPECT_EQ(d.legend.size, 0.3);
    // Placement 5 7 is left and bottom.
    std::string placement = GOOD;
    placement.replace(placement.find("2 1\n"), 4, "5 7\n");
    ASSERT_TRUE(parse(placement, d, error)) << error;
    EXPECT_EQ(d.legend.positionX, 0);
    EXPECT_FALSE(d.legend.top);
    // Ending after the camera, with or without a line end: no legend.
    for (const char* ending : {"\n", "", "  \n\n"}) {
        std::string text = firstWords(CAMERA_END);
        text.pop_back();
        ASSERT_TRUE(parse(text + ending, d, error)) << error;
        EXPECT_FALSE(d.hasLegend);
    }
}

TEST(DescriptionFile, AFileCutAfterAnyWordSaysWhatIsMissing)
{
    CFenceDescription d;
    std::string error;
    ASSERT_TRUE(parse(firstWords(WORDS), d, error)) << error;
    for (size_t count = 0; count < WORDS; ++count)
        if (count != CAMERA_END) {
            EXPECT_FALSE(parse(firstWords(count), d, error)) << "cut after " << count << " words";
            EXPECT_NE(error.find("is missing: the file ends early."), std::string::npos) << error;
        }
}

TEST(DescriptionFile, AFileOfAnotherKindIsNamedByItsFirstWordBeforeTheReason)
{
    const std::string bom = "\xEF\xBB\xBF";
    const std::string notOne = "test.fnc is not a Morvex description file (it begins with ";
    const struct {
        std::string text, start;
    } cases[] = {
        {bom + "Fence diagrams\n", notOne + "\"Fence\").\ntest.fnc, line 1: the number of fences"},
        {std::string(300, 'x') + " 1\n", notOne + "\"" + std::string(20, 'x') + "\").\ntest.fnc, line 2: fence 1"},
        // A control, UTF-8 kept whole, an overlong "/" and a surrogate as one "?" a byte.
        {"\x7f\xc3\xa9t\xc3\xa9\xe2\x82\xac\xc0\xaf\xed\xa0\x80\xf0\x9f\x98\x80 ",
         notOne + "\"?\xc3\xa9t\xc3\xa9\xe2\x82\xac?????\xf0\x9f\x98\x80\").\n"},
        // A description's own first word: only the reason.
        {bom + "#MORVEX2\ntwo\n", "test.fnc, line 2: diagram options: expected a diagram option or \"end\""},
    };
    CFenceDescription d;
    std::string error;
    for (const auto& c : cases) {
        EXPECT_FALSE(parse(c.text, d, error)) << c.text;
        EXPECT_EQ(error.substr(0, c.start.size()), c.start);
    }
    // Files that read stay unchecked, with or without a byte-order mark.
    EXPECT_TRUE(parse(bom + GOOD, d, error)) << error;
    EXPECT_TRUE(parse("anything" + std::string(GOOD + 8), d, error)) << error;
}

TEST(DescriptionFile, WritingIsShortestAndReadsBackBitIdentical)
{
    CFenceDescription d, back;
    std::string error;
    ASSERT_TRUE(parse(GOOD, d, error)) << error;
    EXPECT_EQ(d.format(), GOOD);
    d.cameraPosition[0] = 6543210.123456789;
    d.cameraTarget[1] = 1.0 / 3.0;
    ASSERT_TRUE(parse(d.format(), back, error)) << error;
    EXPECT_EQ(back.format(), d.format());
    EXPECT_TRUE(sameBits(back.cameraPosition[0], 6543210.123456789));
    EXPECT_TRUE(sameBits(back.cameraTarget[1], 1.0 / 3.0));
    d.hasLegend = false;
    EXPECT_EQ(d.format().find("legend.bmp"), std::string::npos);

    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> coordinate(-1e7, 1e7);
    std::uniform_int_distribution<uint64_t> bits;
    for (int i = 0; i < 20000; ++i) {
        double v = coordinate(random);
        if (i % 2) {
            const uint64_t b = bits(random);
            std::memcpy(&v, &b, sizeof v);
            if (!std::isfinite(v) || std::fpclassify(v) == FP_SUBNORMAL)
                continue;
        }
        std::istringstream in(formatReal(v));
        double back = 0.0;
        in >> back;
        EXPECT_TRUE(!in.fail() && sameBits(back, v)) << formatReal(v);
    }
}

TEST(DescriptionFile, Format2HoldsEveryOptionInTheTablesOrderAndDefaultsWriteFormat1)
{
    // Every diagram option away from its default, as the writer orders them.
    const std::string options = "vertical-exaggeration 2.5\naxis-labels map\ncrs EPSG:32633\nbackground gradient\n"
                                "solid-color 0.1 0.2 0.3\nupper-color 1 0 0\nlower-color 0 1 0\nlighting on\n"
                                "light-direction 5\nantialias 0\nremove-white off\nwhite-tolerance 12\n"
                                "bounding-box off\nbounding-box-color 0.5 0.25 1\naxes off\nline-width 3\n"
                                "text-size 0.05\nmargin 0\ntext-color 1 1 0.75\nlabel-intervals 2 3 1000\n"
                                "legend off\nend\n";
    const std::string fences = "2\n2\n0 0 10\n400 0 10\na.png\nA-A'\n0\nelevation 500 -6000.5\ncrop 120 80 3900 1020\n"
                               "end\n2\n0 0 20\n0 100 20\nb.png\n-\n1\nend\n";
    const std::string camera = "1 2 3\n4 5 6\n45 1 100\n";
    CFenceDescription d;
    std::string error;
    ASSERT_TRUE(parse("#MORVEX2\n" + options + fences + camera, d, error)) << error;
    EXPECT_EQ(d.fileFormat, 2);
    EXPECT_EQ(d.options.verticalExaggeration, 2.5);
    EXPECT_EQ(d.options.crs, "EPSG:32633");
    EXPECT_EQ(d.options.antialias, 0);
    EXPECT_EQ(d.options.labelIntervals[2], 1000);
    EXPECT_EQ(d.options.solidColor[1], 0.2f);
    ASSERT_EQ(d.fences.size(), 2u);
    EXPECT_TRUE(d.fences[0].hasElevation && d.fences[0].hasCrop && !d.fences[1].hasElevation);
    EXPECT_EQ(CZelVec3d(d.fences[0].top, d.fences[0].bottom, d.fences[0].cropLine), CZelVec3d(500, -6000.5, 32));
    EXPECT_EQ(d.fences[0].crop[3], 1020);
    EXPECT_EQ(d.format(), "#MORVEX2\n" + options + fences + camera);

    // Options in another order, or all at their defaults: the same settings.
    CFenceDescription shuffled;
    ASSERT_TRUE(parse("#MORVEX2\nlegend off\nvertical-exaggeration 2.5\nend\n" + fences + camera, shuffled, error));
    EXPECT_EQ(shuffled.format().substr(0, 50), "#MORVEX2\nvertical-exaggeration 2.5\nlegend off\nend\n");
    CFenceDescription plain;
    ASSERT_TRUE(parse("#MORVEX2\nvertical-exaggeration 1\naxis-labels distance\nend\n2\n2\n0 0 10\n400 0 10\na.png\n"
                      "A-A'\n0\nend\n2\n0 0 20\n0 100 20\nb.png\n-\n1\nend\n" + camera,
                      plain, error))
        << error;
    EXPECT_EQ(plain.neededFormat(), 1);
    EXPECT_EQ(plain.format(), "#MORVEX1\n2\n2\n0 0 10\n400 0 10\na.png\nA-A'\n0\n2\n0 0 20\n0 100 20\nb.png\n-\n1\n" +
                                  camera);
}

TEST(DescriptionFile, PathsAndImagesByExtension)
{
    std::string dir, name, base, extension;
    splitPath("C:\\data\\d.fnc", dir, name);
    splitPath("plain.fnc", base, extension);
    EXPECT_EQ(dir + "|" + name + " " + base + "|" + extension, "C:/data|d.fnc |plain.fnc");
    splitExtension("/a.b/c", base, extension);
    splitExtension("noext", base, name);
    EXPECT_EQ(extension + "|" + name, "b/c|");
    EXPECT_FALSE(fileExists("/tmp") || fileExists("/nonexistent"));
    EXPECT_TRUE(fileExists("/proc/self/status"));

    std::string message, detail;
    const std::string pages = std::string(MORVEX_SOURCE_DIR) + "/tests/data/images/good/tiff-two-pages_c3_colour.tif";
    CZelPointer<CZelFileImage> tiff(readImageByExtension(pages, message, detail));
    ASSERT_NE(tiff, nullptr);
    EXPECT_EQ(detail, "Image " + pages + " has 2 pages; the first is shown.");
}

TEST(DescriptionFile, AnAbsoluteImageTokenIsTakenAsItStandsOnlyWhenNothingIsUnderTheFolder)
{
    CTestDiagramDir elsewhere, folder;
    const std::string absolute = elsewhere.writePng("x.png", 2, 2, 0, 0, 0);
    const std::string under = folder.path() + "/" + absolute;
    EXPECT_EQ(resolveImagePath(folder.path(), "x.png"), folder.path() + "/x.png");
    EXPECT_EQ(resolveImagePath(folder.path(), absolute), absolute);
    EXPECT_EQ(resolveImagePath(folder.path(), absolute + ".gone"), under + ".gone");
    folder.writePng(absolute.substr(1), 2, 2, 0, 0, 0);
    EXPECT_EQ(resolveImagePath(folder.path(), absolute), under);
}

TEST(DescriptionFile, SavingElsewhereRenamesRelativePicturesFromTheNewFolder)
{
    struct Case {
        const char *from, *to, *token, *rebased;
    } cases[] = {{"/d", "/d/copies", "images/a.png", "../images/a.png"},
                 {"/d/copies", "/d", "../images/a.png", "images/a.png"},
                 {"/d", "/e/f", "./images/../a.png", "../../d/a.png"},
                 {"/d", "/d", "images/a.png", "images/a.png"},
                 {"/d", "/e", "/abs/a.png", "/abs/a.png"}};
    for (const Case& c : cases) {
        std::string token = c.token, error;
        EXPECT_TRUE(rebaseImageToken(c.from, c.to, token, error)) << error;
        EXPECT_EQ(token, c.rebased) << c.token;
    }
    // A description word holds no blanks.
    std::string token = "images/a.png", error;
    EXPECT_FALSE(rebaseImageToken("/my data", "/elsewhere", token, error));
    EXPECT_EQ(token, "images/a.png");
    EXPECT_NE(error.find("blank"), std::string::npos) << error;
}

TEST(ImageReaderThread, HandsOutEveryPictureInOrderWithTheMessagesOfASequentialRead)
{
    CTestDiagramDir dir;
    std::vector<std::string> paths = {IMAGES + "section-a.png", IMAGES + "section-b.jpg",
                                      dir.write("bad.png", "not a picture"), IMAGES + "section-d.bmp",
                                      dir.file("missing.jpg"), IMAGES + "legend.png", IMAGES + "section-e.jpg",
                                      IMAGES + "section-c.png"};
    // What a picture taken with its message and detail tells, and what a sequential read tells of each.
    const auto told = [](CZelFileImage* image, const std::string& message, const std::string& detail) {
        return image ? std::to_string(image->getWidth()) + "x" + std::to_string(image->getHeight()) + " " +
                           image->getFileName()
                     : message + "|" + detail;
    };
    std::vector<std::string> expected;
    for (const std::string& path : paths) {
        std::string message = "File " + path + " not found.", detail;
        CZelPointer<CZelFileImage> image(path == paths[4] ? nullptr : readImageByExtension(path, message, detail));
        expected.push_back(told(image, message, detail));
    }
    ASSERT_EQ(expected[2].rfind("Unsupported PNG image file. Make sure the file is true-color.|", 0), 0u);

    for (size_t threads : {1, 2, 3})
        for (size_t ahead : {1, 2, 8}) {
            SCOPED_TRACE(std::to_string(threads) + " threads, " + std::to_string(ahead) + " ahead");
            CFenceImageReader reader(paths, threads, ahead);
            std::string message, detail;
            for (size_t i = 0; i < paths.size(); ++i) {
                message = detail = "stale";
                CZelPointer<CZelFileImage> image(reader.takeNext(message, detail));
                EXPECT_EQ(told(image, message, detail), expected[i]);
            }
            message = "stale";
            EXPECT_EQ(reader.takeNext(message, detail), nullptr);
            EXPECT_EQ(message, "");
        }

    // Dropped early with pictures read ahead or still being read: the checked build's leak checkers watch.
    paths.erase(paths.begin() + 2, paths.begin() + 5);
    for (int taken = 0; taken < 3; ++taken) {
        CFenceImageReader reader(paths, 2, 3);
        for (int i = 0; i < taken; ++i) {
            std::string message, detail;
            EXPECT_NE(CZelPointer<CZelFileImage>(reader.takeNext(message, detail)), nullptr);
        }
    }
    CFenceImageReader empty({}, 2, 2);
    std::string message, detail;
    EXPECT_EQ(empty.takeNext(message, detail), nullptr);
}

TEST(ImageReaderThread, PicturesAreReadOnTheCallersThreadWhenNoThreadCanStart)
{
    // Limited to the one process it is (ulimit -u 1), no thread can be created.
    const std::vector<std::string> paths = {IMAGES + "section-a.png", IMAGES + "legend.png"};
    int status = 0;
    const std::string told = outputOfChild(
        [&paths] {
            const struct rlimit one = {1, 1};
            if (setrlimit(RLIMIT_NPROC, &one) != 0)
                _exit(2);
            std::string widths;
            CFenceImageReader reader(paths, 3, 2);
            for (size_t i = 0; i <= paths.size(); ++i) {
                std::string message, detail;
                CZelPointer<CZelFileImage> image(reader.takeNext(message, detail));
                widths += image ? std::to_string(image->getWidth()) + " " : "none" + message;
            }
            return widths;
        },
        status);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child ended with " << status << ": " << told;
    std::string expected;
    for (const std::string& path : paths) {
        std::string message, detail;
        expected += std::to_string(CZelPointer<CZelFileImage>(readImageByExtension(path, message, detail))->getWidth()) + " ";
    }
    EXPECT_EQ(told, "No reading thread could be started (Resource temporarily unavailable): pictures are read one by "
                    "one.\n" + expected + "none");
}
