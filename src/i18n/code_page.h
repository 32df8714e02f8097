#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sequaflow::i18n {

// The byte encodings a language file may use.
enum class CodePage { Utf8, Windows1250, Windows1251, Windows1254, Windows1257 };

// The code page behind a font character set number of the language table. Charset 1 ("system default")
// maps to UTF-8 here; the reader falls back to Windows-1250 for such a file when it is not valid UTF-8.
[[nodiscard]] constexpr CodePage codePageForCharset(int charset) {
    switch (charset) {
        case 204: return CodePage::Windows1251;
        case 186: return CodePage::Windows1257;
        case 238: return CodePage::Windows1250;
        case 162: return CodePage::Windows1254;
        default: return CodePage::Utf8;
    }
}

[[nodiscard]] std::string_view codePageName(CodePage page);

struct DecodedText {
    std::string utf8;
    std::size_t replaced = 0;  // bytes that are not characters of the code page, each now U+FFFD
};

// Converts `bytes` from `page` to UTF-8 with the C library's iconv. Bytes the code page does not define
// become U+FFFD, so bad input never stops a load or yields broken UTF-8.
[[nodiscard]] DecodedText decodeToUtf8(std::string_view bytes, CodePage page);

struct EncodedText {
    std::string bytes;  // the whole text in the code page; empty when a character could not be encoded
    // The first character the code page cannot hold (UTF-8; U+FFFD for bytes that are not UTF-8 at all).
    std::optional<std::string> unencodable;
    bool ok() const { return !unencodable.has_value(); }
};

// Converts UTF-8 text to `page` with iconv, without substitutes: a text that cannot be held exactly is
// reported by its first offending character, never approximated.
[[nodiscard]] EncodedText encodeFromUtf8(std::string_view utf8, CodePage page);

}  // namespace sequaflow::i18n
