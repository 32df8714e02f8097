#include "params/data_folder.h"

#include <array>
#include <filesystem>
#include <system_error>

namespace sequaflow::params {

namespace fs = std::filesystem;

bool HoldsProgramFiles(const std::string& folder) {
    static constexpr std::array<const char*, 4> kMarks{"jezyk.txt", "rozdz.txt", "parametry", "lang"};
    const fs::path base = folder.empty() ? fs::path(".") : fs::path(folder);
    for (const char* mark : kMarks) {
        std::error_code ec;
        // A dangling link counts too: whoever made it meant this folder.
        if (fs::symlink_status(base / mark, ec).type() != fs::file_type::not_found && !ec) return true;
    }
    return false;
}

DataFolder ChooseDataFolder(const std::string& startFolder, const std::string& userFolder) {
    if (userFolder.empty() || HoldsProgramFiles(startFolder)) return {startFolder, true, {}};
    std::error_code ec;
    fs::create_directories(userFolder, ec);
    if (ec) return {startFolder, true, "cannot make " + userFolder + ": " + ec.message()};
    if (!fs::is_directory(userFolder, ec)) return {startFolder, true, userFolder + " is not a folder"};
    return {userFolder, false, {}};
}

}  // namespace sequaflow::params
