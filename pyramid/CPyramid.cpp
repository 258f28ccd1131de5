// Making, caching and reading a picture's pyramid.
#include "CPyramid.h"

#include "CPyramidBuilder.h"
#include "CPyramidEntryWriter.h"
#include "CPyramidMemory.h"
#include "CZelFileImage.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int TILE = CPyramidLayout::TILE;
// Wider pictures would need more than this for the rows being built.
constexpr int64_t LARGEST_BANDS = 1LL << 30;

size_t tileBytes(int channels)
{
    return static_cast<size_t>(TILE) * TILE * static_cast<size_t>(channels);
}

bool cropFits(const int* crop, long long width, long long height)
{
    return crop != nullptr && crop[0] >= 0 && crop[1] >= 0 && crop[0] < crop[2] && crop[1] < crop[3] &&
           crop[2] <= width && crop[3] <= height;
}

std::string sizeText(int width, int height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

} // namespace

CPyramid::~CPyramid()
{
    drop(m_base);
    drop(m_coarse);
}

void CPyramid::adopt(const std::shared_ptr<CPyramidEntry>& entry)
{
    if (!entry)
        return;
    if (entry->isInMemory())
        CPyramidMemory::getInstance().addPixels(static_cast<int64_t>(entry->getByteCount()));
    else
        CPyramidCache::hold(entry->getPath());
}

void CPyramid::drop(const std::shared_ptr<CPyramidEntry>& entry)
{
    if (!entry)
        return;
    if (entry->isInMemory())
        CPyramidMemory::getInstance().addPixels(-static_cast<int64_t>(entry->getByteCount()));
    else
        CPyramidCache::letGo(entry->getPath());
}

bool CPyramid::isCached() const
{
    return m_base && !m_base->isInMemory();
}

CPyramidVariant CPyramid::getCoarseVariant() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_coarseVariant;
}

void CPyramid::setLayout(int width, int height, int channels)
{
    m_layout = CPyramidLayout(width, height);
    m_channels = channels;
    int level = m_layout.getLevelCount() - 1;
    int count = m_layout.getColumns(level) * m_layout.getRows(level);
    while (level > 0 && count + m_layout.getColumns(level - 1) * m_layout.getRows(level - 1) <= RESIDENT_TILES) {
        --level;
        count += m_layout.getColumns(level) * m_layout.getRows(level);
    }
    m_residentLevel = level;
}

std::shared_ptr<CPyramid> CPyramid::open(CZelFileImage* reader, const int* crop, const CPyramidVariant& variant,
                                         CPyramidCache* cache, std::string& message, std::string& detail)
{
    std::shared_ptr<CPyramid> pyramid(new CPyramid());
    pyramid->m_path = reader->getFileName();
    pyramid->m_coarseVariant = variant;
    message.clear();
    detail.clear();
    std::string why;
    CPyramidCache* usable = cache;
    if (usable != nullptr && !usable->prepare(why)) {
        detail = "The tile cache cannot be used (" + why + "): the tiles of " + pyramid->m_path +
                 " are held in memory.";
        usable = nullptr;
    }
    if (usable != nullptr && CPyramidCache::pictureKey(pyramid->m_path, cropFits(crop, 1LL << 31, 1LL << 31) ? crop : nullptr,
                                                       pyramid->m_key)) {
        pyramid->m_cache.reset(new CPyramidCache(*usable));
        if (pyramid->openCached(variant, detail)) {
            pyramid->placeCrop(crop);
            return pyramid;
        }
    }
    if (!pyramid->build(reader, crop, variant, pyramid->m_cache.get(), message, detail))
        return nullptr;
    pyramid->placeCrop(crop);
    return pyramid;
}

void CPyramid::placeCrop(const int* crop)
{
    if (cropFits(crop, m_fileWidth, m_fileHeight)) {
        m_fileLeft = crop[0];
        m_fileTop = crop[1];
    }
}

bool CPyramid::openCached(const CPyramidVariant& variant, std::string& detail)
{
    std::string why;
    std::shared_ptr<CPyramidEntry> base = CPyramidEntry::openFile(m_cache->entryPath(m_key, "base"), m_key, why);
    if (base) {
        const CPyramidEntry::Shape& shape = base->getShape();
        if (shape.width > 0 && shape.height > 0 && shape.firstTile == 0) {
            setLayout(shape.width, shape.height, shape.channels);
            if (shape.tileCount != m_layout.getColumns(0) * m_layout.getRows(0))
                base = nullptr;
        } else {
            base = nullptr;
        }
        if (!base)
            why = "is damaged";
    }
    if (!base) {
        if (!why.empty())
            detail = "The cached tiles of " + m_path + " " + why + ": they are made anew.";
        return false;
    }
    m_base = base;
    m_fileWidth = base->getShape().fileWidth;
    m_fileHeight = base->getShape().fileHeight;
    adopt(m_base);
    if ((m_layout.getLevelCount() > 1 && !openCoarse(variant) && !deriveCoarse(variant)) || !readResident()) {
        detail = "The cached tiles of " + m_path + " are damaged: they are made anew.";
        drop(m_base);
        drop(m_coarse);
        m_base = m_coarse = nullptr;
        m_resident.clear();
        m_damaged = false;
        return false;
    }
    detail = "Tiles of " + m_path + ": " + sizeText(getWidth(), getHeight()) + " pixels in " +
             std::to_string(m_layout.getLevelCount()) + " levels, read from the cache.";
    return true;
}

bool CPyramid::openCoarse(const CPyramidVariant& variant)
{
    const std::string key = coarseKey(variant);
    std::string why;
    std::shared_ptr<CPyramidEntry> coarse = CPyramidEntry::openFile(m_cache->entryPath(key, variant.getName()), key, why);
    if (!coarse)
        return false;
    const CPyramidEntry::Shape& shape = coarse->getShape();
    if (shape.channels != 4 || shape.firstTile != m_layout.getFirstTile(1) ||
        shape.tileCount != m_layout.getTileCount() - m_layout.getFirstTile(1))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    takeCoarse(coarse, variant);
    return true;
}

bool CPyramid::readResident()
{
    const CPyramidVariant variant = getCoarseVariant();
    std::map<int, std::vector<unsigned char>> resident;
    bool all = true;
    for (int index = m_layout.getFirstTile(m_residentLevel); index < m_layout.getTileCount(); ++index) {
        std::vector<unsigned char> rgba;
        if (readTexture(index, variant, rgba))
            resident[index] = std::move(rgba);
        else
            all = false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_resident.swap(resident);
    return all;
}

void CPyramid::damaged(const std::shared_ptr<CPyramidEntry>& entry) const
{
    if (!entry->isInMemory() && !m_damaged.exchange(true))
        unlink(entry->getPath().c_str());
}

bool CPyramid::build(CZelFileImage* reader, const int* crop, const CPyramidVariant& variant, CPyramidCache* cache,
                     std::string& message, std::string& detail)
{
    std::unique_ptr<CPyramidBuilder> builder;
    std::unique_ptr<CPyramidEntryWriter> baseWriter, coarseWriter;
    std::map<int, std::vector<unsigned char>> resident;
    int x0 = 0, top = 0, channels = 0;
    uint64_t reserved = 0;
    std::string failure;

    const CPyramidBuilder::TileSink takeTile = [&](int level, int row, int column, int tileChannels,
                                                   const unsigned char* pixels) {
        const int index = m_layout.getTileIndex(level, row, column);
        CPyramidEntryWriter* writer = level == 0 ? baseWriter.get() : coarseWriter.get();
        if (!writer->addTile(index, pixels)) {
            failure = writer->getErrorMessage();
            return false;
        }
        if (level >= m_residentLevel) {
            std::vector<unsigned char>& rgba = resident[index];
            if (level == 0) {
                rgba.resize(tileBytes(4));
                variant.makeTexture(pixels, tileChannels, TILE, rgba.data());
            } else {
                rgba.assign(pixels, pixels + tileBytes(4));
            }
        }
        return true;
    };
    const CZelFileImage::LayoutSink takeLayout = [&](const CZelFileImage::Layout& layout) {
        m_fileWidth = layout.width;
        m_fileHeight = layout.height;
        int width = layout.width, height = layout.height;
        if (cropFits(crop, layout.width, layout.height)) {
            x0 = crop[0];
            top = crop[1];
            width = crop[2] - crop[0];
            height = crop[3] - crop[1];
        }
        if (CPyramidBuilder::bandBytes(width) > LARGEST_BANDS) {
            failure = "Image " + m_path + " is too large: " + sizeText(layout.width, layout.height) +
                      " pixels; pictures may be at most " + std::to_string(LARGEST_BANDS / CPyramidBuilder::bandBytes(1)) +
                      " pixels wide.";
            return false;
        }
        channels = layout.channels;
        setLayout(width, height, CPyramidBuilder::storedChannels(channels));
        const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
        // At most the raw pixels of every level; LZ4 takes about half.
        const uint64_t estimate = pixels * static_cast<uint64_t>(m_channels) + pixels * 4 / 3;
        std::string why;
        if (cache != nullptr && !cache->reserve(estimate, why)) {
            detail = "Not enough disk space to cache the tiles of " + m_path + " (" + why +
                     "): they are held in memory.";
            cache = nullptr;
        }
        if (cache != nullptr)
            reserved = estimate;
        const int level0 = m_layout.getColumns(0) * m_layout.getRows(0);
        const CPyramidEntry::Shape base{m_key, 0, level0, m_channels, width, height, m_fileWidth, m_fileHeight};
        baseWriter.reset(new CPyramidEntryWriter(cache ? cache->entryPath(m_key, "base") : "", base));
        if (m_layout.getLevelCount() > 1) {
            const CPyramidEntry::Shape coarse{coarseKey(variant), level0, m_layout.getTileCount() - level0, 4,
                                              width, height, m_fileWidth, m_fileHeight};
            coarseWriter.reset(new CPyramidEntryWriter(cache ? cache->entryPath(coarse.key, variant.getName()) : "",
                                                       coarse));
        }
        if (!baseWriter->isOpen() || (coarseWriter && !coarseWriter->isOpen())) {
            failure = !baseWriter->isOpen() ? baseWriter->getErrorMessage() : coarseWriter->getErrorMessage();
            return false;
        }
        builder.reset(new CPyramidBuilder(m_layout, channels, variant, false, takeTile));
        return true;
    };
    const CZelFileImage::RowSink takeRow = [&](int rowFromTop, const unsigned char* row) {
        const int y = rowFromTop - top;
        if (y < 0 || y >= m_layout.getHeight())
            return true;
        if (builder->addRow(y, row + static_cast<size_t>(x0) * static_cast<size_t>(channels)))
            return true;
        if (failure.empty())
            failure = "Cannot read image " + m_path + ": its rows come in an order its tiles cannot be made from";
        return false;
    };
    const bool read = reader->readRows(takeLayout, takeRow);
    bool done = read && builder && builder->isComplete() && baseWriter->commit(m_base) &&
                (!coarseWriter || coarseWriter->commit(m_coarse));
    if (reserved > 0)
        cache->release(reserved);
    if (!done && read && cache != nullptr && builder && builder->isComplete()) {
        // The disk filled up while the entries were written: the picture is
        // read again, into memory.
        detail = "The tiles of " + m_path + " could not be cached (" +
                 (baseWriter->getErrorMessage().empty() ? coarseWriter->getErrorMessage()
                                                         : baseWriter->getErrorMessage()) +
                 "): they are held in memory.";
        m_base = m_coarse = nullptr;
        std::string memoryDetail;
        return build(reader, crop, variant, nullptr, message, memoryDetail);
    }
    if (!done) {
        m_base = m_coarse = nullptr;
        if (!read && !reader->getErrorMessage().empty() && failure.empty()) {
            message = reader->getErrorMessage();
            detail = reader->getFileName() + ": " + reader->getErrorMessage();
        } else {
            message = failure.empty() ? "Cannot read image " + m_path + "." : failure;
            detail = m_path + ": " + message;
        }
        return false;
    }
    adopt(m_base);
    adopt(m_coarse);
    m_coarseVariant = variant;
    m_resident.swap(resident);
    if (cache != nullptr)
        cache->clean(cache->getSizeLimit());
    if (detail.empty())
        detail = "Tiles of " + m_path + ": " + sizeText(getWidth(), getHeight()) + " pixels in " +
                 std::to_string(m_layout.getLevelCount()) + " levels, " +
                 (cache != nullptr ? "written to the cache." : "held in memory.");
    return true;
}

std::shared_ptr<CPyramid> CPyramid::fromImage(const CZelImage* image, const CPyramidVariant& variant)
{
    if (image == nullptr || image->getPixels() == nullptr || image->getWidth() <= 0 || image->getHeight() <= 0)
        return nullptr;
    // A reader whose rows are the image's, from the top down.
    class ImageRows : public CZelFileImage
    {
    public:
        explicit ImageRows(const CZelImage* image) : m_image(image) { setFileName("(picture in memory)"); }
        bool decode(const LayoutSink& layoutSink, const RowSink& rowSink) override
        {
            Layout layout;
            layout.width = m_image->getWidth();
            layout.height = m_image->getHeight();
            layout.channels = m_image->getChannels();
            if (!layoutSink(layout))
                return false;
            const size_t stride = static_cast<size_t>(layout.width) * static_cast<size_t>(layout.channels);
            for (int y = 0; y < layout.height; ++y)
                if (!rowSink(y, m_image->getPixels() + static_cast<size_t>(layout.height - 1 - y) * stride))
                    return false;
            return true;
        }

    private:
        const CZelImage* m_image;
    };
    ImageRows rows(image);
    std::string message, detail;
    return open(&rows, nullptr, variant, nullptr, message, detail);
}

bool CPyramid::deriveCoarse(const CPyramidVariant& variant)
{
    std::lock_guard<std::mutex> deriving(m_deriving);
    if (getCoarseVariant() == variant && (m_coarse || m_layout.getLevelCount() == 1)) {
        readResident();
        return true;
    }
    if (m_layout.getLevelCount() == 1) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_coarseVariant = variant;
            m_resident.clear();
        }
        readResident();
        return true;
    }
    if (m_cache && isCached() && openCoarse(variant)) {
        readResident();
        return true;
    }
    const int level0 = m_layout.getColumns(0) * m_layout.getRows(0);
    const CPyramidEntry::Shape shape{coarseKey(variant), level0, m_layout.getTileCount() - level0, 4,
                                     getWidth(), getHeight(), m_fileWidth, m_fileHeight};
    uint64_t reserved = 0;
    std::string why;
    const uint64_t estimate = static_cast<uint64_t>(getWidth()) * static_cast<uint64_t>(getHeight()) * 4 / 3;
    const bool toDisk = m_cache && isCached() && m_cache->reserve(estimate, why);
    if (toDisk)
        reserved = estimate;
    CPyramidEntryWriter writer(toDisk ? m_cache->entryPath(shape.key, variant.getName()) : "", shape);
    CPyramidBuilder builder(m_layout, m_channels, variant, true,
                            [&](int level, int row, int column, int, const unsigned char* pixels) {
                                return writer.addTile(m_layout.getTileIndex(level, row, column), pixels);
                            });
    // Level 0 comes back band by band, as the rows it was made from.
    const int columns = m_layout.getColumns(0);
    const size_t tileRow = static_cast<size_t>(TILE) * static_cast<size_t>(m_channels);
    std::vector<unsigned char> band(tileBytes(m_channels) * static_cast<size_t>(columns));
    std::vector<unsigned char> row(tileRow * static_cast<size_t>(columns));
    bool ok = writer.isOpen();
    for (int r = 0; ok && r < m_layout.getRows(0); ++r) {
        for (int c = 0; ok && c < columns; ++c)
            ok = m_base->readTile(m_layout.getTileIndex(0, r, c), band.data() + tileBytes(m_channels) * c);
        for (int y = 0; ok && y < m_layout.getTileHeight(0, r); ++y) {
            for (int c = 0; c < columns; ++c)
                std::memcpy(row.data() + tileRow * c, band.data() + tileBytes(m_channels) * c + tileRow * y, tileRow);
            ok = builder.addRow(r * TILE + y, row.data());
        }
    }
    std::shared_ptr<CPyramidEntry> coarse;
    ok = ok && builder.isComplete() && writer.commit(coarse);
    if (reserved > 0)
        m_cache->release(reserved);
    if (!ok)
        return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        takeCoarse(coarse, variant);
    }
    readResident();
    return true;
}

bool CPyramid::readTexture(int index, const CPyramidVariant& variant, std::vector<unsigned char>& rgba) const
{
    int level = 0, row = 0, column = 0;
    if (!m_layout.locate(index, level, row, column))
        return false;
    std::shared_ptr<CPyramidEntry> coarse;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_coarseVariant == variant) {
            auto found = m_resident.find(index);
            if (found != m_resident.end()) {
                rgba = found->second;
                return true;
            }
        }
        if (level > 0 && m_coarseVariant != variant)
            return false;
        coarse = m_coarse;
    }
    rgba.resize(tileBytes(4));
    if (level > 0) {
        if (coarse && coarse->readTile(index, rgba.data()))
            return true;
        if (coarse)
            damaged(coarse);
        return false;
    }
    std::vector<unsigned char> stored(tileBytes(m_channels));
    if (!m_base->readTile(index, stored.data())) {
        damaged(m_base);
        return false;
    }
    variant.makeTexture(stored.data(), m_channels, TILE, rgba.data());
    return true;
}

bool CPyramid::takeTexture(int index, const CPyramidVariant& variant, std::vector<unsigned char>& rgba)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto found = m_resident.find(index);
        if (m_coarseVariant == variant && found != m_resident.end()) {
            rgba.swap(found->second);
            m_resident.erase(found);
            return true;
        }
    }
    return readTexture(index, variant, rgba);
}

CZelImage* CPyramid::readFullTile(int row, int column) const
{
    if (row < 0 || column < 0 || row >= m_layout.getRows(0) || column >= m_layout.getColumns(0))
        return nullptr;
    std::vector<unsigned char> stored(tileBytes(m_channels));
    if (!m_base->readTile(m_layout.getTileIndex(0, row, column), stored.data()))
        return nullptr;
    CZelImage* image = new CZelImage();
    image->setChannels(4);
    if (!image->setSize(TILE, TILE)) {
        delete image;
        return nullptr;
    }
    for (int y = 0; y < TILE; ++y) {
        const unsigned char* from = stored.data() + static_cast<size_t>(y) * TILE * static_cast<size_t>(m_channels);
        unsigned char* to = image->getPixels() + static_cast<size_t>(TILE - 1 - y) * TILE * 4;
        for (int x = 0; x < TILE; ++x, from += m_channels, to += 4) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
            to[3] = m_channels == 4 ? from[3] : 255;
        }
    }
    return image;
}

bool CPyramid::readPixel(int x, int y, unsigned char rgba[4]) const
{
    if (x < 0 || y < 0 || x >= getWidth() || y >= getHeight())
        return false;
    const int index = m_layout.getTileIndex(0, y / TILE, x / TILE);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index != m_lastTile) {
        m_lastPixels.resize(tileBytes(m_channels));
        if (!m_base->readTile(index, m_lastPixels.data())) {
            m_lastTile = -1;
            return false;
        }
        m_lastTile = index;
    }
    const unsigned char* p =
        m_lastPixels.data() + (static_cast<size_t>(y % TILE) * TILE + static_cast<size_t>(x % TILE)) * m_channels;
    rgba[0] = p[0];
    rgba[1] = p[1];
    rgba[2] = p[2];
    rgba[3] = m_channels == 4 ? p[3] : 255;
    return true;
}

void CPyramid::takeCoarse(const std::shared_ptr<CPyramidEntry>& coarse, const CPyramidVariant& variant)
{
    drop(m_coarse);
    m_coarse = coarse;
    m_coarseVariant = variant;
    m_resident.clear();
    adopt(m_coarse);
}
