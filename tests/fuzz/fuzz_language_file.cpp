// A language file in any of the code pages: the reader must hand on only valid UTF-8 of bounded length,
// whatever the bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_input.h"
#include "i18n/code_page.h"
#include "i18n/language_file.h"
#include "i18n/utf8.h"

using namespace sequaflow;

namespace {
constexpr i18n::CodePage kPages[] = {i18n::CodePage::Utf8, i18n::CodePage::Windows1250, i18n::CodePage::Windows1251,
                                     i18n::CodePage::Windows1254, i18n::CodePage::Windows1257};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const auto page = kPages[in.byte() % std::size(kPages)];
    const auto rest = in.rest();
    const std::string_view bytes(reinterpret_cast<const char*>(rest.data()), rest.size());
    const auto parsed = i18n::ParseLanguageText(bytes, page, "fuzz.txt", [](int, std::string_view text) {
        if (!i18n::utf8::isValid(text)) std::abort();
    });
    (void)parsed;
    const auto decoded = i18n::decodeToUtf8(bytes, page);
    if (!i18n::utf8::isValid(decoded.utf8)) std::abort();
    // Text that came out of a code page goes back into it unless it holds substitutes.
    if (page != i18n::CodePage::Utf8 && decoded.replaced == 0) {
        const auto encoded = i18n::encodeFromUtf8(decoded.utf8, page);
        if (!encoded.ok() || encoded.bytes != bytes) std::abort();
    }
    return 0;
}
