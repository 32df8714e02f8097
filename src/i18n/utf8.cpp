#include "i18n/utf8.h"

namespace sequaflow::i18n::utf8 {

std::size_t sequenceLength(std::string_view bytes, std::size_t pos) {
    if (pos >= bytes.size()) return 0;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(pos);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (pos + length > bytes.size()) return 0;
    if (at(pos + 1) < low || at(pos + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (at(pos + i) < 0x80 || at(pos + i) > 0xBF) return 0;
    return length;
}

bool isValid(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t n = sequenceLength(bytes, pos);
        if (n == 0) return false;
        pos += n;
    }
    return true;
}

std::size_t countCharacters(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}

std::string_view truncate(std::string_view text, std::size_t maxCharacters) {
    std::size_t seen = 0;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if ((static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) continue;
        if (seen == maxCharacters) return text.substr(0, pos);
        ++seen;
    }
    return text;
}

}  // namespace sequaflow::i18n::utf8
