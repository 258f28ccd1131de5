// The file dialog for opening and exporting: the toolkit's native chooser with
// one filter made from a pattern such as "*.fnc", whose extension is added to
// a typed name that has none; replacing a file is confirmed once, with the
// extension added.
#pragma once

#include <string>

enum class CMorFileDialogKind {
    Open, // an existing file
    Save  // a new or existing file; replacing one is confirmed first
};

// Shows the dialog with the title and the pattern's filter, in folder (the
// working folder when it is empty or no folder); defaultName (may be empty)
// is proposed first. Returns the chosen path in a buffer shared by all calls
// (valid until the next call), or null when the user cancels, declines to
// replace an existing file, or the path does not fit the buffer.
const char* chooseFile(const char* title, const char* pattern, const char* defaultName, CMorFileDialogKind kind,
                       const std::string& folder = std::string());

// "fnc" for "*.fnc": what follows "*." in the pattern, the first of
// alternatives in braces ("glb" for "*.{glb,gltf}"); empty without "*.".
std::string defaultExtensionOf(const std::string& pattern);
// The chooser's filter for the pattern: "*.fnc files" and the pattern; for
// alternatives, "*.glb, *.gltf files" and "*.{glb,gltf}"; a pattern that
// holds a tab is a filter already ("Name\t*.{a,b}\nAll\t*").
std::string fileFilterOf(const std::string& pattern);
// The path with "." and the extension added when its file name has no
// extension of its own (and the extension is not empty).
std::string withDefaultExtension(const std::string& path, const std::string& extension);
