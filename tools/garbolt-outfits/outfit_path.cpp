#include "outfit_path.h"

#include "host/files.h"
#include "wardrobe/outfit_file.h"

namespace garbolt_outfits {

namespace {

// The last part of a path, either separator counting (Windows takes both).
std::string LastPart(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// Folder names compare without letter case, as on Windows.
bool SameFolderName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string DefaultOutfitFile(const std::string& programFolder) {
    // "./Garbolt/SavedOutfits.xml" in its parts.
    const std::string inWorkingFolder = outfit_file::kOutfitFilePath;
    const std::string folder = inWorkingFolder.substr(0, inWorkingFolder.rfind('/'));
    const std::string folderName = LastPart(folder);
    const std::string fileName = LastPart(inWorkingFolder);
    if (files::Exists(folder) || programFolder.empty()) {
        return inWorkingFolder;
    }
    if (SameFolderName(LastPart(programFolder), folderName) && files::Exists(programFolder)) {
        return programFolder + "/" + fileName;
    }
    if (files::Exists(programFolder + "/" + folderName)) {
        return programFolder + "/" + folderName + "/" + fileName;
    }
    return inWorkingFolder;
}

}  // namespace garbolt_outfits
