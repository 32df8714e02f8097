#include "i18n/preferences.h"

#include <fstream>
#include <system_error>

namespace sequaflow::i18n {

Result<Ok, PreferenceError> WriteSingleBytePreference(const std::filesystem::path& file, std::uint8_t value) {
    std::filesystem::path temp = file;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return Error<PreferenceError>{PreferenceError::WriteFailed, temp.string() + ": cannot create"};
        const char byte = static_cast<char>(value);
        out.write(&byte, 1);
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return Error<PreferenceError>{PreferenceError::WriteFailed, temp.string() + ": cannot write"};
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return Error<PreferenceError>{PreferenceError::WriteFailed, file.string() + ": " + ec.message()};
    }
    return Ok{};
}

Result<Ok, PreferenceError> WriteLanguagePreference(const std::filesystem::path& startDir, int number) {
    return WriteSingleBytePreference(startDir / kLanguagePreferenceFile, static_cast<std::uint8_t>(number & 0xFF));
}

Result<Ok, PreferenceError> WriteWindowSizePreference(const std::filesystem::path& startDir, int index) {
    return WriteSingleBytePreference(startDir / kWindowSizePreferenceFile, static_cast<std::uint8_t>(index & 0xFF));
}

std::optional<int> StartupLanguage(const std::filesystem::path& startDir) {
    // Opened for reading and updating, as before: a file that cannot be rewritten counts as missing.
    std::fstream in(startDir / kLanguagePreferenceFile, std::ios::in | std::ios::out | std::ios::binary);
    if (!in) return 1;
    char byte = 0;
    if (!in.get(byte)) return std::nullopt;
    const int number = static_cast<unsigned char>(byte);
    if (number >= 1 && number <= 9) return number;
    return std::nullopt;
}

}  // namespace sequaflow::i18n
