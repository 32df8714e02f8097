#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "link/result.h"
#include "live/live_frame.h"

// The live log: every accepted frame as a CSV row under the command line's header, written through a
// buffer and handed to the system at least once a second by the clock the caller passes in, so a crash of
// the program loses at most that second and the caller's thread never waits on the disk in between.
namespace sequaflow::live {

enum class LogErrorCode { Folder, Open, Write };
using LogError = Error<LogErrorCode>;

// Wall-clock time of the start, as the caller's local clock shows it; only names the file.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "live_2026-12-10_04-41-02.csv", and "..._2.csv" onwards for a second log in the same second.
std::string LogFileName(const LocalTime& at, int attempt = 1);

class LiveLog;

// What starting a log gave: the log, or the path that failed (the file, or the folder) and why.
struct LogStart {
    std::unique_ptr<LiveLog> log;
    std::string path;
    std::string error;
};

class LiveLog {
public:
    static constexpr std::chrono::microseconds kFlushInterval{1'000'000};

    // A new file in `folder` (created when missing), never one that is already there; the header is on
    // disk when this returns.
    static LogStart Start(const std::string& folder, const LocalTime& at, std::chrono::microseconds now);
    // The log at exactly this path, replacing what it held.
    static LogStart OpenAt(const std::string& path, std::chrono::microseconds now);

    LiveLog(const LiveLog&) = delete;
    LiveLog& operator=(const LiveLog&) = delete;
    // Flushes and closes quietly; call close() to learn whether that worked.
    ~LiveLog();

    // After any failure the file is closed and every later call returns that failure.
    Result<Ok, LogErrorCode> frame(const LiveWords& words, int ignitionType, bool fastClock,
                                   std::chrono::microseconds now);
    // One comment line each: when the line went and when it came back. Written to disk at once.
    Result<Ok, LogErrorCode> lineLost(std::chrono::microseconds now);
    Result<Ok, LogErrorCode> lineBack(std::chrono::microseconds now);
    // For a caller whose frames stopped: hands the buffer over once a second has passed since the last time.
    Result<Ok, LogErrorCode> flushIfDue(std::chrono::microseconds now);
    Result<Ok, LogErrorCode> close();

    const std::string& path() const { return path_; }
    long rows() const { return rows_; }
    bool lost() const { return lost_; }

private:
    LiveLog(std::FILE* file, std::string path, std::chrono::microseconds now);
    static LogStart Begin(std::FILE* file, const std::string& path, std::chrono::microseconds now);
    Result<Ok, LogErrorCode> put(const std::string& text);
    Result<Ok, LogErrorCode> flush(std::chrono::microseconds now);
    Result<Ok, LogErrorCode> fail(int err);
    double seconds(std::chrono::microseconds now) const;

    std::unique_ptr<char[]> buffer_;  // glibc ignores a size given without a buffer and keeps 4 KiB
    std::FILE* file_;
    std::string path_;
    std::chrono::microseconds start_;
    std::chrono::microseconds lastFlush_;
    std::chrono::microseconds lastFrame_{-1};
    std::chrono::microseconds lostAt_{0};
    long rows_ = 0;
    bool lost_ = false;
    std::string failure_;  // set once the file has failed
};

}  // namespace sequaflow::live
