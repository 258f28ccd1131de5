// Resolution pyramids: their levels against the picture, tile edges at every
// level, rows from either end, the cache reused, refused when damaged or
// foreign and left when the picture changes, memory when the disk is full,
// and eviction under a tiny budget.
#include "CComputedRows.h"
#include "CPyramid.h"
#include "CPyramidMemory.h"
#include "CPyramidTextures.h"
#include "CZelImage.h"
#include "CZelPngImage.h"
#include "CZelPngWriter.h"
#include "CZelPointer.h"
#include "OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int TILE = CPyramidLayout::TILE;
using Fill = std::function<void(int x, int y, unsigned char* rgb)>;

// The pyramid of a picture computed pixel by pixel, its tiles in memory.
std::shared_ptr<CPyramid> computed(int width, int height, const Fill& fill, bool bottomUp = false,
                                   const CPyramidVariant& variant = CPyramidVariant())
{
    CComputedRows rows(width, height, 3, [&](int y, unsigned char* row) {
        for (int x = 0; x < width; ++x)
            fill(x, y, row + 3 * static_cast<size_t>(x));
    }, bottomUp);
    std::string message, detail;
    return CPyramid::open(&rows, nullptr, variant, nullptr, message, detail);
}

// Layers of colour with white patches, some of them a pixel wide: what white
// removal makes of coarse texels shows at every level.
void strata(int x, int y, unsigned char* p)
{
    const bool white = (x / 3 + y / 5) % 4 == 0 || (x % 7 == 0 && y % 2 == 0);
    p[0] = white ? 255 : static_cast<unsigned char>(40 + (y / 9) * 23 % 180);
    p[1] = white ? 255 : static_cast<unsigned char>(30 + x * 5 % 200);
    p[2] = white ? 255 : static_cast<unsigned char>(60 + (x + y) % 90);
}

// The texel (x, y from the top left) of a level, worked out from the picture
// itself: drawn when at least half of its pixels are, in their mean colour.
std::vector<int> expectedTexel(int width, int height, int level, int x, int y, const CPyramidVariant& variant)
{
    long long sum[3] = {0, 0, 0}, drawn = 0, total = 0;
    const int size = 1 << level;
    for (int py = y * size; py < std::min(height, (y + 1) * size); ++py)
        for (int px = x * size; px < std::min(width, (x + 1) * size); ++px) {
            unsigned char p[3];
            strata(px, py, p);
            ++total;
            if (!variant.isDrawn(p[0], p[1], p[2], 255))
                continue;
            ++drawn;
            for (int c = 0; c < 3; ++c)
                sum[c] += p[c];
        }
    if (2 * drawn < total || drawn == 0)
        return {0};
    return {static_cast<int>((sum[0] + drawn / 2) / drawn), static_cast<int>((sum[1] + drawn / 2) / drawn),
            static_cast<int>((sum[2] + drawn / 2) / drawn), 255};
}

// Texel (x, y) of a level read back through its tiles; {0} when not drawn,
// {-1} when the tile cannot be read.
std::vector<int> readTexel(const CPyramid& pyramid, const CPyramidVariant& variant, int level, int x, int y)
{
    static std::vector<unsigned char> rgba;
    static const CPyramid* last = nullptr;
    static int lastIndex = -1;
    static CPyramidVariant lastVariant;
    const int index = pyramid.getLayout().getTileIndex(level, y / TILE, x / TILE);
    if (&pyramid != last || index != lastIndex || variant != lastVariant) {
        lastVariant = variant;
        last = nullptr;
        if (!pyramid.readTexture(index, variant, rgba))
            return {-1};
        last = &pyramid;
        lastIndex = index;
    }
    const unsigned char* p = &rgba[(static_cast<size_t>(y % TILE) * TILE + static_cast<size_t>(x % TILE)) * 4];
    if (p[3] == 0)
        return {0};
    return {p[0], p[1], p[2], p[3]};
}

// A private cache folder, removed afterwards.
class PyramidCacheTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char folder[] = "/tmp/morvex-pyramid-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        m_folder = folder;
        m_cache.reset(new CPyramidCache(m_folder + "/cache"));
    }
    void TearDown() override { std::system(("rm -rf '" + m_folder + "'").c_str()); }

    void writePng(const std::string& name, int width, int height, int shade)
    {
        CZelPngWriter writer;
        ASSERT_TRUE(writer.open(m_folder + "/" + name, width, height, 3));
        std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                strata(x, y, &row[static_cast<size_t>(x) * 3]);
            row[0] = static_cast<unsigned char>(shade);
            ASSERT_TRUE(writer.writeRow(row.data()));
        }
        ASSERT_TRUE(writer.close());
    }

    // Opens the file's pyramid; detail says where the tiles came from.
    std::shared_ptr<CPyramid> open(const std::string& name, std::string& detail)
    {
        CZelPngImage png;
        png.setFileName(m_folder + "/" + name);
        std::string message;
        return CPyramid::open(&png, nullptr, CPyramidVariant(), m_cache.get(), message, detail);
    }

    // The red of pixel (0, 5), which tells the pictures apart; -1 when there is no pyramid.
    static int shade(const std::shared_ptr<CPyramid>& pyramid)
    {
        unsigned char pixel[4];
        return pyramid && pyramid->readPixel(0, 5, pixel) ? pixel[0] : -1;
    }

    std::string m_folder;
    std::unique_ptr<CPyramidCache> m_cache;
};

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

TEST(Pyramid, EveryLevelIsThePictureHalvedWithoutSeamsAndRowsMayComeFromEitherEnd)
{
    // 517 x 261: levels of 517, 259, 130 and 65 texels across, each with a
    // ragged last tile column and row.
    constexpr int W = 517, H = 261;
    for (const CPyramidVariant variant : {CPyramidVariant(true, 0), CPyramidVariant(true, 40), CPyramidVariant(false)})
        for (const bool bottomUp : {false, true}) {
            SCOPED_TRACE(variant.getName() + (bottomUp ? " bottom up" : " top down"));
            std::shared_ptr<CPyramid> pyramid = computed(W, H, strata, bottomUp, variant);
            ASSERT_TRUE(pyramid);
            const CPyramidLayout& layout = pyramid->getLayout();
            ASSERT_EQ(layout.getLevelCount(), 4);
            EXPECT_EQ((std::vector<int>{layout.getColumns(0), layout.getRows(0), layout.getColumns(2),
                                        layout.getRows(2), layout.getColumns(3), layout.getLevelWidth(3)}),
                      (std::vector<int>{5, 3, 2, 1, 1, 65}));
            int wrong = 0;
            for (int level = 0; level < layout.getLevelCount(); ++level)
                for (int y = 0; y < layout.getLevelHeight(level); ++y)
                    for (int x = 0; x < layout.getLevelWidth(level); ++x)
                        if (readTexel(*pyramid, variant, level, x, y) != expectedTexel(W, H, level, x, y, variant) &&
                            ++wrong < 5)
                            ADD_FAILURE() << "level " << level << " texel " << x << ", " << y;
            EXPECT_EQ(wrong, 0);
            // Beyond the picture, a tile repeats its last column and row.
            EXPECT_EQ(readTexel(*pyramid, variant, 0, 4 * TILE + 127, 2 * TILE + 127),
                      readTexel(*pyramid, variant, 0, W - 1, H - 1));
        }
}

TEST(Pyramid, CoarseTexelsAreDrawnFromHalfTheirPixelsInTheColourOfThoseAlone)
{
    // 2 x 2 boxes: two white beside two dark, one dark among three white.
    std::shared_ptr<CPyramid> pyramid = computed(256, 2, [](int x, int y, unsigned char* p) {
        const bool dark = x < 2 ? y == 0 : x == 2 ? y == 0 : x > 3;
        p[0] = p[1] = p[2] = dark ? 60 : 255;
    });
    ASSERT_TRUE(pyramid);
    EXPECT_EQ(readTexel(*pyramid, CPyramidVariant(), 1, 0, 0), (std::vector<int>{60, 60, 60, 255}));
    EXPECT_EQ(readTexel(*pyramid, CPyramidVariant(), 1, 1, 0), (std::vector<int>{0}));
    // Kept white, all of it counts.
    EXPECT_EQ(readTexel(*pyramid, CPyramidVariant(false), 1, 0, 0), (std::vector<int>{-1}));
    ASSERT_TRUE(pyramid->deriveCoarse(CPyramidVariant(false)));
    EXPECT_EQ(readTexel(*pyramid, CPyramidVariant(false), 1, 0, 0), (std::vector<int>{158, 158, 158, 255}));
    // The full-resolution pixels as the picture has them, for picking.
    unsigned char rgba[4];
    ASSERT_TRUE(pyramid->readPixel(2, 0, rgba));
    EXPECT_EQ((std::vector<int>{rgba[0], rgba[3]}), (std::vector<int>{60, 255}));
    EXPECT_FALSE(pyramid->readPixel(256, 0, rgba));
    CZelPointer<CZelImage> tile = pyramid->readFullTile(0, 0);
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->getPixels()[(static_cast<size_t>(TILE - 1) * TILE + 3) * 4], 255);
}

TEST_F(PyramidCacheTest, TheNextOpenReadsTheCacheUntilThePictureChangesAndDamageIsNeverTrusted)
{
    writePng("a.png", 300, 200, 10);
    writePng("b.png", 300, 200, 20);
    std::string detail;
    std::shared_ptr<CPyramid> first = open("a.png", detail);
    EXPECT_TRUE(endsWith(detail, "300 x 200 pixels in 3 levels, written to the cache.")) << detail;
    EXPECT_TRUE(first && first->isCached());
    EXPECT_EQ(shade(open("a.png", detail)), 10);
    EXPECT_TRUE(endsWith(detail, "read from the cache.")) << detail;

    // Another picture under the same name is made anew.
    ASSERT_EQ(rename((m_folder + "/b.png").c_str(), (m_folder + "/a.png").c_str()), 0);
    EXPECT_EQ(shade(open("a.png", detail)), 20);
    EXPECT_TRUE(endsWith(detail, "written to the cache.")) << detail;

    // A damaged entry: one byte of its first tile changed.
    std::string key;
    ASSERT_TRUE(CPyramidCache::pictureKey(m_folder + "/a.png", nullptr, key));
    const std::string entry = m_cache->entryPath(key, "base");
    std::fstream(entry, std::ios::in | std::ios::out | std::ios::binary).seekp(200).put('\x5a');
    EXPECT_EQ(shade(open("a.png", detail)), 20);
    EXPECT_NE(detail.find("are damaged: they are made anew."), std::string::npos) << detail;

    // A foreign entry in its place is refused by its key.
    writePng("c.png", 300, 200, 30);
    ASSERT_TRUE(open("c.png", detail));
    std::string otherKey;
    ASSERT_TRUE(CPyramidCache::pictureKey(m_folder + "/c.png", nullptr, otherKey));
    ASSERT_EQ(std::system(("cp '" + m_cache->entryPath(otherKey, "base") + "' '" + entry + "'").c_str()), 0);
    EXPECT_EQ(shade(open("a.png", detail)), 20);
    EXPECT_NE(detail.find("belongs to another picture"), std::string::npos) << detail;
}

TEST_F(PyramidCacheTest, AFullDiskKeepsTheTilesInMemoryAndOldEntriesMakeWay)
{
    writePng("a.png", 300, 200, 10);
    writePng("b.png", 300, 200, 20);
    std::string detail;
    m_cache->setAvailableBytes(1000);
    std::shared_ptr<CPyramid> held = open("a.png", detail);
    EXPECT_TRUE(held && !held->isCached());
    EXPECT_NE(detail.find("Not enough disk space to cache the tiles of "), std::string::npos) << detail;
    EXPECT_EQ(shade(held), 10);

    // Room for one picture's entries at a time: a's go when b's come, unless a is open.
    m_cache->setAvailableBytes(-1);
    m_cache->setSizeLimit(300 * 200 * 5);
    ASSERT_TRUE(open("a.png", detail));
    const uint64_t one = m_cache->getUsedBytes();
    std::shared_ptr<CPyramid> b = open("b.png", detail);
    ASSERT_TRUE(b);
    EXPECT_LT(m_cache->getUsedBytes(), one * 11 / 10);
    std::shared_ptr<CPyramid> a = open("a.png", detail);
    EXPECT_TRUE(endsWith(detail, "written to the cache.")) << detail;
    EXPECT_GT(m_cache->getUsedBytes(), one * 3 / 2);
}

TEST_F(OffscreenGLTest, ATinyBudgetEvictsTheLeastRecentlyDrawnTilesButNeverTheCoarseLevels)
{
    // 2048 x 2048 pixels: 256 tiles at full resolution, 21 resident coarse ones.
    std::shared_ptr<CPyramid> pyramid = computed(2048, 2048, strata);
    ASSERT_TRUE(pyramid);
    CPyramidMemory& memory = CPyramidMemory::getInstance();
    const uint64_t budget = memory.getBudget();
    memory.setBudget(30 * CPyramidMemory::TEXTURE_BYTES);
    {
        CPyramidTextures textures(pyramid, CPyramidVariant());
        textures.update();
        const int resident = textures.getTextureCount();
        EXPECT_EQ(resident, pyramid->getLayout().getTileCount() - pyramid->getLayout().getFirstTile(pyramid->getResidentLevel()));
        // Frame after frame, eight full-resolution tiles of another row.
        for (int row = 0; row < 16; ++row) {
            memory.beginFrame();
            for (int column = 0; column < 8; ++column)
                ASSERT_TRUE(textures.fetchNow(pyramid->getLayout().getTileIndex(0, row, column)));
            EXPECT_LE(textures.getTextureCount(), 30);
            bool current = false;
            // This frame's tiles and every resident one stay.
            EXPECT_NE(textures.use(pyramid->getLayout().getTileIndex(0, row, 0), current), 0u);
            EXPECT_NE(textures.use(pyramid->getLayout().getTileCount() - 1, current), 0u);
        }
        // The first rows' tiles went first.
        bool current = false;
        EXPECT_EQ(textures.use(pyramid->getLayout().getTileIndex(0, 0, 0), current), 0u);
        EXPECT_LE(memory.getTextureBytes(), 30 * CPyramidMemory::TEXTURE_BYTES);
    }
    EXPECT_EQ(memory.getTextureBytes(), 0u);
    memory.setBudget(budget);
}
