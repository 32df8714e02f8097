#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "live/live_csv.h"
#include "live/live_log.h"

using namespace sequaflow;
using namespace std::chrono_literals;
using live::LiveLog;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

const std::string kHeader =
    "time_s,rpm,pressure_bar,reducer_c,gas_c,lambda1_v,lambda2_v,tank_v,on_gas,errors_current,errors_stored,"
    "injector_faults,test_mask,petrol_ms1,petrol_ms2,petrol_ms3,petrol_ms4,petrol_ms5,petrol_ms6,petrol_ms7,"
    "petrol_ms8,gas_ms1,gas_ms2,gas_ms3,gas_ms4,gas_ms5,gas_ms6,gas_ms7,gas_ms8\n";

// Every column with a value of its own, each worked out by hand from the unit definitions.
live::LiveWords SampleWords() {
    namespace word = live::word;
    live::LiveWords w{};
    w[word::Period] = 9216;         // 0.04 s per period; type 2: 25 * 60 * 2 / 4 = 750 rpm
    w[word::Pressure] = 1000;       // (1.22 + 0.202) * 0.744158 = 1.0582 bar
    w[word::ReducerTemp] = 80;
    w[word::GasTemp] = 0xFFFB;      // -5 C, a negative 16-bit word
    w[word::Lambda1] = 819;         // 819 * 5 / 4095 = 1 V
    w[word::Lambda2] = 4095;        // 5 V
    w[word::Tank] = 3750;           // 3750 * 1.2 mV = 4.5 V
    w[word::FuelState] = 1;
    w[word::ErrorsCurrent] = 3;
    w[word::ErrorsStored] = 5;
    w[word::TestMask] = 2;
    w[word::PetrolTime1] = 2304;    // 2304 / 230400 Hz = 10 ms
    w[word::GasTime1] = 2880;       // 12.5 ms
    w[word::PetrolTime7 + 1] = 1152;  // cylinder 8: 5 ms
    w[word::GasTime7 + 1] = 230;      // cylinder 8: 230 / 230.4 = 0.99826 ms
    return w;
}

const std::string kSampleRow =
    "1.500,750,1.058,80,-5,1.000,5.000,4.50,1,3,5,0,2,"
    "10.000,0.000,0.000,0.000,0.000,0.000,0.000,5.000,"
    "12.500,0.000,0.000,0.000,0.000,0.000,0.000,0.998\n";

const live::LocalTime kAt{2026, 12, 10, 4, 41, 2};

}  // namespace

TEST(LiveCsvTest, HeaderAndRowFromLiteralWords) {
    EXPECT_EQ(live::CsvHeader(), kHeader);
    EXPECT_EQ(live::CsvRow(live::MakeReading(SampleWords(), 1.5, 2, false)), kSampleRow);

    // The clock flag makes a tick an eighth as long: 18432 / 1843200 Hz = 10 ms. Type 0 counts four times
    // the sparks of type 2 per turn: 3000 rpm from the same period.
    live::LiveWords w{};
    w[live::word::PetrolTime1] = 18432;
    w[live::word::Period] = 9216;
    const auto r = live::MakeReading(w, 0.0, 0, true);
    EXPECT_FLOAT_EQ(r.petrolMs[0], 10.0f);
    EXPECT_EQ(r.rpm, 3000u);
    EXPECT_EQ(live::CsvRow(r).substr(0, 11), "0.000,3000,");
}

TEST(LiveLogTest, StartsANewFileInTheFolderWithTheHeaderOnDisk) {
    auto first = LiveLog::Start("start/logs", kAt, 0us);
    ASSERT_TRUE(first.log) << first.error;
    EXPECT_EQ(first.path, "start/logs/live_2026-12-10_04-41-02.csv");
    EXPECT_EQ(first.log->path(), first.path);
    EXPECT_EQ(ReadAll(first.path), kHeader);  // visible before any frame

    // A second log in the same second gets a name of its own and leaves the first untouched.
    ASSERT_TRUE(first.log->frame(SampleWords(), 2, false, 1500ms));
    auto second = LiveLog::Start("start/logs", kAt, 0us);
    ASSERT_TRUE(second.log) << second.error;
    EXPECT_EQ(second.path, "start/logs/live_2026-12-10_04-41-02_2.csv");
    ASSERT_TRUE(first.log->close());
    EXPECT_EQ(ReadAll(first.path), kHeader + kSampleRow);
    EXPECT_EQ(live::LogFileName({2027, 1, 2, 3, 4, 5}, 3), "live_2027-01-02_03-04-05_3.csv");
}

TEST(LiveLogTest, RowsReachTheDiskOnceASecondByTheClockPassedIn) {
    auto start = LiveLog::Start("logs", kAt, 10s);  // the clock's own zero is not the log's
    ASSERT_TRUE(start.log);
    LiveLog& log = *start.log;
    // A second of frames at the readings' rate, and more: nothing reaches the file, not even a part of a row.
    for (int i = 0; i < 80; ++i)
        ASSERT_TRUE(log.frame(SampleWords(), 2, false, 10200ms + i * std::chrono::microseconds(9999)));
    EXPECT_EQ(ReadAll(start.path), kHeader) << "rows within the first second stay in the buffer";

    ASSERT_TRUE(log.frame(SampleWords(), 2, false, 11000ms));
    const std::string flushed = ReadAll(start.path);
    EXPECT_EQ(Lines(flushed), 82);
    EXPECT_EQ(flushed.back(), '\n');
    EXPECT_EQ(flushed.substr(kHeader.size(), 6), "0.200,");
    EXPECT_NE(flushed.find("\n1.000,750,"), std::string::npos);

    // Frames stop: the caller's timer hands the last one over a second after the previous flush, not before.
    ASSERT_TRUE(log.frame(SampleWords(), 2, false, 11300ms));
    ASSERT_TRUE(log.flushIfDue(11999ms));
    EXPECT_EQ(Lines(ReadAll(start.path)), 82);
    ASSERT_TRUE(log.flushIfDue(12000ms));
    EXPECT_EQ(Lines(ReadAll(start.path)), 83);
    EXPECT_EQ(log.rows(), 82);

    // Destroyed without close() (the window going away): the buffer still reaches the file.
    ASSERT_TRUE(log.frame(SampleWords(), 2, false, 12100ms));
    start.log.reset();
    EXPECT_EQ(Lines(ReadAll(start.path)), 84);
}

TEST(LiveLogTest, ALostLineIsNotedWhenItGoesAndWhenItComesBack) {
    auto start = LiveLog::Start("logs", kAt, 0us);
    ASSERT_TRUE(start.log);
    LiveLog& log = *start.log;
    ASSERT_TRUE(log.frame(SampleWords(), 2, false, 2500ms));
    ASSERT_TRUE(log.lineLost(2775ms));
    ASSERT_TRUE(log.lineLost(2800ms));  // still the same gap
    EXPECT_TRUE(log.lost());
    // On disk at once, without waiting for the second to pass.
    EXPECT_EQ(ReadAll(start.path), kHeader + "2.500,750" + kSampleRow.substr(9) +
                                       "# line lost at 2.775 s, last frame at 2.500 s\n");
    ASSERT_TRUE(log.lineBack(5025ms));
    ASSERT_TRUE(log.lineBack(5050ms));  // no gap to close
    ASSERT_TRUE(log.frame(SampleWords(), 2, false, 5025ms));
    ASSERT_TRUE(log.close());
    const std::string text = ReadAll(start.path);
    EXPECT_NE(text.find("# line lost at 2.775 s, last frame at 2.500 s\n# line back at 5.025 s after 2.250 s\n"
                        "5.025,750,"),
              std::string::npos)
        << text;
    EXPECT_EQ(Lines(text), 5);

    // A log started while the line is already away has no last frame to name.
    auto other = LiveLog::Start("logs2", kAt, 0us);
    ASSERT_TRUE(other.log);
    ASSERT_TRUE(other.log->lineLost(40ms));
    EXPECT_EQ(ReadAll(other.path), kHeader + "# line lost at 0.040 s\n");
}

TEST(LiveLogTest, FolderAndFileFailuresAreErrorsNotCrashes) {
    { std::ofstream("logs") << "a file where the folder should be"; }
    auto notFolder = LiveLog::Start("logs", kAt, 0us);
    EXPECT_FALSE(notFolder.log);
    EXPECT_EQ(notFolder.path, "logs");
    EXPECT_EQ(notFolder.error, "not a folder");
    auto under = LiveLog::Start("logs/inner", kAt, 0us);
    EXPECT_FALSE(under.log);
    EXPECT_FALSE(under.error.empty());
    EXPECT_EQ(ReadAll("logs"), "a file where the folder should be");

    // The header does not fit on a full device: the start fails instead of a log that never writes.
    auto full = LiveLog::OpenAt("/dev/full", 0us);
    EXPECT_FALSE(full.log);
    EXPECT_NE(full.error.find("space"), std::string::npos) << full.error;
    auto missing = LiveLog::OpenAt("no/such/dir/x.csv", 0us);
    EXPECT_FALSE(missing.log);
    EXPECT_NE(missing.error.find("No such file"), std::string::npos) << missing.error;
}

TEST(LiveLogTest, AFailedWriteStopsTheLogWithTheSystemsReason) {
    auto start = LiveLog::Start("logs", kAt, 0us);
    ASSERT_TRUE(start.log);
    LiveLog& log = *start.log;
    // The disk fills up: files of this process may not grow beyond the header and two rows.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = kHeader.size() + 2 * kSampleRow.size();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    for (auto t : {100ms, 200ms, 300ms}) ASSERT_TRUE(log.frame(SampleWords(), 2, false, t));
    auto failed = log.frame(SampleWords(), 2, false, 1000ms);
    auto after = log.frame(SampleWords(), 2, false, 1100ms);
    auto closed = log.close();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().code, live::LogErrorCode::Write);
    EXPECT_EQ(failed.error().detail, "File too large");
    ASSERT_FALSE(after);
    EXPECT_EQ(after.error().detail, "File too large");
    EXPECT_FALSE(closed);
    EXPECT_LE(ReadAll(start.path).size(), small.rlim_cur);
}
