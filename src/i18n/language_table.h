#pragma once

#include <array>
#include <string_view>

#include "i18n/code_page.h"

namespace sequaflow::i18n {

struct Language {
    int number;                  // what jezyk.txt stores
    std::string_view menuItem;   // objectName of the item in the language menu
    std::string_view caption;    // built-in menu caption
    bool visibleAtStart;
    std::string_view fileName;   // relative to the start directory
    int charset;                 // font character set (Windows number)
};

inline constexpr std::array<Language, 9> kLanguages{{
    {1, "Polski1", "Polski", true, "lang/polish_ks.txt", 1},
    {2, "Angielski1", "Angielski", true, "lang/english_ks.txt", 1},
    {3, "Rosyjski1", "Rosyjski", true, "lang/russian_ks.txt", 204},
    {4, "Niemiecki1", "Niemiecki", true, "lang/niemiecki1.txt", 1},
    {5, "Litewski1", "litewski (lt)", true, "lang/litewski.txt", 186},
    {6, "Wloski1", "wloski", true, "lang/wloski.txt", 1},
    {7, "Serbski1", "serbski", true, "lang/serbski.txt", 1},
    {8, "Chorwacki1", "chorwacki", true, "lang/chorwacki.txt", 238},
    {9, "Turecki1", "turkish", true, "lang/turkish_ks.txt", 162},
}};

// Order of the items in the language menu, by language number.
inline constexpr std::array<int, 9> kLanguageMenuOrder{2, 4, 1, 3, 5, 6, 7, 8, 9};

inline constexpr int kPolish = 1;

// The language of `number`, or nullptr outside 1..9.
[[nodiscard]] constexpr const Language* findLanguage(int number) {
    for (const auto& language : kLanguages)
        if (language.number == number) return &language;
    return nullptr;
}

[[nodiscard]] constexpr CodePage codePageOf(const Language& language) { return codePageForCharset(language.charset); }

}  // namespace sequaflow::i18n
