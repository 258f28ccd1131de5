// Scratch directory of the description fuzz target.
#include "CFuzzScratchDir.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

// Image names the seeds use, and the test picture each one gets.
const char* const IMAGES[][2] = {
    {"images/section-a.png", "good/png-rgb_c3_colour.png"},
    {"images/section-b.jpg", "good/jpeg-colour_c3_colour.jpg"},
    {"images/section-c.png", "good/png-rgba_c4_colour_a200.png"},
    {"images/section-d.bmp", "good/bmp-24bit_c3_colour.bmp"},
    {"images/section-e.jpg", "good/jpeg-grey_c1_grey.jpg"},
    {"images/section-f.png", "good/png-grey8_c1_grey.png"},
    {"images/section-g.jpg", "good/jpeg-progressive_c3_colour.jpg"},
    {"images/section-h.png", "good/png-greyalpha_c2_grey_a200.png"},
    {"images/section-k.png", "good/png-rgb16_c3_colour.png"},
    {"images/legend.png", "good/png-rgba_c4_colour_a200.png"},
    {"a.png", "good/png-rgb_c3_colour.png"},
    {"b.jpg", "good/jpeg-colour_c3_colour.jpg"},
    {"c.bmp", "good/bmp-8bit_c3_colour.bmp"},
    {"d.BMP", "good/bmp-32bit_c4_colour_a200.bmp"},
    {"bad.png", "bad/png-truncated.png"},
    {"bad.jpg", "bad/jpeg-truncated-data.jpg"},
    {"bad.bmp", "bad/bmp-truncated.bmp"},
    {"palette.png", "good/png-palette8_c3_colour.png"},
};

} // namespace

CFuzzScratchDir::CFuzzScratchDir(const std::string& sourceDir)
{
    char pattern[] = "/tmp/morvex-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        perror("mkdtemp");
        std::abort();
    }
    m_path = pattern;
    mkdir((m_path + "/images").c_str(), 0755);
    mkdir((m_path + "/dir.png").c_str(), 0755);
    std::ofstream(m_path + "/empty.png");
    for (const auto& image : IMAGES)
        copy(sourceDir + "/tests/data/images/" + image[1], m_path + "/" + image[0]);
}

CFuzzScratchDir::~CFuzzScratchDir()
{
    const std::string command = "rm -rf '" + m_path + "'";
    if (std::system(command.c_str()) != 0)
        fprintf(stderr, "could not remove %s\n", m_path.c_str());
}

void CFuzzScratchDir::copy(const std::string& from, const std::string& to) const
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    if (!in || !(out << in.rdbuf())) {
        fprintf(stderr, "cannot copy %s to %s\n", from.c_str(), to.c_str());
        std::abort();
    }
}
