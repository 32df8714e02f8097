// Checks the language files that ship with the program against the caption table.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "i18n/caption_table.h"
#include "i18n/language_file.h"
#include "i18n/language_table.h"
#include "i18n/utf8.h"

namespace sequaflow::i18n {
namespace {

const std::filesystem::path kSourceDir = SEQUAFLOW_SOURCE_DIR;

struct ShippedFile {
    std::map<int, std::string> texts;
    std::map<int, int> occurrences;
    LanguageLoadSummary summary;
};

ShippedFile load(const Language& language) {
    ShippedFile file;
    auto result = LoadLanguageFile(kSourceDir / language.fileName, codePageOf(language), [&](int id, std::string_view text) {
        file.texts[id] = std::string(text);
        ++file.occurrences[id];
    });
    EXPECT_TRUE(result.ok()) << language.fileName << ": " << (result.ok() ? "" : result.error().detail);
    if (result.ok()) file.summary = *result;
    return file;
}

// Polish and English ship always; the other languages are checked whenever their file is present.
std::vector<const Language*> shippedLanguages() {
    std::vector<const Language*> out;
    for (const auto& language : kLanguages)
        if (language.number <= 2 || std::filesystem::exists(kSourceDir / language.fileName)) out.push_back(&language);
    return out;
}

TEST(ShippedLanguageFiles, ParseAndCoverEveryIdExactlyOnce) {
    for (const Language* language : shippedLanguages()) {
        SCOPED_TRACE(std::string(language->fileName));
        const ShippedFile file = load(*language);
        EXPECT_EQ(file.texts.size(), kCaptionCount);
        for (const auto& row : CaptionTable()) {
            const auto it = file.occurrences.find(row.id);
            EXPECT_TRUE(it != file.occurrences.end() && it->second == 1) << "id " << row.id;
        }
        for (const auto& [id, count] : file.occurrences) EXPECT_NE(FindCaption(id), nullptr) << "unknown id " << id;
    }
}

TEST(ShippedLanguageFiles, DecodeCleanlyInTheirCodePage) {
    for (const Language* language : shippedLanguages()) {
        SCOPED_TRACE(std::string(language->fileName));
        const ShippedFile file = load(*language);
        EXPECT_EQ(file.summary.replacedBytes, 0u);
        EXPECT_EQ(file.summary.truncatedTexts, 0u);
        EXPECT_EQ(file.summary.codePage, codePageOf(*language));  // a UTF-8 file must not fall back
        for (const auto& [id, text] : file.texts) {
            EXPECT_EQ(text.find(utf8::kReplacementCharacter), std::string::npos) << id;
            EXPECT_EQ(text.find('\r'), std::string::npos) << id;
            EXPECT_FALSE(text.empty()) << id;
        }
    }
}

TEST(ShippedLanguageFiles, KeepFixedFieldLengthsAndSharedTargetsAgree) {
    // Rows that reach the same control must carry the same text, or the later one silently wins.
    std::map<std::string, std::vector<int>> byTarget;
    for (const auto& row : CaptionTable())
        for (const auto& t : row.targets())
            if (!t.isStoredText())
                byTarget[std::string(t.form) + "." + std::string(t.control) + "#" + std::to_string(t.entry) +
                         "/" + std::to_string(static_cast<int>(t.part))]
                    .push_back(row.id);

    for (const Language* language : shippedLanguages()) {
        SCOPED_TRACE(std::string(language->fileName));
        const ShippedFile file = load(*language);
        for (const auto& row : CaptionTable()) {
            const std::size_t limit = row.fieldLength();
            if (limit > 0 && file.texts.count(row.id)) {
                EXPECT_LE(utf8::countCharacters(file.texts.at(row.id)), limit) << row.id;
            }
        }
        for (const auto& [target, ids] : byTarget)
            for (const int id : ids)
                if (file.texts.count(ids.front()) && file.texts.count(id)) {
                    EXPECT_EQ(file.texts.at(id), file.texts.at(ids.front())) << target << " ids " << ids.front() << "/" << id;
                }
    }
}

TEST(ShippedLanguageFiles, PolishFileHoldsTheBuiltInTexts) {
    const ShippedFile polish = load(*findLanguage(kPolish));
    for (const auto& row : CaptionTable()) EXPECT_EQ(polish.texts.count(row.id) ? polish.texts.at(row.id) : "", row.polish) << row.id;
}

TEST(ShippedLanguageFiles, TranslationsChangeTheVisibleTexts) {
    // A file that only copied the Polish texts would pass every other check.
    for (const Language* language : shippedLanguages()) {
        if (language->number == kPolish) continue;
        SCOPED_TRACE(std::string(language->fileName));
        const ShippedFile file = load(*language);
        std::size_t changed = 0;
        for (const auto& row : CaptionTable())
            if (file.texts.count(row.id) && file.texts.at(row.id) != row.polish) ++changed;
        EXPECT_GT(changed, kCaptionCount * 3 / 4);
    }
}

TEST(ShippedHelp, ExistsInEnglishAndPolish) {
    std::ifstream in(kSourceDir / "lang" / "help.txt", std::ios::binary);
    ASSERT_TRUE(in);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(utf8::isValid(text));
    EXPECT_NE(text.find("auto-adaptation"), std::string::npos);
    EXPECT_NE(text.find("autoadaptacj"), std::string::npos);
    EXPECT_NE(text.find("jezyk.txt"), std::string::npos);
}

}  // namespace
}  // namespace sequaflow::i18n
