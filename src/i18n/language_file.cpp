#include "i18n/language_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "i18n/utf8.h"

namespace sequaflow::i18n {
namespace {

constexpr std::size_t kIdLength = 5;

bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int toNumber(std::string_view digits) {
    int value = 0;
    for (const char c : digits) value = value * 10 + (c - '0');
    return value;
}

Error<LanguageFileError> badId(std::string_view fileName, std::size_t lineNumber, std::string_view rawId,
                               CodePage page) {
    const std::string shown = decodeToUtf8(rawId, page).utf8;
    return {LanguageFileError::BadId, std::string(fileName) + ", line " + std::to_string(lineNumber) + ": \"" +
                                          shown + "\" is not a text number; the lines after it were not read"};
}

}  // namespace

Result<LanguageLoadSummary, LanguageFileError> ParseLanguageText(std::string_view bytes, CodePage page,
                                                              std::string_view fileName,
                                                              const LanguageEntrySink& sink) {
    LanguageLoadSummary summary;
    if (page == CodePage::Utf8) {
        if (bytes.substr(0, utf8::kByteOrderMark.size()) == utf8::kByteOrderMark &&
            utf8::isValid(bytes.substr(utf8::kByteOrderMark.size()))) {
            bytes.remove_prefix(utf8::kByteOrderMark.size());
        } else if (!utf8::isValid(bytes)) {
            page = CodePage::Windows1250;  // a file saved by an older editor in the Central European code page
        }
    }
    summary.codePage = page;

    std::size_t lineNumber = 0;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        ++lineNumber;
        std::size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        if (line.empty() || line.front() == '#') continue;

        const std::string_view rawId = line.substr(0, kIdLength);
        if (!allDigits(rawId)) return badId(fileName, lineNumber, rawId, page);
        std::string_view rest = line.substr(rawId.size());

        // The separator is one character of the file's encoding, whatever it is.
        if (!rest.empty()) {
            const std::size_t n = page == CodePage::Utf8 ? utf8::sequenceLength(rest, 0) : 1;
            rest.remove_prefix(n == 0 ? 1 : n);
        }

        DecodedText text = decodeToUtf8(rest, page);
        summary.replacedBytes += text.replaced;
        const std::string_view kept = utf8::truncate(text.utf8, kMaxTextCharacters);
        if (kept.size() != text.utf8.size()) ++summary.truncatedTexts;

        ++summary.entries;
        sink(toNumber(rawId), kept);
    }
    return summary;
}

Result<LanguageLoadSummary, LanguageFileError> LoadLanguageFile(const std::filesystem::path& path, CodePage page,
                                                             const LanguageEntrySink& sink) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return Error<LanguageFileError>{LanguageFileError::CannotOpen, path.string() + ": is a directory"};
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int reason = errno;
        return Error<LanguageFileError>{LanguageFileError::CannotOpen,
                                        path.string() + ": " + (reason != 0 ? std::strerror(reason) : "cannot open")};
    }
    std::string bytes;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMaxLanguageFileBytes)
            return Error<LanguageFileError>{LanguageFileError::TooLarge,
                                            path.string() + ": larger than a language file can be"};
    }
    if (in.bad())
        return Error<LanguageFileError>{LanguageFileError::CannotOpen, path.string() + ": read error"};
    return ParseLanguageText(bytes, page, path.string(), sink);
}

}  // namespace sequaflow::i18n
