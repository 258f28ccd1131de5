// The resolution pyramid of one fence picture: made once from the picture's
// rows as they are decoded, kept as two entries of compressed tiles, level 0
// as the picture has it and the coarser levels for one way of removing white
// (CPyramidVariant), in the tile cache or, when the disk cannot hold them,
// in memory. The next open of the same picture reads its entries instead of
// the picture. Tiles are read on any thread; the coarsest levels are read
// once and kept, so that a fence can always be drawn.
#pragma once

#include "CPyramidCache.h"
#include "CPyramidEntry.h"
#include "CPyramidLayout.h"
#include "CPyramidVariant.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CZelFileImage;
class CZelImage;

class CPyramid
{
public:
    // The coarse levels held whole have at most this many tiles together.
    static constexpr int RESIDENT_TILES = 32;

    ~CPyramid();
    CPyramid(const CPyramid&) = delete;
    CPyramid& operator=(const CPyramid&) = delete;

    // The pyramid of the picture reader reads (borrowed, its file name set):
    // from the cache when it holds one of this very file, else made from the
    // picture and written to the cache (null: into memory). crop (x0, y0, x1,
    // y1 of the file's pixels, ends exclusive; null for none) keeps only that
    // window of a picture it fits. Returns null with message set to what the
    // user is told and detail to what exactly failed; detail tells otherwise
    // where the tiles came from. Writes nothing to standard output.
    static std::shared_ptr<CPyramid> open(CZelFileImage* reader, const int* crop, const CPyramidVariant& variant,
                                          CPyramidCache* cache, std::string& message, std::string& detail);
    // The pyramid of a picture in memory (borrowed; bottom row first), held
    // in memory; null when the image has no pixels.
    static std::shared_ptr<CPyramid> fromImage(const CZelImage* image, const CPyramidVariant& variant);

    const CPyramidLayout& getLayout() const { return m_layout; }
    // The picture's file.
    const std::string& getPath() const { return m_path; }
    int getWidth() const { return m_layout.getWidth(); }
    int getHeight() const { return m_layout.getHeight(); }
    // The size of the whole picture in its file, of which this may be a crop.
    int getFileWidth() const { return m_fileWidth; }
    int getFileHeight() const { return m_fileHeight; }
    // Where the picture lies in its file: the top left of its crop, or 0.
    int getFileLeft() const { return m_fileLeft; }
    int getFileTop() const { return m_fileTop; }
    // Whether the tiles live in the cache rather than in memory.
    bool isCached() const;
    // Levels from this one up are read once and kept.
    int getResidentLevel() const { return m_residentLevel; }

    // The variant the coarse levels are made for.
    CPyramidVariant getCoarseVariant() const;
    // Makes the coarse levels for another variant from level 0's tiles (or
    // finds them in the cache); blocks while it works. False when level 0
    // cannot be read.
    bool deriveCoarse(const CPyramidVariant& variant);

    // The texture pixels of tile index for the variant: TILE x TILE RGBA,
    // top row first, alpha 255 where drawn and 0 elsewhere. False when the
    // tile cannot be read, or is coarse and its levels are of another
    // variant. Any thread.
    bool readTexture(int index, const CPyramidVariant& variant, std::vector<unsigned char>& rgba) const;

    // Whether a tile could not be read: its entry is damaged, and has been
    // removed from the cache so that the next open makes it anew.
    bool isDamaged() const { return m_damaged; }

    // As readTexture, handing over the copy of a resident tile kept since
    // the open, which is then let go.
    bool takeTexture(int index, const CPyramidVariant& variant, std::vector<unsigned char>& rgba);

    // A full-resolution tile (row and column counted from the top left) as
    // the picture has it: a new TILE x TILE RGBA image, bottom row first,
    // alpha 0 where the picture is transparent and 255 elsewhere; texels
    // beyond the picture repeat its edge. The caller holds it with a
    // reference; null when the tile cannot be read. Any thread.
    CZelImage* readFullTile(int row, int column) const;
    // One full-resolution pixel (x, y from the top left) as readFullTile
    // has it; false outside the picture or when its tile cannot be read.
    bool readPixel(int x, int y, unsigned char rgba[4]) const;

private:
    CPyramid() = default;
    bool build(CZelFileImage* reader, const int* crop, const CPyramidVariant& variant, CPyramidCache* cache,
               std::string& message, std::string& detail);
    bool openCached(const CPyramidVariant& variant, std::string& detail);
    // Notes where a crop that fits the file puts the picture in it.
    void placeCrop(const int* crop);
    void setLayout(int width, int height, int channels);
    // Opens the coarse entry of the variant in the cache; false when there
    // is none that fits.
    bool openCoarse(const CPyramidVariant& variant);
    // Reads the resident tiles of the current coarse levels into memory;
    // false when one of them cannot be read.
    bool readResident();
    // A tile of the entry could not be read.
    void damaged(const std::shared_ptr<CPyramidEntry>& entry) const;
    std::string coarseKey(const CPyramidVariant& variant) const { return m_key + "|" + variant.getName(); }
    // Takes an entry: held against cleaning, or counted in memory.
    void adopt(const std::shared_ptr<CPyramidEntry>& entry);
    void drop(const std::shared_ptr<CPyramidEntry>& entry);
    // Makes the entry the coarse levels of the variant; m_mutex held.
    void takeCoarse(const std::shared_ptr<CPyramidEntry>& coarse, const CPyramidVariant& variant);

    CPyramidLayout m_layout;
    int m_channels = 3;
    int m_fileWidth = 0;
    int m_fileHeight = 0;
    int m_fileLeft = 0;
    int m_fileTop = 0;
    int m_residentLevel = 0;
    std::string m_path;
    std::string m_key;
    std::unique_ptr<CPyramidCache> m_cache;
    std::shared_ptr<CPyramidEntry> m_base;
    std::shared_ptr<CPyramidEntry> m_coarse;
    CPyramidVariant m_coarseVariant;
    // Texture pixels of the resident tiles, for the coarse variant.
    std::map<int, std::vector<unsigned char>> m_resident;
    mutable std::atomic<bool> m_damaged{false};
    mutable std::mutex m_mutex;
    std::mutex m_deriving;
    // The full-resolution tile readPixel read last.
    mutable int m_lastTile = -1;
    mutable std::vector<unsigned char> m_lastPixels;
};
