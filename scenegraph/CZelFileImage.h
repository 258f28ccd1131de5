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
    virtual bool readImage();

    void setFileName(const std::string& fileName) { m_fileName = fileName; }
    const std::string& getFileName() const { return m_fileName; }
    // Why the last readImage failed; empty after a successful one.
    const std::string& getErrorMessage() const { return m_errorMessage; }

protected:
    // Records the reason and returns false, for "return fail(...)".
    bool fail(const std::string& message);
    void clearError() { m_errorMessage.clear(); }
    // Size in bytes of an open file, which is left at its start; -1 when the
    // file cannot be measured (a pipe, for instance).
    static long long fileSize(FILE* file);

private:
    std::string m_fileName;
    std::string m_errorMessage;
};
