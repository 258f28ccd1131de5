// libFuzzer target: the run-length paths of the BMP reader. Every input of a
// header's length becomes an RLE8 or RLE4 bitmap of at most 256 x 256
// pixels, so that mutations reach the codes instead of being refused by the
// header checks; the run-length test pictures pass through unchanged.
#include "CZelBmpImage.h"
#include "CZelPointer.h"
#include "fuzzImageReader.h"

#include <vector>

namespace {

uint32_t get32(const std::vector<uint8_t>& file, size_t at)
{
    return file[at] | (file[at + 1] << 8) | (file[at + 2] << 16) | (static_cast<uint32_t>(file[at + 3]) << 24);
}

void put32(std::vector<uint8_t>& file, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t HEADERS = 14 + 40;
    if (size < HEADERS)
        return 0;
    std::vector<uint8_t> file(data, data + size);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 14, 40);
    put32(file, 18, 1 + (get32(file, 18) - 1) % 256);
    put32(file, 22, 1 + (get32(file, 22) - 1) % 256);
    const bool rle4 = file[28] == 4;
    file[28] = rle4 ? 4 : 8;
    file[29] = 0;
    put32(file, 30, rle4 ? 2 : 1);
    CZelPointer<CZelFileImage> image(new CZelBmpImage());
    return fuzzImageReader(image, file.data(), file.size());
}
