#pragma once

#include <cstddef>
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

}  // namespace sequaflow::i18n
