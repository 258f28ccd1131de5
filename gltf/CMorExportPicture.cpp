// Reading, cropping and shrinking a fence picture for a 3-D export.
#include "CMorExportPicture.h"

#include "fenceFiles.h"

#include <algorithm>
#include <cmath>

namespace {

// Where a crop edge, counted in the file's pixels, falls in rows delivered
// reduced from source to reduced pixels: rounded outwards.
int reducedEdge(long long edge, long long reduced, long long source, bool up)
{
    const long long scaled = edge * reduced;
    return static_cast<int>(up ? (scaled + source - 1) / source : scaled / source);
}

bool cropFits(const int* crop, long long width, long long height)
{
    return crop != nullptr && crop[0] >= 0 && crop[1] >= 0 && crop[0] < crop[2] && crop[1] < crop[3] &&
           crop[2] <= width && crop[3] <= height;
}

} // namespace

std::vector<CMorExportPicture::Span> CMorExportPicture::spans(int source, int target)
{
    std::vector<Span> result(static_cast<size_t>(target));
    const double ratio = static_cast<double>(source) / target;
    for (int d = 0; d < target; ++d) {
        const double a = d * ratio;
        const double b = d + 1 == target ? source : (d + 1) * ratio;
        Span& span = result[static_cast<size_t>(d)];
        span.first = static_cast<int>(std::floor(a));
        for (int i = span.first; i < b && i < source; ++i)
            span.weights.push_back(static_cast<float>(std::min<double>(i + 1, b) - std::max<double>(i, a)));
    }
    return result;
}

bool CMorExportPicture::start(int rowWidth, int rows, int channels, int x0, int top, int x1, int bottom, int width,
                              int height, const Options& options)
{
    x0 = std::max(0, x0);
    top = std::max(0, top);
    x1 = std::min(rowWidth, x1);
    bottom = std::min(rows, bottom);
    if (x1 <= x0 || bottom <= top || channels < 1 || channels > 4 || width < 1 || height < 1)
        return false;
    m_options = options;
    m_channels = channels;
    m_x0 = x0;
    m_top = top;
    const int windowWidth = x1 - x0, windowHeight = bottom - top;
    m_sourceWidth = windowWidth;
    m_sourceHeight = windowHeight;
    m_width = std::min(width, windowWidth);
    m_height = std::min(height, windowHeight);
    m_leftOut = false;
    m_columns = spans(windowWidth, m_width);
    m_rowShares.assign(static_cast<size_t>(windowHeight), {});
    m_rowsMissing.assign(static_cast<size_t>(m_height), 0);
    m_rowWeight.assign(static_cast<size_t>(m_height), 0.0f);
    const std::vector<Span> rowSpans = spans(windowHeight, m_height);
    for (int d = 0; d < m_height; ++d) {
        const Span& span = rowSpans[static_cast<size_t>(d)];
        for (size_t k = 0; k < span.weights.size(); ++k) {
            m_rowShares[static_cast<size_t>(span.first) + k].emplace_back(d, span.weights[k]);
            m_rowWeight[static_cast<size_t>(d)] += span.weights[k];
            ++m_rowsMissing[static_cast<size_t>(d)];
        }
    }
    m_sums.assign(static_cast<size_t>(m_height), {});
    m_across.assign(static_cast<size_t>(m_width) * 4, 0.0f);
    m_pixels.assign(static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 4, 255);
    return true;
}

void CMorExportPicture::addRow(int rowFromTop, const unsigned char* row)
{
    const int y = rowFromTop - m_top;
    if (y < 0 || y >= static_cast<int>(m_rowShares.size()) || m_rowShares[static_cast<size_t>(y)].empty())
        return;
    const int c = m_channels;
    const bool grey = c < 3, hasAlpha = c == 2 || c == 4;
    const int whiteLimit = m_options.removeWhite ? m_options.whiteTolerance : -1;
    std::fill(m_across.begin(), m_across.end(), 0.0f);
    for (int j = 0; j < m_width; ++j) {
        const Span& span = m_columns[static_cast<size_t>(j)];
        float* sum = &m_across[static_cast<size_t>(j) * 4];
        const unsigned char* p = row + (static_cast<size_t>(m_x0) + static_cast<size_t>(span.first)) * c;
        for (size_t k = 0; k < span.weights.size(); ++k, p += c) {
            const int r = p[0], g = grey ? r : p[1], b = grey ? r : p[2];
            const bool transparent = hasAlpha && p[c - 1] < 128;
            if (transparent || 255 - std::min({r, g, b}) <= whiteLimit)
                continue;
            const float w = span.weights[k];
            sum[0] += w * static_cast<float>(r);
            sum[1] += w * static_cast<float>(g);
            sum[2] += w * static_cast<float>(b);
            sum[3] += w;
        }
    }
    for (const std::pair<int, float>& share : m_rowShares[static_cast<size_t>(y)]) {
        std::vector<float>& sums = m_sums[static_cast<size_t>(share.first)];
        if (sums.empty())
            sums.assign(m_across.size(), 0.0f);
        for (size_t i = 0; i < sums.size(); ++i)
            sums[i] += share.second * m_across[i];
        if (--m_rowsMissing[static_cast<size_t>(share.first)] == 0)
            finishRow(share.first);
    }
    m_rowShares[static_cast<size_t>(y)].clear();
}

void CMorExportPicture::finishRow(int row)
{
    std::vector<float>& sums = m_sums[static_cast<size_t>(row)];
    if (sums.empty())
        sums.assign(m_across.size(), 0.0f);
    unsigned char* out = &m_pixels[static_cast<size_t>(row) * static_cast<size_t>(m_width) * 4];
    for (int j = 0; j < m_width; ++j, out += 4) {
        const float* sum = &sums[static_cast<size_t>(j) * 4];
        float columnWeight = 0.0f;
        for (const float w : m_columns[static_cast<size_t>(j)].weights)
            columnWeight += w;
        const float kept = sum[3];
        for (int k = 0; k < 3; ++k)
            out[k] = kept > 0.0f ? static_cast<unsigned char>(std::lround(std::min(255.0f, sum[k] / kept))) : 255;
        const bool shown = kept >= 0.5f * columnWeight * m_rowWeight[static_cast<size_t>(row)];
        out[3] = shown ? 255 : 0;
        m_leftOut = m_leftOut || !shown;
    }
    std::vector<float>().swap(sums);
}

bool CMorExportPicture::read(const std::string& path, const Options& options, std::string& message,
                             std::string& detail)
{
    bool started = false;
    const bool read = readRowsByExtension(
        path,
        [&](const CZelFileImage::Layout& layout, int fileWidth, int fileHeight) {
            const bool cropped = cropFits(options.crop, fileWidth, fileHeight);
            const int* crop = options.crop;
            const int x0 = cropped ? reducedEdge(crop[0], layout.width, fileWidth, false) : 0;
            const int top = cropped ? reducedEdge(crop[1], layout.height, fileHeight, false) : 0;
            const int x1 =
                cropped ? std::max(x0 + 1, reducedEdge(crop[2], layout.width, fileWidth, true)) : layout.width;
            const int bottom =
                cropped ? std::max(top + 1, reducedEdge(crop[3], layout.height, fileHeight, true)) : layout.height;
            const int sourceWidth = cropped ? crop[2] - crop[0] : fileWidth;
            const int sourceHeight = cropped ? crop[3] - crop[1] : fileHeight;
            const double scale =
                std::min(1.0, static_cast<double>(options.limit) / std::max(sourceWidth, sourceHeight));
            const int width = std::max(1, static_cast<int>(std::lround(sourceWidth * scale)));
            const int height = std::max(1, static_cast<int>(std::lround(sourceHeight * scale)));
            started = start(layout.width, layout.height, layout.channels, x0, top, x1, bottom, width, height, options);
            m_sourceWidth = sourceWidth;
            m_sourceHeight = sourceHeight;
            return started;
        },
        [&](int rowFromTop, const unsigned char* row) {
            addRow(rowFromTop, row);
            return true;
        },
        message, detail);
    if (!read || !started) {
        if (message.empty())
            message = "Cannot read " + path + ".";
        return false;
    }
    // A reader that stops short leaves rows unfinished: they show what came.
    for (int d = 0; d < m_height; ++d)
        if (m_rowsMissing[static_cast<size_t>(d)] > 0)
            finishRow(d);
    return true;
}
