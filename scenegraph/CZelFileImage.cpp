// Common part of the file readers.
#include "CZelFileImage.h"


bool CZelFileImage::readImage()
{
    return fail("No reader for this kind of image: " + m_fileName);
}

bool CZelFileImage::fail(const std::string& message)
{
    m_errorMessage = message;
    return false;
}

long long CZelFileImage::fileSize(FILE* file)
{
    if (fseeko(file, 0, SEEK_END) != 0)
        return -1;
    const long long size = static_cast<long long>(ftello(file));
    if (fseeko(file, 0, SEEK_SET) != 0)
        return -1;
    return size;
}
