#pragma once

#include <string>

namespace sequaflow::params {

// Where the program keeps jezyk.txt, rozdz.txt, parametry/ and logs/. A folder that already holds one of
// them (or the language files) is a workshop's own set-up and stays in use; anywhere else, for instance
// the home folder a desktop menu starts in, the files go to the per-user data folder instead of being
// scattered wherever the program happened to start.
struct DataFolder {
    std::string path;
    bool startFolder = true;  // false: the per-user folder
    std::string problem;      // why the per-user folder could not be used; the start folder is used then
};

// True when `folder` holds jezyk.txt, rozdz.txt, parametry or lang.
[[nodiscard]] bool HoldsProgramFiles(const std::string& folder);

// `userFolder` is made when missing; empty means there is none (the start folder is used).
[[nodiscard]] DataFolder ChooseDataFolder(const std::string& startFolder, const std::string& userFolder);

}  // namespace sequaflow::params
