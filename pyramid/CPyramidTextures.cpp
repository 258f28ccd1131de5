// Tile textures of a pyramid.
#include "CPyramidTextures.h"

#include "CPyramidLoader.h"
#include "CPyramidMemory.h"

#include <mutex>
#include <set>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

namespace {

constexpr int TILE = CPyramidLayout::TILE;
constexpr int64_t PIXEL_BYTES = static_cast<int64_t>(TILE) * TILE * 4;

} // namespace

// What the GL thread and the workers share; it outlives the textures when a
// worker still holds it.
struct CPyramidTextures::Mailbox
{
    struct Arrival
    {
        int index;
        CPyramidVariant variant;
        std::vector<unsigned char> rgba;
    };
    std::mutex mutex;
    std::set<int> wanted;
    std::set<int> inFlight;
    // Tiles that could not be read: not asked for again.
    std::set<int> failed;
    std::vector<Arrival> arrived;
    bool deriving = false;
    // The variant whose coarse levels could not be made, not tried again.
    bool underived = false;
    CPyramidVariant failedVariant;
};

CPyramidTextures::CPyramidTextures(std::shared_ptr<CPyramid> pyramid, const CPyramidVariant& variant)
    : m_pyramid(std::move(pyramid)), m_variant(variant),
      m_tiles(static_cast<size_t>(m_pyramid->getLayout().getTileCount())), m_mailbox(new Mailbox())
{
    CPyramidMemory::getInstance().enrol(this);
}

CPyramidTextures::~CPyramidTextures()
{
    CPyramidMemory& memory = CPyramidMemory::getInstance();
    memory.leave(this);
    for (size_t i = 0; i < m_tiles.size(); ++i)
        if (m_tiles[i].name != 0)
            evict(static_cast<int>(i));
    std::lock_guard<std::mutex> lock(m_mailbox->mutex);
    memory.addPixels(-PIXEL_BYTES * static_cast<int64_t>(m_mailbox->arrived.size()));
    m_mailbox->arrived.clear();
    m_mailbox->wanted.clear();
}

bool CPyramidTextures::isDeriving() const
{
    std::lock_guard<std::mutex> lock(m_mailbox->mutex);
    return m_mailbox->deriving;
}

void CPyramidTextures::upload(int index, const CPyramidVariant& variant, const unsigned char* rgba)
{
    Tile& tile = m_tiles[static_cast<size_t>(index)];
    CPyramidMemory& memory = CPyramidMemory::getInstance();
    if (tile.name == 0) {
        memory.makeRoom(CPyramidMemory::TEXTURE_BYTES);
        glGenTextures(1, &tile.name);
        memory.addTextures(CPyramidMemory::TEXTURE_BYTES);
        ++m_textureCount;
    }
    glBindTexture(GL_TEXTURE_2D, tile.name);
    // Each level is drawn no finer than the screen's pixels, so a texel
    // is minified at most twice: linear filtering is the rest of the mipmap.
    // Magnified, the picture's own pixels show.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, TILE, TILE, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    if (glGetError() == GL_OUT_OF_MEMORY)
        memory.noteGlOutOfMemory();
    tile.variant = variant;
    tile.opaque = true;
    for (size_t i = 3; i < static_cast<size_t>(PIXEL_BYTES) && tile.opaque; i += 4)
        tile.opaque = rgba[i] == 255;
}

void CPyramidTextures::update()
{
    CPyramidLoader::getInstance().runQueuedHere();
    if (CPyramidMemory::getInstance().isSynchronous() && m_pyramid->getCoarseVariant() != m_variant)
        m_pyramid->deriveCoarse(m_variant);
    const bool coarseReady = m_pyramid->getCoarseVariant() == m_variant;
    std::vector<Mailbox::Arrival> arrived;
    {
        std::lock_guard<std::mutex> lock(m_mailbox->mutex);
        arrived.swap(m_mailbox->arrived);
        if (!coarseReady && !m_mailbox->deriving && !(m_mailbox->underived && m_mailbox->failedVariant == m_variant)) {
            m_mailbox->deriving = true;
            std::shared_ptr<CPyramid> pyramid = m_pyramid;
            std::shared_ptr<Mailbox> mailbox = m_mailbox;
            const CPyramidVariant variant = m_variant;
            CPyramidLoader::getInstance().post(
                [pyramid, mailbox, variant] {
                    const bool made = pyramid->deriveCoarse(variant);
                    std::lock_guard<std::mutex> lock(mailbox->mutex);
                    mailbox->deriving = false;
                    if (!made) {
                        mailbox->underived = true;
                        mailbox->failedVariant = variant;
                    }
                },
                false);
        }
    }
    CPyramidMemory::getInstance().addPixels(-PIXEL_BYTES * static_cast<int64_t>(arrived.size()));
    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    // The resident levels come from memory, at once.
    const int firstResident = m_pyramid->getLayout().getFirstTile(m_pyramid->getResidentLevel());
    if (coarseReady) {
        std::vector<unsigned char> rgba;
        for (int index = firstResident; index < static_cast<int>(m_tiles.size()); ++index) {
            const Tile& tile = m_tiles[static_cast<size_t>(index)];
            if ((tile.name == 0 || tile.variant != m_variant) && m_pyramid->takeTexture(index, m_variant, rgba))
                upload(index, m_variant, rgba.data());
        }
    }
    for (const Mailbox::Arrival& arrival : arrived)
        if (arrival.variant == m_variant)
            upload(arrival.index, arrival.variant, arrival.rgba.data());
    glPopClientAttrib();
    glPopAttrib();
}

bool CPyramidTextures::hasFailed(int index) const
{
    std::lock_guard<std::mutex> lock(m_mailbox->mutex);
    return m_mailbox->failed.count(index) != 0;
}

bool CPyramidTextures::fetchNow(int index)
{
    int level = 0, row = 0, column = 0;
    m_pyramid->getLayout().locate(index, level, row, column);
    if (level > 0 && m_pyramid->getCoarseVariant() != m_variant && !m_pyramid->deriveCoarse(m_variant))
        return false;
    std::vector<unsigned char> rgba;
    if (!m_pyramid->readTexture(index, m_variant, rgba)) {
        std::lock_guard<std::mutex> lock(m_mailbox->mutex);
        m_mailbox->failed.insert(index);
        return false;
    }
    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    upload(index, m_variant, rgba.data());
    glPopClientAttrib();
    glPopAttrib();
    m_tiles[static_cast<size_t>(index)].lastDrawn = CPyramidMemory::getInstance().getFrame();
    return true;
}

GLuint CPyramidTextures::use(int index, bool& current)
{
    bool opaque = false;
    return use(index, current, opaque);
}

GLuint CPyramidTextures::use(int index, bool& current, bool& opaque)
{
    Tile& tile = m_tiles[static_cast<size_t>(index)];
    if (tile.name == 0)
        return 0;
    tile.lastDrawn = CPyramidMemory::getInstance().getFrame();
    current = tile.variant == m_variant;
    opaque = tile.opaque;
    return tile.name;
}

void CPyramidTextures::want(int index)
{
    Tile& tile = m_tiles[static_cast<size_t>(index)];
    const uint64_t frame = CPyramidMemory::getInstance().getFrame();
    if (tile.wantedFrame == frame)
        return;
    tile.wantedFrame = frame;
    m_wants.push_back(index);
}

void CPyramidTextures::flushWants()
{
    std::vector<int> posted;
    {
        std::lock_guard<std::mutex> lock(m_mailbox->mutex);
        m_mailbox->wanted = std::set<int>(m_wants.begin(), m_wants.end());
        for (const int index : m_wants)
            if (m_mailbox->failed.count(index) == 0 && m_mailbox->inFlight.insert(index).second)
                posted.push_back(index);
    }
    m_wants.clear();
    CPyramidLoader& loader = CPyramidLoader::getInstance();
    for (const int index : posted) {
        std::shared_ptr<CPyramid> pyramid = m_pyramid;
        std::shared_ptr<Mailbox> mailbox = m_mailbox;
        const CPyramidVariant variant = m_variant;
        loader.post(
            [pyramid, mailbox, variant, index] {
                {
                    // A tile the view has moved away from is not read.
                    std::lock_guard<std::mutex> lock(mailbox->mutex);
                    if (mailbox->wanted.count(index) == 0) {
                        mailbox->inFlight.erase(index);
                        return;
                    }
                }
                std::vector<unsigned char> rgba;
                const bool read = pyramid->readTexture(index, variant, rgba);
                std::lock_guard<std::mutex> lock(mailbox->mutex);
                mailbox->inFlight.erase(index);
                if (read) {
                    CPyramidMemory::getInstance().addPixels(PIXEL_BYTES);
                    mailbox->arrived.push_back({index, variant, std::move(rgba)});
                } else {
                    mailbox->failed.insert(index);
                }
            },
            true);
    }
}

void CPyramidTextures::addCandidates(uint64_t frame, std::vector<Candidate>& candidates)
{
    const int firstResident = m_pyramid->getLayout().getFirstTile(m_pyramid->getResidentLevel());
    for (int index = 0; index < firstResident; ++index) {
        const Tile& tile = m_tiles[static_cast<size_t>(index)];
        if (tile.name != 0 && tile.lastDrawn < frame)
            candidates.push_back({this, index, tile.lastDrawn});
    }
}

uint64_t CPyramidTextures::evict(int index)
{
    Tile& tile = m_tiles[static_cast<size_t>(index)];
    if (tile.name == 0)
        return 0;
    glDeleteTextures(1, &tile.name);
    tile.name = 0;
    --m_textureCount;
    CPyramidMemory::getInstance().removeTextures(CPyramidMemory::TEXTURE_BYTES);
    return CPyramidMemory::TEXTURE_BYTES;
}
