// The file dialog's filter and default extension, made from a pattern.
#include "chooseFile.h"

#include <gtest/gtest.h>

TEST(FileDialog, FilterAndDefaultExtensionComeFromThePattern)
{
    EXPECT_EQ(defaultExtensionOf("*.fnc"), "fnc");
    EXPECT_EQ(defaultExtensionOf("*"), "");
    EXPECT_EQ(defaultExtensionOf("*.{glb,gltf,html}"), "glb");
    EXPECT_EQ(fileFilterOf("*.png"), "*.png files\t*.png");
    EXPECT_EQ(fileFilterOf("*.{glb,gltf,html}"), "*.glb, *.gltf, *.html files\t*.{glb,gltf,html}");
    EXPECT_EQ(fileFilterOf("Lines\t*.{shp,csv}\nAll files\t*"), "Lines\t*.{shp,csv}\nAll files\t*");
    // Added only to a name without one; a dot in a folder name or a leading dot is no extension.
    EXPECT_EQ(withDefaultExtension("/data/out", "png"), "/data/out.png");
    EXPECT_EQ(withDefaultExtension("/data/out.jpg", "png"), "/data/out.jpg");
    EXPECT_EQ(withDefaultExtension("/data/out.png", "png"), "/data/out.png");
    EXPECT_EQ(withDefaultExtension("/data/survey.2024/out", "png"), "/data/survey.2024/out.png");
    EXPECT_EQ(withDefaultExtension("/data/.out", "png"), "/data/.out.png");
    EXPECT_EQ(withDefaultExtension("out", "png"), "out.png");
    EXPECT_EQ(withDefaultExtension("/data/out", ""), "/data/out");
    EXPECT_EQ(withDefaultExtension("/data/", "png"), "/data/");
}
