// Pictures read ahead on other threads: handed out in the order asked for,
// failures with the messages a sequential read gives, nothing lost or leaked
// when the reader is dropped early.
#include "CFenceImageReader.h"
#include "CZelPointer.h"
#include "fenceFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string IMAGES = std::string(MORVEX_SOURCE_DIR) + "/data/examples/images/";

std::vector<std::string> examplePictures()
{
    return {IMAGES + "section-a.png", IMAGES + "section-b.jpg", IMAGES + "section-d.bmp", IMAGES + "legend.png",
            IMAGES + "section-e.jpg", IMAGES + "section-c.png"};
}

} // namespace

TEST(ImageReaderThread, HandsOutEveryPictureInOrderWithItsOwnFailure)
{
    char dir[] = "/tmp/morvex-reader-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string bad = std::string(dir) + "/bad.png";
    std::ofstream(bad) << "not a picture";
    const std::string missing = std::string(dir) + "/missing.jpg";

    std::vector<std::string> paths = examplePictures();
    paths.insert(paths.begin() + 2, bad);
    paths.insert(paths.begin() + 4, missing);
    std::vector<std::string> expectedMessages(paths.size());
    std::vector<std::string> expectedDetails(paths.size());
    std::vector<int> widths(paths.size(), -1), heights(paths.size(), -1);
    for (size_t i = 0; i < paths.size(); ++i) {
        if (paths[i] == missing) {
            expectedMessages[i] = "File " + missing + " not found.";
            continue;
        }
        CZelPointer<CZelFileImage> image(readImageByExtension(paths[i], expectedMessages[i], expectedDetails[i]));
        if (image) {
            widths[i] = image->getWidth();
            heights[i] = image->getHeight();
        }
    }
    ASSERT_EQ(expectedMessages[2], "Unsupported PNG image file. Make sure the file is true-color.");

    for (size_t threads : {1, 2, 3})
        for (size_t ahead : {1, 2, 8}) {
            CFenceImageReader reader(paths, threads, ahead);
            for (size_t i = 0; i < paths.size(); ++i) {
                std::string message = "stale", detail = "stale";
                CZelPointer<CZelFileImage> image(reader.takeNext(message, detail));
                SCOPED_TRACE(paths[i] + ", " + std::to_string(threads) + " threads, " + std::to_string(ahead) +
                             " ahead");
                EXPECT_EQ(image != nullptr, widths[i] > 0);
                if (image) {
                    EXPECT_EQ(image->getWidth(), widths[i]);
                    EXPECT_EQ(image->getHeight(), heights[i]);
                    EXPECT_EQ(image->getFileName(), paths[i]);
                } else {
                    EXPECT_EQ(message, expectedMessages[i]);
                    EXPECT_EQ(detail, expectedDetails[i]);
                }
            }
            std::string message = "stale", detail = "stale";
            EXPECT_EQ(reader.takeNext(message, detail), nullptr);
            EXPECT_EQ(message, "");
        }
    unlink(bad.c_str());
    rmdir(dir);
}

TEST(ImageReaderThread, DroppedEarlyLetsGoOfWhatItRead)
{
    // A load that stops at a bad fence drops the reader with pictures read
    // ahead or still being read; the leak checkers of the checked build watch.
    for (int taken = 0; taken < 3; ++taken) {
        CFenceImageReader reader(examplePictures(), 2, 3);
        for (int i = 0; i < taken; ++i) {
            std::string message, detail;
            CZelPointer<CZelFileImage> image(reader.takeNext(message, detail));
            EXPECT_NE(image, nullptr);
        }
    }
    CFenceImageReader empty({}, 2, 2);
    std::string message, detail;
    EXPECT_EQ(empty.takeNext(message, detail), nullptr);
}
