// The check every image-reader fuzz target runs: a refused file leaves a
// message and no pixels; an accepted one has a consistent size and every
// pixel byte in place.
#pragma once

#include <cstddef>
#include <cstdint>

class CZelFileImage;

// image is borrowed; the input bytes are written to a scratch file first.
int fuzzImageReader(CZelFileImage* image, const uint8_t* data, size_t size);
