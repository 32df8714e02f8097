#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string_view>

#include "i18n/code_page.h"
#include "link/result.h"

namespace sequaflow::i18n {

enum class LanguageFileError {
    CannotOpen,  // missing or unreadable; nothing applied
    TooLarge,    // not a language file; nothing applied
    BadId,       // an entry whose id is not a decimal number; the entries above it were applied
};

struct LanguageLoadSummary {
    std::size_t entries = 0;          // entry lines handed to the sink (known ids or not)
    std::size_t replacedBytes = 0;    // bytes undefined in the code page, shown as U+FFFD
    std::size_t truncatedTexts = 0;   // texts cut to kMaxTextCharacters
    CodePage codePage = CodePage::Utf8;  // the encoding the file was read in
};

// Receives each entry in file order, text already in UTF-8.
using LanguageEntrySink = std::function<void(int id, std::string_view text)>;

inline constexpr std::size_t kMaxTextCharacters = 5011;
inline constexpr std::size_t kMaxLanguageFileBytes = 8u * 1024u * 1024u;

// Reads language-file bytes. Lines end in LF or CR LF; '#' starts a comment line; otherwise characters 1..5
// are the id, character 6 is dropped whatever it is, and the rest of the line is the text, unchanged.
// With CodePage::Utf8 the bytes are read as UTF-8 when they are valid UTF-8 (a leading byte-order mark is
// skipped) and as Windows-1250 otherwise. `fileName` only names the file in error details.
[[nodiscard]] Result<LanguageLoadSummary, LanguageFileError> ParseLanguageText(std::string_view bytes, CodePage page,
                                                                            std::string_view fileName,
                                                                            const LanguageEntrySink& sink);

[[nodiscard]] Result<LanguageLoadSummary, LanguageFileError> LoadLanguageFile(const std::filesystem::path& path,
                                                                           CodePage page,
                                                                           const LanguageEntrySink& sink);

}  // namespace sequaflow::i18n
