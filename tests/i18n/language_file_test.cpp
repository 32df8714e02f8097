#include "i18n/language_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "i18n/utf8.h"

namespace sequaflow::i18n {
namespace {

using Entries = std::vector<std::pair<int, std::string>>;

struct Parsed {
    Entries entries;
    Result<LanguageLoadSummary, LanguageFileError> result;
};

Parsed parse(std::string_view bytes, CodePage page = CodePage::Utf8) {
    Entries entries;
    auto result = ParseLanguageText(bytes, page, "lang/test.txt",
                                    [&](int id, std::string_view text) { entries.emplace_back(id, std::string(text)); });
    return {std::move(entries), std::move(result)};
}

TEST(LanguageFileReader, SeparatorIsDroppedWhateverItIs) {
    EXPECT_EQ(parse("10000 File\n").entries, (Entries{{10000, "File"}}));
    EXPECT_EQ(parse("10000\tFile\n").entries, (Entries{{10000, "File"}}));
    // No separator: the first letter of the text takes its place and is lost.
    EXPECT_EQ(parse("10000File\n").entries, (Entries{{10000, "ile"}}));
    // In a UTF-8 file the separator is one whole character, never half of one.
    EXPECT_EQ(parse("10000\xC5\x81\xC3\xB3\x64\xC5\xBA\n").entries, (Entries{{10000, "\xC3\xB3\x64\xC5\xBA"}}));
}

TEST(LanguageFileReader, TextIsTakenUnchangedToTheLineEnd) {
    const auto p = parse("11114 Opis wolnozmienna \r\n13012  two leading spaces\n10001 a\\nb \"q\"\n");
    ASSERT_TRUE(p.result.ok());
    EXPECT_EQ(p.entries, (Entries{{11114, "Opis wolnozmienna "}, {13012, " two leading spaces"}, {10001, "a\\nb \"q\""}}));
}

TEST(LanguageFileReader, LineEndsCommentsEmptyLinesAndShortLines) {
    // CR LF and LF mixed, an empty line, an id alone, a last line without a line end.
    const auto p = parse("# heading\r\n\r\n10000 File\r\n\n10001\n10002 Save");
    ASSERT_TRUE(p.result.ok());
    EXPECT_EQ(p.entries, (Entries{{10000, "File"}, {10001, ""}, {10002, "Save"}}));
    EXPECT_EQ(p.result->entries, 3u);
}

TEST(LanguageFileReader, CommentWithByteFFIsSkippedAndReadingContinues) {
    const auto p = parse("#\xFF\xFF comment \xFF\n10000 \xCF\xF0\xE8\n", CodePage::Windows1251);
    ASSERT_TRUE(p.result.ok());
    EXPECT_EQ(p.entries, (Entries{{10000, "\xD0\x9F\xD1\x80\xD0\xB8"}}));  // "При"
    EXPECT_EQ(p.result->replacedBytes, 0u);
}

TEST(LanguageFileReader, LaterLinesAreDeliveredAfterEarlierOnes) {
    const auto p = parse("10114 first\n10114 second\n");
    EXPECT_EQ(p.entries, (Entries{{10114, "first"}, {10114, "second"}}));
}

TEST(LanguageFileReader, IdThatIsNotANumberStopsTheLoadNamingFileAndLine) {
    const auto p = parse("10000 File\n# note\n10x01 Broken\n10002 Never\n");
    ASSERT_FALSE(p.result.ok());
    EXPECT_EQ(p.result.error().code, LanguageFileError::BadId);
    EXPECT_NE(p.result.error().detail.find("lang/test.txt"), std::string::npos);
    EXPECT_NE(p.result.error().detail.find("line 3"), std::string::npos);
    EXPECT_NE(p.result.error().detail.find("10x01"), std::string::npos);
    EXPECT_EQ(p.entries, (Entries{{10000, "File"}}));

    // A leading space or a short id with a tab are not numbers either.
    EXPECT_FALSE(parse(" 10000 File\n").result.ok());
    EXPECT_FALSE(parse("123\tText\n").result.ok());
    // A short id on its own is a number, just not one of the table.
    EXPECT_EQ(parse("123\n").entries, (Entries{{123, ""}}));
}

TEST(LanguageFileReader, CodePagesDecodeToUtf8) {
    // Windows-1250: "ł" is 0xB3, "ż" is 0xBF.
    EXPECT_EQ(parse("10000 \xB3\xBF\n", CodePage::Windows1250).entries[0].second, "\xC5\x82\xC5\xBC");
    // Windows-1257: "ą" 0xE0, "š" 0xF0.
    EXPECT_EQ(parse("10000 \xE0\xF0\n", CodePage::Windows1257).entries[0].second, "\xC4\x85\xC5\xA1");
    // Windows-1254: "ğ" 0xF0, "İ" 0xDD.
    EXPECT_EQ(parse("10000 \xF0\xDD\n", CodePage::Windows1254).entries[0].second, "\xC4\x9F\xC4\xB0");
}

TEST(LanguageFileReader, SystemDefaultCharsetFallsBackToCentralEuropean) {
    // Valid UTF-8 stays UTF-8.
    auto p = parse("10000 \xC5\x82\n");
    EXPECT_EQ(p.result->codePage, CodePage::Utf8);
    EXPECT_EQ(p.entries[0].second, "\xC5\x82");
    // A file that is not UTF-8 is read as Windows-1250 (0xB3 = "ł").
    p = parse("10000 Plik\n10001 Bl\xB3\x61\x64\n");
    EXPECT_EQ(p.result->codePage, CodePage::Windows1250);
    EXPECT_EQ(p.entries[1].second, "Bl\xC5\x82\x61\x64");
    // A byte-order mark from a Windows editor does not hide the first line.
    p = parse("\xEF\xBB\xBF" "10000 File\n");
    ASSERT_TRUE(p.result.ok());
    EXPECT_EQ(p.entries, (Entries{{10000, "File"}}));
}

TEST(LanguageFileReader, BytesUndefinedInTheCodePageBecomeReplacementCharacters) {
    const auto p = parse("10000 a\x98" "b\n10001 c\n", CodePage::Windows1251);
    ASSERT_TRUE(p.result.ok());
    EXPECT_EQ(p.entries[0].second, "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(p.entries[1].second, "c");
    EXPECT_EQ(p.result->replacedBytes, 1u);
    EXPECT_TRUE(utf8::isValid(p.entries[0].second));
}

TEST(LanguageFileReader, OverlongTextIsCutToTheLimitWithoutSplittingCharacters) {
    std::string line = "10000 ";
    for (std::size_t i = 0; i < kMaxTextCharacters + 10; ++i) line += "\xC5\x82";  // "ł"
    const auto p = parse(line + "\n10001 next\n");
    ASSERT_TRUE(p.result.ok());
    ASSERT_EQ(p.entries.size(), 2u);
    EXPECT_EQ(utf8::countCharacters(p.entries[0].second), kMaxTextCharacters);
    EXPECT_TRUE(utf8::isValid(p.entries[0].second));
    EXPECT_EQ(p.result->truncatedTexts, 1u);
    EXPECT_EQ(p.entries[1].second, "next");

    const std::string exact = "10000 " + std::string(kMaxTextCharacters, 'x');
    EXPECT_EQ(parse(exact).entries[0].second.size(), kMaxTextCharacters);
}

TEST(LanguageFileReader, MissingFileAndDirectoryAreReportedNotRead) {
    int calls = 0;
    const auto sink = [&](int, std::string_view) { ++calls; };
    auto missing = LoadLanguageFile("lang/none.txt", CodePage::Utf8, sink);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, LanguageFileError::CannotOpen);
    EXPECT_NE(missing.error().detail.find("lang/none.txt"), std::string::npos);
    auto directory = LoadLanguageFile(".", CodePage::Utf8, sink);
    ASSERT_FALSE(directory.ok());
    EXPECT_EQ(directory.error().code, LanguageFileError::CannotOpen);
    EXPECT_EQ(calls, 0);
}

TEST(LanguageFileReader, ReadsAFileFromDisk) {
    {
        std::ofstream out("ru.txt", std::ios::binary);
        out << "# \xFF\r\n10000 \xD4\xE0\xE9\xEB\r\n";  // "Файл"
    }
    Entries entries;
    auto result = LoadLanguageFile("ru.txt", CodePage::Windows1251,
                                   [&](int id, std::string_view text) { entries.emplace_back(id, std::string(text)); });
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(entries, (Entries{{10000, "\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB"}}));
}

}  // namespace
}  // namespace sequaflow::i18n
