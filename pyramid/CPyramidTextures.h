// The GL side of a pyramid: one texture per tile in GL, asked for by the
// frames that draw them, read on the tile workers and uploaded here, on the
// GL thread, at the start of the next draw; evicted least recently drawn
// first by the memory budget, except the resident coarse levels. A change of
// how white is removed keeps the old textures drawable until the new ones
// are there.
#pragma once

#include "CPyramid.h"
#include "CPyramidVariant.h"

#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

class CPyramidTextures
{
public:
    // A texture the budget may evict.
    struct Candidate
    {
        CPyramidTextures* owner;
        int index;
        uint64_t lastDrawn;
    };

    CPyramidTextures(std::shared_ptr<CPyramid> pyramid, const CPyramidVariant& variant);
    // Deletes the textures (drawing code: with the GL context current).
    ~CPyramidTextures();
    CPyramidTextures(const CPyramidTextures&) = delete;
    CPyramidTextures& operator=(const CPyramidTextures&) = delete;

    const std::shared_ptr<CPyramid>& getPyramid() const { return m_pyramid; }
    void setVariant(const CPyramidVariant& variant) { m_variant = variant; }
    const CPyramidVariant& getVariant() const { return m_variant; }

    // Drawing code, before a draw: uploads what arrived, the resident tiles
    // first, and sets the coarse levels of a new variant in the making.
    void update();
    // The texture of tile index, 0 when it is not in GL; marks it drawn in
    // this frame. current tells whether it shows the current variant, opaque
    // whether every texel of it is drawn (it needs no alpha test).
    GLuint use(int index, bool& current);
    GLuint use(int index, bool& current, bool& opaque);
    // Reads and uploads tile index now, on this thread, making the coarse
    // levels of the current variant first when needed; false when it cannot
    // be read.
    bool fetchNow(int index);
    // Asks for tile index (once a frame is enough); flushWants hands this
    // frame's wishes to the workers, and forgets the last frame's.
    void want(int index);
    void flushWants();
    // Whether tile index could not be read (its entry is damaged): it is not
    // asked for again, and a coarser one stands in for good.
    bool hasFailed(int index) const;
    // Whether the coarse levels of the current variant are still being made.
    bool isDeriving() const;

    // Textures in GL, for tests.
    int getTextureCount() const { return m_textureCount; }

    // For the memory budget: textures not drawn in frame, and evicting one;
    // returns the bytes freed.
    void addCandidates(uint64_t frame, std::vector<Candidate>& candidates);
    uint64_t evict(int index);

private:
    struct Tile
    {
        GLuint name = 0;
        uint64_t lastDrawn = 0;
        uint64_t wantedFrame = 0;
        CPyramidVariant variant;
        bool opaque = false;
    };
    struct Mailbox;

    void upload(int index, const CPyramidVariant& variant, const unsigned char* rgba);

    std::shared_ptr<CPyramid> m_pyramid;
    CPyramidVariant m_variant;
    std::vector<Tile> m_tiles;
    std::vector<int> m_wants;
    std::shared_ptr<Mailbox> m_mailbox;
    int m_textureCount = 0;
};
