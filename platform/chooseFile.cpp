// File dialog over Fl_Native_File_Chooser.
#include "chooseFile.h"

#include "CMorMessageBox.h"

#include <FL/Fl_Native_File_Chooser.H>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <iostream>

namespace {

// Room for the longest path the system accepts.
char chosenPath[PATH_MAX];

} // namespace

std::string defaultExtensionOf(const std::string& pattern)
{
    const size_t star = pattern.find("*.");
    if (star == std::string::npos)
        return std::string();
    // Of alternatives, "*.{glb,gltf}", the first.
    if (pattern.compare(star + 2, 1, "{") == 0)
        return pattern.substr(star + 3, pattern.find_first_of(",}", star + 3) - (star + 3));
    return pattern.substr(star + 2);
}

std::string fileFilterOf(const std::string& pattern)
{
    if (pattern.find('\t') != std::string::npos)
        return pattern;
    // "*.{glb,gltf}" reads "*.glb, *.gltf files".
    const size_t open = pattern.find("*.{");
    const size_t close = pattern.find('}', open);
    if (open == std::string::npos || close == std::string::npos)
        return pattern + " files\t" + pattern;
    std::string label;
    for (size_t start = open + 3; start < close;) {
        const size_t end = std::min(pattern.find(',', start), close);
        label += (label.empty() ? "*." : ", *.") + pattern.substr(start, end - start);
        start = end + 1;
    }
    return label + " files\t" + pattern;
}

std::string withDefaultExtension(const std::string& path, const std::string& extension)
{
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // A leading dot marks a hidden file, not an extension.
    const size_t dot = name.rfind('.');
    if (extension.empty() || name.empty() || (dot != std::string::npos && dot > 0))
        return path;
    return path + "." + extension;
}

const char* chooseFile(const char* title, const char* pattern, const char* defaultName, CMorFileDialogKind kind,
                       const std::string& folder)
{
    const bool saving = kind == CMorFileDialogKind::Save;
    Fl_Native_File_Chooser chooser(saving ? Fl_Native_File_Chooser::BROWSE_SAVE_FILE
                                          : Fl_Native_File_Chooser::BROWSE_FILE);
    chooser.title(title);
    chooser.filter(fileFilterOf(pattern).c_str());
    // Start in the folder asked for, else in the working folder, where
    // relative names on the command line are, not in a list of recent files.
    struct stat status;
    char workingFolder[PATH_MAX];
    if (!folder.empty() && stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
        chooser.directory(folder.c_str());
    else if (getcwd(workingFolder, sizeof workingFolder) != nullptr)
        chooser.directory(workingFolder);
    if (defaultName != nullptr && *defaultName != '\0')
        chooser.preset_file(defaultName);
    // The chooser's own question about replacing a file would see the name
    // as typed, before the extension is added: the question comes below.
    if (saving)
        chooser.options(Fl_Native_File_Chooser::NEW_FOLDER);
    // 1 is cancel, -1 an error the chooser reports through errmsg.
    const int result = chooser.show();
    if (result == -1)
        std::cout << "The file dialog failed: " << chooser.errmsg() << std::endl;
    if (result != 0 || chooser.filename() == nullptr || *chooser.filename() == '\0')
        return nullptr;
    std::string path = chooser.filename();
    if (saving) {
        path = withDefaultExtension(path, defaultExtensionOf(pattern));
        if (access(path.c_str(), F_OK) == 0 &&
            !CMorMessageBox::ask(path + " already exists.\nDo you want to replace it?"))
            return nullptr;
    }
    if (path.size() >= sizeof chosenPath) {
        std::cout << "The chosen path is longer than the system allows: " << path << std::endl;
        return nullptr;
    }
    std::memcpy(chosenPath, path.c_str(), path.size() + 1);
    return chosenPath;
}
