#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

#include "params/backup_store.h"
#include "sim/controller.h"
#include "support/cli_runner.h"
#include "support/pty_peer.h"

using namespace sequaflow;
using testing_support::PtyPeer;
using testing_support::RunTool;

namespace {

const std::string kFolder = params::BackupFolder(".");

std::vector<char> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Differs(const sim::RunningValues& a, const sim::RunningValues& b) {
    return a.params != b.params || a.points != b.points || a.grid != b.grid || a.stdMap != b.stdMap ||
           a.tempPoints != b.tempPoints || a.tempCorr != b.tempCorr || a.lambda != b.lambda;
}

// The simulated controller behind a terminal, watched frame by frame: it notes whether a backup was on disk
// when the first frame that changes anything in the controller arrived.
struct WatchedController {
    std::mutex mutex;
    sim::Controller controller{sim::ControllerOptions{}};
    sim::PersistentStores storesBefore = controller.stores();
    sim::RunningValues runningBefore = controller.running();
    bool changed = false;
    std::size_t backupsAtFirstChange = 0;
    PtyPeer peer{[this](const std::vector<std::uint8_t>& frame) { return answer(frame); }};

    std::vector<std::uint8_t> answer(const std::vector<std::uint8_t>& frame) {
        std::lock_guard lock(mutex);
        // Time stands still: the work-time counters would otherwise change the configuration on their own.
        auto reply = controller.onBytes(frame, std::chrono::microseconds{0});
        if (!changed && (controller.stores() != storesBefore || Differs(controller.running(), runningBefore))) {
            changed = true;
            const auto listed = params::ListBackups(kFolder);
            backupsAtFirstChange = listed ? listed->size() : 0;
        }
        return reply;
    }
    // Forgets what was sent so far: the next change is watched afresh.
    void rebase() {
        std::lock_guard lock(mutex);
        storesBefore = controller.stores();
        runningBefore = controller.running();
        changed = false;
    }
    bool anythingChanged() {
        std::lock_guard lock(mutex);
        return changed;
    }
    testing_support::CliRun tool(std::vector<std::string> args) {
        args.insert(args.begin(), {"--device", peer.slavePath()});
        return RunTool(args);
    }
};

std::vector<params::BackupEntry> Backups() {
    auto listed = params::ListBackups(kFolder);
    EXPECT_TRUE(listed) << listed.error().detail;
    return listed ? *listed : std::vector<params::BackupEntry>{};
}

// A file of the controller's configuration with parameter 1 changed to 130.
std::vector<char> SaveChangedFile(WatchedController& ecu, const std::string& path) {
    const auto saved = ecu.tool({"save", path, "--no-backup"});
    EXPECT_EQ(saved.rc, 0) << saved.err;
    auto bytes = FileBytes(path);
    EXPECT_EQ(bytes.size(), params::kParameterFileSize);
    const auto original = bytes;
    bytes[2] = 0;
    bytes[3] = static_cast<char>(130);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return original;
}

}  // namespace

TEST(CliBackup, LoadAndResetKeepWhatTheyOverwriteBeforeTheFirstWordGoesOut) {
    WatchedController ecu;
    ASSERT_TRUE(ecu.peer.ok());
    const auto before = SaveChangedFile(ecu, "car.kst");
    EXPECT_TRUE(Backups().empty()) << "--no-backup keeps none";

    const auto load = ecu.tool({"load", "car.kst"});
    EXPECT_EQ(load.rc, 0) << load.err;
    ASSERT_TRUE(ecu.anythingChanged());
    EXPECT_EQ(ecu.backupsAtFirstChange, 1u) << "the backup must be on disk before anything is changed";
    auto backups = Backups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(FileBytes(backups[0].path), before) << "the backup holds what the load overwrote";
    EXPECT_NE(load.err.find("backup written to " + backups[0].path), std::string::npos) << load.err;

    ecu.rebase();
    const auto reset = ecu.tool({"factory-reset", "--yes"});
    EXPECT_EQ(reset.rc, 0) << reset.err;
    ASSERT_TRUE(ecu.anythingChanged());
    EXPECT_EQ(ecu.backupsAtFirstChange, 2u);
    backups = Backups();
    ASSERT_EQ(backups.size(), 2u);
    auto loaded = FileBytes("car.kst");
    // The controller marks itself programmed: the marker word is not the file's.
    EXPECT_TRUE(std::equal(loaded.begin() + 2, loaded.end(), FileBytes(backups[0].path).begin() + 2))
        << "the newest backup holds what the reset overwrote: the loaded file";
}

TEST(CliBackup, ABackupThatCannotBeWrittenStopsLoadAndResetBeforeAnythingIsSent) {
    WatchedController ecu;
    ASSERT_TRUE(ecu.peer.ok());
    (void)SaveChangedFile(ecu, "car.kst");
    std::filesystem::create_directories("parametry");
    std::ofstream("parametry/backup") << "a file where the folder belongs";

    const auto load = ecu.tool({"load", "car.kst"});
    EXPECT_EQ(load.rc, 5);
    EXPECT_NE(load.err.find("./parametry/backup: is a file, not a folder"), std::string::npos) << load.err;
    EXPECT_NE(load.err.find("the load was not started; nothing was sent"), std::string::npos) << load.err;
    const auto reset = ecu.tool({"factory-reset", "--yes"});
    EXPECT_EQ(reset.rc, 5);
    EXPECT_NE(reset.err.find("the reset was not started; nothing was sent"), std::string::npos) << reset.err;
    EXPECT_FALSE(ecu.anythingChanged());

    // A read or a save goes on without its backup and says so.
    const auto read = ecu.tool({"read"});
    EXPECT_EQ(read.rc, 0) << read.err;
    EXPECT_NE(read.err.find("the backup could not be written: ./parametry/backup: is a file"), std::string::npos)
        << read.err;
    const auto save = ecu.tool({"save", "again.kst"});
    EXPECT_EQ(save.rc, 0) << save.err;
    EXPECT_TRUE(std::filesystem::exists("again.kst"));

    // On purpose without one.
    const auto forced = ecu.tool({"load", "car.kst", "--no-backup"});
    EXPECT_EQ(forced.rc, 0) << forced.err;
    EXPECT_TRUE(ecu.anythingChanged());
    EXPECT_EQ(ecu.tool({"load", "car.kst", "--bogus"}).rc, 2);
}

TEST(CliBackup, RepeatedReadsOfAnUnchangedControllerKeepOneBackup) {
    WatchedController ecu;
    ASSERT_TRUE(ecu.peer.ok());
    const auto first = ecu.tool({"read", "--json"});
    ASSERT_EQ(first.rc, 0) << first.err;
    const auto second = ecu.tool({"save", "x.kst"});
    ASSERT_EQ(second.rc, 0) << second.err;
    const auto backups = Backups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_NE(first.err.find("backup written to " + backups[0].path), std::string::npos) << first.err;
    EXPECT_NE(second.err.find("unchanged since the backup " + backups[0].path), std::string::npos) << second.err;
    EXPECT_EQ(FileBytes(backups[0].path), FileBytes("x.kst"));
    EXPECT_EQ(first.out.find("backup"), std::string::npos) << "the JSON on standard output stays clean";
    EXPECT_FALSE(ecu.anythingChanged());
}

TEST(CliBackup, ASilentControllerGetsNothingSentAndNoBackup) {
    PtyPeer peer([](const std::vector<std::uint8_t>&) { return std::vector<std::uint8_t>{}; });
    ASSERT_TRUE(peer.ok());
    const auto reset = RunTool({"--device", peer.slavePath(), "factory-reset", "--yes"});
    EXPECT_EQ(reset.rc, 4);
    EXPECT_NE(reset.err.find("no valid answer for parameter 0\n"), std::string::npos) << reset.err;
    EXPECT_NE(reset.err.find("the reset was not started; nothing was sent"), std::string::npos) << reset.err;
    EXPECT_TRUE(Backups().empty());
    for (const auto& f : peer.frames()) EXPECT_NE(f[0], 'D') << "nothing may be written";
}
