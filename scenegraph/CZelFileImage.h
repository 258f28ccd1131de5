// An image read from a file. Each format's reader overrides readImage; a
// failed read returns false, keeps the image as it was and says why.
#pragma once

#include "CZelImage.h"

#include <cstdio>
#include <string>

class CZelFileImage : public CZelImage
{
    ZEL_DECLARE_CLASS(CZelFileImage, CZelImage)
public:
    // The largest picture any reader takes: pixels and bytes of pixel memory
    // (16384 x 16384, and 1 GiB). Larger ones are refused from their header,
    // before their pixels are allocated.
    static constexpr long long MAX_PIXELS = 1LL << 28;
    static constexpr long long MAX_BYTES = 1LL << 30;
    // Whether a picture of this size is beyond those limits.
    static bool exceedsLimits(long long width, long long height, int channels);

    virtual bool readImage();

    void setFileName(const std::string& fileName) { m_fileName = fileName; }
    const std::string& getFileName() const { return m_fileName; }
    // Why the last readImage failed; empty after a successful one.
    const std::string& getErrorMessage() const { return m_errorMessage; }
    // Whether the last readImage refused the picture for its size alone.
    bool isTooLarge() const { return m_tooLarge; }

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
    // Size in bytes of an open file, which is left at its start; -1 when the
    // file cannot be measured (a pipe, for instance).
    static long long fileSize(FILE* file);

private:
    std::string m_fileName;
    std::string m_errorMessage;
    bool m_tooLarge = false;
};
