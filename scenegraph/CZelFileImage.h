// An image read from a file. Each format's reader decodes its file row by row
// through decode; readImage keeps the rows, readRows hands them on instead,
// so that pictures of any size the format allows can be read.
#pragma once

#include "CZelImage.h"

#include <cstdio>
#include <functional>
#include <string>

class CZelFileImage : public CZelImage
{
    ZEL_DECLARE_CLASS(CZelFileImage, CZelImage)
public:
    // The largest picture kept whole: pixels and bytes of pixel memory
    // (16384 x 16384, and 1 GiB). readImage refuses larger ones from their
    // header, and so does readRows when their format cannot be read row by
    // row.
    static constexpr long long MAX_PIXELS = 1LL << 28;
    static constexpr long long MAX_BYTES = 1LL << 30;
    // Whether a picture of this size is beyond those limits.
    static bool exceedsLimits(long long width, long long height, int channels);

    // What a reader tells of the picture before its first row.
    struct Layout {
        int width = 0;
        int height = 0;
        // Of the rows delivered, 8 bits each: 1 grey, 2 grey and alpha, 3 RGB,
        // 4 RGBA.
        int channels = 0;
        // False when the whole picture must be decoded before its first row
        // can be delivered (interlaced PNG, progressive JPEG and the like).
        bool rowByRow = true;
    };
    // Told the layout once; false refuses the picture and stops the decoding
    // (the sink has said why, through fail).
    using LayoutSink = std::function<bool(const Layout&)>;
    // Told every row once, in the order the file stores them: its index from
    // the top of the picture and its width x channels bytes (borrowed until the
    // sink returns). False stops the decoding (the sink has said why).
    using RowSink = std::function<bool(int rowFromTop, const unsigned char* row)>;

    // Reads the file into this image (bottom row first); false with
    // getErrorMessage, the image left as it was.
    virtual bool readImage();
    // Reads the file for the two sinks, without holding its pixels. Sets
    // the notice and the source size; false with getErrorMessage when the
    // file or a sink refuses.
    bool readRows(const LayoutSink& layoutSink, const RowSink& rowSink);
    // Decodes the file for the two sinks without keeping its pixels; false
    // with getErrorMessage when the file or a sink refuses. Each format
    // overrides it.
    virtual bool decode(const LayoutSink& layoutSink, const RowSink& rowSink);

    void setFileName(const std::string& fileName) { m_fileName = fileName; }
    const std::string& getFileName() const { return m_fileName; }
    // Why the last readImage failed; empty after a successful one.
    const std::string& getErrorMessage() const { return m_errorMessage; }
    // Whether the last readImage refused the picture for its size alone.
    bool isTooLarge() const { return m_tooLarge; }
    // What the last readImage has to tell besides the picture (pages left
    // unread); empty when nothing.
    const std::string& getNotice() const { return m_notice; }
    // The picture's size in the file, known to readRows' layout sink
    // already.
    int getSourceWidth() const { return m_sourceWidth; }
    int getSourceHeight() const { return m_sourceHeight; }

protected:
    // Records the reason and returns false, for "return fail(...)".
    bool fail(const std::string& message);
    void clearError()
    {
        m_errorMessage.clear();
        m_tooLarge = false;
    }
    // Records that the picture is beyond the limits and returns false.
    bool failTooLarge(long long width, long long height, int channels);
    // Adds a sentence to the notice.
    void addNotice(const std::string& sentence);
    // Size in bytes of an open file, which is left at its start; -1 when the
    // file cannot be measured (a pipe, for instance).
    static long long fileSize(FILE* file);

private:
    std::string m_fileName;
    std::string m_errorMessage;
    std::string m_notice;
    bool m_tooLarge = false;
    int m_sourceWidth = 0;
    int m_sourceHeight = 0;
};
