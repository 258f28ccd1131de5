// Paths and images named in description files.
#pragma once

#include "CZelFileImage.h"

#include <functional>
#include <memory>
#include <string>

class CPyramid;
class CPyramidCache;
class CPyramidVariant;

// Turns every "\" into "/" and splits at the last "/": the directory without
// the "/", and the file name. Without a "/" the directory is empty.
void splitPath(const std::string& path, std::string& directory, std::string& fileName);

// Splits at the last "."; without one the extension is empty.
void splitExtension(const std::string& path, std::string& base, std::string& extension);

// Whether path is a regular file that can be opened for reading.
bool fileExists(const std::string& path);

// The file an image token of a description in directory names: the token
// under the directory, as descriptions have always been read, or an absolute
// token as it stands when nothing lies under the directory by that name but
// the token itself names a file.
std::string resolveImagePath(const std::string& directory, const std::string& token);

// Rewrites a picture name of a description in directory from so that it
// names the same file from directory to: a relative name becomes the
// relative path between them, an absolute one stays. False with error set
// when the new name would hold a blank, which a description word cannot.
bool rebaseImageToken(const std::string& from, const std::string& to, std::string& token, std::string& error);

// Reads the image with the reader its extension names (png, bmp, jpg, jpeg,
// tif, tiff, in any letter case). Returns a new image (the caller holds it with
// a reference) with detail set to what the log should tell of it (a
// reduction; empty when nothing), or null with message set to the reason the
// user is given and detail to the log line that tells what exactly failed
// (empty when there is none); a picture beyond the readers' size limits that
// cannot be reduced is refused with a message that says so. Writes nothing,
// so that another thread may call it.
CZelFileImage* readImageByExtension(const std::string& path, std::string& message, std::string& detail);
// The pyramid of the picture the extension names a reader for (see
// CPyramid::open): from the cache (borrowed; null: kept in memory) when it
// holds this very file, else made while the picture is read, so that it is
// never held whole. crop (borrowed; null for none) keeps only the rectangle
// x0, y0, x1, y1 of the file's pixels from the top left, ends exclusive; a
// crop that does not fit the picture keeps all of it, for the caller to
// refuse. Null with message and detail as readImageByExtension sets them;
// otherwise detail tells where the tiles came from. Writes nothing.
std::shared_ptr<CPyramid> readPyramidByExtension(const std::string& path, const int* crop,
                                                 const CPyramidVariant& variant, CPyramidCache* cache,
                                                 std::string& message, std::string& detail);
// Reads the picture row by row with the reader its extension names, for the
// sinks of CZelFileImage::readRows, without holding it: the layout sink is
// also told the picture's size in the file (the rows may come reduced). False
// with message and detail as readImageByExtension sets them, or when a sink
// refused.
using FileLayoutSink = std::function<bool(const CZelFileImage::Layout&, int fileWidth, int fileHeight)>;
bool readRowsByExtension(const std::string& path, const FileLayoutSink& layoutSink,
                         const CZelFileImage::RowSink& rowSink, std::string& message, std::string& detail);
