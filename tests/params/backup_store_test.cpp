#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "params/backup_store.h"

using namespace sequaflow;
using namespace sequaflow::params;

namespace {

const std::string kFolder = BackupFolder(".");

ParameterFileBytes Bytes(std::uint8_t tag) {
    ParameterFileBytes b{};
    b.fill(0x11);
    b[2] = tag;
    return b;
}

BackupTime At(int minute, int second) { return BackupTime{2026, 12, 10, 4, minute, second}; }

std::vector<std::uint8_t> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t FilesIn(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

}  // namespace

TEST(BackupNames, SortableBySerialAndTimeAndReadBackExactly) {
    EXPECT_EQ(kFolder, "./parametry/backup");
    EXPECT_EQ(BackupFolder("/srv/kst/"), "/srv/kst/parametry/backup");
    EXPECT_EQ(BackupFileName(1234, BackupTime{2026, 12, 10, 4, 40, 7}), "01234_2026-12-10_04-40-07.kst");
    EXPECT_EQ(BackupFileName(65535, BackupTime{2027, 1, 2, 23, 5, 59}, 3), "65535_2027-01-02_23-05-59_3.kst");
    EXPECT_EQ(BackupFileName(std::nullopt, BackupTime{2026, 12, 10, 4, 40, 7}), "unknown_2026-12-10_04-40-07.kst");
    EXPECT_EQ(BackupTimeText(BackupTime{2026, 2, 3, 4, 5, 6}), "2026-02-03 04:05:06");

    const auto e = ParseBackupFileName("65535_2027-01-02_23-05-59_3.kst");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->serial, std::optional<std::uint16_t>(65535));
    EXPECT_EQ(e->time, (BackupTime{2027, 1, 2, 23, 5, 59}));
    EXPECT_EQ(e->sequence, 3);
    const auto unknown = ParseBackupFileName("unknown_2026-12-10_04-40-07.kst");
    ASSERT_TRUE(unknown);
    EXPECT_FALSE(unknown->serial);

    // Whatever else lies in the folder is not taken for a backup (and so never removed by the limit).
    for (const char* other : {".sequaflow-a1B2c3", "golf.kst", "65536_2026-12-10_04-40-07.kst",
                              "1234_2026-12-10_04-40-07.kst", "01234_2026-13-10_04-40-07.kst",
                              "01234_2026-12-10_04-40-07_1.kst", "01234_2026-12-10_04-40-07_02.kst",
                              "01234_2026-12-10_04-40-07.kst~", "01234_2026-12-10_04-40-07x.kst"})
        EXPECT_FALSE(ParseBackupFileName(other)) << other;
}

TEST(BackupRules, NoDuplicateOfTheNewestAndTwoInOneSecondBothStay) {
    const auto first = KeepBackup(kFolder, 1234, Bytes(1), At(40, 7));
    ASSERT_TRUE(first) << first.error().detail;
    EXPECT_TRUE(first->written);
    EXPECT_EQ(first->path, kFolder + "/01234_2026-12-10_04-40-07.kst");
    const auto one = Bytes(1);
    EXPECT_EQ(Read(first->path), std::vector<std::uint8_t>(one.begin(), one.end()));

    // The same configuration later: nothing new, and the answer names the backup that holds it.
    const auto same = KeepBackup(kFolder, 1234, Bytes(1), At(45, 0));
    ASSERT_TRUE(same);
    EXPECT_FALSE(same->written);
    EXPECT_EQ(same->path, first->path);

    // A change within the same second gets a name of its own instead of replacing the first.
    const auto changed = KeepBackup(kFolder, 1234, Bytes(2), At(40, 7));
    ASSERT_TRUE(changed);
    EXPECT_TRUE(changed->written);
    EXPECT_EQ(changed->path, kFolder + "/01234_2026-12-10_04-40-07_2.kst");
    EXPECT_EQ(Read(first->path)[2], 1);

    // Only the newest counts: going back to an older configuration is a change again.
    const auto back = KeepBackup(kFolder, 1234, Bytes(1), At(41, 0));
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->written);

    // Another controller with the same bytes is backed up on its own.
    const auto other = KeepBackup(kFolder, 77, Bytes(1), At(42, 0));
    ASSERT_TRUE(other);
    EXPECT_TRUE(other->written);

    const auto all = ListBackups(kFolder);
    ASSERT_TRUE(all);
    std::vector<std::string> names;
    for (const auto& e : *all) names.push_back(e.fileName);
    EXPECT_EQ(names, (std::vector<std::string>{"00077_2026-12-10_04-42-00.kst", "01234_2026-12-10_04-41-00.kst",
                                               "01234_2026-12-10_04-40-07_2.kst", "01234_2026-12-10_04-40-07.kst"}));
    EXPECT_EQ(BackupsOf(*all, 77).size(), 1u);
    EXPECT_EQ(BackupsOf(*all, 1234).size(), 3u);
    EXPECT_TRUE(BackupsOf(*all, std::nullopt).empty());
}

TEST(BackupRules, TwoHundredKeptPerSerialTheOldestGoFirst) {
    // Another serial's backups and a file of the user's are not this serial's to remove.
    ASSERT_TRUE(KeepBackup(kFolder, 9, Bytes(0), BackupTime{2020, 1, 1, 0, 0, 0}));
    std::ofstream(kFolder + "/notes.txt") << "kept";
    for (int i = 0; i < 201; ++i) {
        const auto kept = KeepBackup(kFolder, 5, Bytes(static_cast<std::uint8_t>(i % 2)),
                                     BackupTime{2026, 12, 10, 4 + i / 60, i % 60, 0});
        ASSERT_TRUE(kept) << kept.error().detail;
        ASSERT_TRUE(kept->written) << i;
        EXPECT_TRUE(kept->notRemoved.empty());
    }
    const auto all = ListBackups(kFolder);
    ASSERT_TRUE(all);
    const auto mine = BackupsOf(*all, 5);
    ASSERT_EQ(mine.size(), kBackupsKeptPerSerial);
    EXPECT_EQ(mine.front().fileName, "00005_2026-12-10_07-20-00.kst");  // the 201st
    EXPECT_EQ(mine.back().fileName, "00005_2026-12-10_04-01-00.kst");   // the 2nd
    EXPECT_FALSE(std::filesystem::exists(kFolder + "/00005_2026-12-10_04-00-00.kst"));
    EXPECT_EQ(BackupsOf(*all, 9).size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(kFolder + "/notes.txt"));
    EXPECT_EQ(FilesIn(kFolder), 202u) << "no temporary file left behind";
}

TEST(BackupRules, AFolderThatCannotHoldBackupsIsAnErrorAndNothingIsLost) {
    // "backup" is a file.
    std::filesystem::create_directories("parametry");
    std::ofstream("parametry/backup") << "not a folder";
    auto kept = KeepBackup(kFolder, 1, Bytes(1), At(0, 0));
    ASSERT_FALSE(kept);
    EXPECT_EQ(kept.error().code, BackupErrorCode::FolderUnusable);
    EXPECT_EQ(kept.error().detail, "./parametry/backup: is a file, not a folder");
    EXPECT_FALSE(ListBackups(kFolder));

    // "parametry" itself is a file: the folder cannot be made.
    std::filesystem::create_directories("b");
    std::ofstream("b/parametry") << "x";
    kept = KeepBackup(BackupFolder("b"), 1, Bytes(1), At(0, 0));
    ASSERT_FALSE(kept);
    EXPECT_NE(kept.error().detail.find("b/parametry/backup: cannot be created"), std::string::npos)
        << kept.error().detail;

    // A folder without write permission: a refusal, and the backup already there stays as it was.
    const std::string folder = BackupFolder("c");
    ASSERT_TRUE(KeepBackup(folder, 1, Bytes(1), At(0, 0)));
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    kept = KeepBackup(folder, 1, Bytes(2), At(1, 0), 1);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    if (::geteuid() != 0) {
        ASSERT_FALSE(kept);
        EXPECT_EQ(kept.error().detail, folder + ": Permission denied");
        EXPECT_EQ(Read(folder + "/00001_2026-12-10_04-00-00.kst")[2], 1);
    }

    // A missing folder simply holds no backups.
    const auto none = ListBackups(BackupFolder("nowhere"));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
}
