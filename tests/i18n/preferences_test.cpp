#include "i18n/preferences.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <fstream>
#include <string>

#include "i18n/language_table.h"

namespace sequaflow::i18n {
namespace {

void writeBytes(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary);
    out << bytes;
}

std::string readBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(LanguagePreference, StartupChoiceFollowsTheFirstRawByte) {
    EXPECT_EQ(StartupLanguage("."), std::optional<int>(1));  // no file: Polish

    writeBytes("jezyk.txt", "2");  // the character, not the number
    EXPECT_EQ(StartupLanguage("."), std::nullopt);
    writeBytes("jezyk.txt", std::string(1, '\x02'));
    EXPECT_EQ(StartupLanguage("."), std::optional<int>(2));
    EXPECT_EQ(findLanguage(2)->fileName, "lang/english_ks.txt");

    writeBytes("jezyk.txt", std::string("\x09\x01", 2));  // only the first byte counts
    const auto turkish = StartupLanguage(".");
    ASSERT_EQ(turkish, std::optional<int>(9));
    EXPECT_EQ(findLanguage(*turkish)->charset, 162);
    EXPECT_EQ(codePageOf(*findLanguage(*turkish)), CodePage::Windows1254);

    for (const char bad : {'\x00', '\x0A', '\xFF'}) {
        writeBytes("jezyk.txt", std::string(1, bad));
        EXPECT_EQ(StartupLanguage("."), std::nullopt) << int(static_cast<unsigned char>(bad));
    }
}

TEST(LanguagePreference, EmptyFileSelectsNothingAndStaysEmpty) {
    writeBytes("jezyk.txt", "");
    EXPECT_EQ(StartupLanguage("."), std::nullopt);
    EXPECT_EQ(std::filesystem::file_size("jezyk.txt"), 0u);
}

TEST(LanguagePreference, DirectoryInPlaceOfTheFileCountsAsMissing) {
    std::filesystem::create_directory("jezyk.txt");
    EXPECT_EQ(StartupLanguage("."), std::optional<int>(1));
}

TEST(PreferenceFiles, WritesReplaceTheFileWithOneRawByte) {
    writeBytes("jezyk.txt", "old contents that are longer");
    ASSERT_TRUE(WriteLanguagePreference(".", 9).ok());
    EXPECT_EQ(readBytes("jezyk.txt"), std::string(1, '\x09'));
    ASSERT_TRUE(WriteLanguagePreference(".", 0x104).ok());  // low byte only
    EXPECT_EQ(readBytes("jezyk.txt"), std::string(1, '\x04'));

    ASSERT_TRUE(WriteWindowSizePreference(".", 1).ok());
    EXPECT_EQ(readBytes("rozdz.txt"), std::string(1, '\x01'));
    ASSERT_TRUE(WriteWindowSizePreference(".", 0).ok());
    EXPECT_EQ(readBytes("rozdz.txt"), std::string(1, '\x00'));
    EXPECT_FALSE(std::filesystem::exists("jezyk.txt.tmp"));
}

TEST(PreferenceFiles, FailedWriteIsReportedAndLeavesNothingBehind) {
    const auto result = WriteLanguagePreference("no/such/dir", 2);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().code, PreferenceError::WriteFailed);

    // A directory where the file should be: the rename fails, the directory stays, no temp file is left.
    std::filesystem::create_directory("rozdz.txt");
    std::filesystem::create_directory("rozdz.txt/keep");
    EXPECT_FALSE(WriteWindowSizePreference(".", 2).ok());
    EXPECT_TRUE(std::filesystem::is_directory("rozdz.txt/keep"));
    EXPECT_FALSE(std::filesystem::exists("rozdz.txt.tmp"));
}

TEST(PreferenceFiles, WindowSizeItemsWriteTheirIndexAndOnlyTheHiddenOneHasNoAction) {
    int withAction = 0;
    for (const auto& size : kWindowSizes) {
        if (size.preferenceByte < 0) {
            EXPECT_FALSE(size.visible);
            continue;
        }
        ++withAction;
        EXPECT_EQ(size.caption, std::to_string(size.width) + "x" + std::to_string(size.height));
    }
    EXPECT_EQ(withAction, 3);
}

TEST(LanguageTable, MenuOrderListsEveryLanguageOnce) {
    std::set<int> seen(kLanguageMenuOrder.begin(), kLanguageMenuOrder.end());
    EXPECT_EQ(seen.size(), 9u);
    EXPECT_EQ(kLanguageMenuOrder.front(), 2);
    EXPECT_EQ(findLanguage(10), nullptr);
    EXPECT_EQ(findLanguage(0), nullptr);
    // Every shipped language can be chosen, and Polish chosen back.
    for (const auto& language : kLanguages) EXPECT_TRUE(language.visibleAtStart) << language.menuItem;
}

}  // namespace
}  // namespace sequaflow::i18n
