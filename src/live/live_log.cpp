#include "live/live_log.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "live/live_csv.h"

namespace sequaflow::live {
namespace {

// Enough for several seconds of frames: between two flushes nothing reaches the system.
constexpr std::size_t kBufferBytes = 64 * 1024;
constexpr int kMaxAttempts = 100;

std::string Reason(int err) { return err != 0 ? std::strerror(err) : std::string("write failed"); }

}  // namespace

std::string LogFileName(const LocalTime& at, int attempt) {
    char b[64];
    std::snprintf(b, sizeof b, "live_%04d-%02d-%02d_%02d-%02d-%02d", at.year, at.month, at.day, at.hour, at.minute,
                  at.second);
    std::string name = b;
    if (attempt > 1) name += "_" + std::to_string(attempt);
    return name + ".csv";
}

LiveLog::LiveLog(std::FILE* file, std::string path, std::chrono::microseconds now)
    : file_(file), path_(std::move(path)), start_(now), lastFlush_(now) {}

LiveLog::~LiveLog() {
    if (file_ != nullptr) std::fclose(file_);
}

LogStart LiveLog::Start(const std::string& folder, const LocalTime& at, std::chrono::microseconds now) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir(folder);
    if (fs::exists(dir, ec) && !fs::is_directory(dir, ec)) return {nullptr, folder, "not a folder"};
    fs::create_directories(dir, ec);
    if (ec) return {nullptr, folder, ec.message()};
    for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        const std::string path = (dir / LogFileName(at, attempt)).string();
        // "x": two windows started in the same second must not share, let alone truncate, one file.
        std::FILE* file = std::fopen(path.c_str(), "wx");
        if (file != nullptr) return Begin(file, path, now);
        if (errno != EEXIST) return {nullptr, path, Reason(errno)};
    }
    return {nullptr, (dir / LogFileName(at)).string(), "too many logs started in this second"};
}

LogStart LiveLog::OpenAt(const std::string& path, std::chrono::microseconds now) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return {nullptr, path, Reason(errno)};
    return Begin(file, path, now);
}

LogStart LiveLog::Begin(std::FILE* file, const std::string& path, std::chrono::microseconds now) {
    std::unique_ptr<LiveLog> log(new LiveLog(file, path, now));
    log->buffer_ = std::make_unique<char[]>(kBufferBytes);
    std::setvbuf(file, log->buffer_.get(), _IOFBF, kBufferBytes);
    auto ok = log->put(CsvHeader());
    if (ok) ok = log->flush(now);
    if (!ok) return {nullptr, path, ok.error().detail};
    return {std::move(log), path, {}};
}

double LiveLog::seconds(std::chrono::microseconds now) const {
    return std::chrono::duration<double>(now - start_).count();
}

Result<Ok, LogErrorCode> LiveLog::fail(int err) {
    failure_ = Reason(err);
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    return LogError{LogErrorCode::Write, failure_};
}

Result<Ok, LogErrorCode> LiveLog::put(const std::string& text) {
    if (file_ == nullptr) return LogError{LogErrorCode::Write, failure_.empty() ? "closed" : failure_};
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) return fail(errno);
    return Ok{};
}

Result<Ok, LogErrorCode> LiveLog::flush(std::chrono::microseconds now) {
    if (file_ == nullptr) return LogError{LogErrorCode::Write, failure_.empty() ? "closed" : failure_};
    errno = 0;
    if (std::fflush(file_) != 0 || std::ferror(file_) != 0) return fail(errno);
    lastFlush_ = now;
    return Ok{};
}

Result<Ok, LogErrorCode> LiveLog::flushIfDue(std::chrono::microseconds now) {
    if (file_ != nullptr && now - lastFlush_ < kFlushInterval) return Ok{};
    return flush(now);
}

Result<Ok, LogErrorCode> LiveLog::frame(const LiveWords& words, int ignitionType, bool fastClock,
                                        std::chrono::microseconds now) {
    if (auto ok = put(CsvRow(MakeReading(words, seconds(now), ignitionType, fastClock))); !ok) return ok;
    ++rows_;
    lastFrame_ = now;
    return flushIfDue(now);
}

Result<Ok, LogErrorCode> LiveLog::lineLost(std::chrono::microseconds now) {
    if (lost_) return Ok{};
    std::string note = "# line lost at " + FixedText(seconds(now), 3) + " s";
    if (lastFrame_.count() >= 0) note += ", last frame at " + FixedText(seconds(lastFrame_), 3) + " s";
    if (auto ok = put(note + '\n'); !ok) return ok;
    lost_ = true;
    lostAt_ = now;
    return flush(now);
}

Result<Ok, LogErrorCode> LiveLog::lineBack(std::chrono::microseconds now) {
    if (!lost_) return Ok{};
    const std::string note = "# line back at " + FixedText(seconds(now), 3) + " s after " +
                             FixedText(std::chrono::duration<double>(now - lostAt_).count(), 3) + " s\n";
    if (auto ok = put(note); !ok) return ok;
    lost_ = false;
    return flush(now);
}

Result<Ok, LogErrorCode> LiveLog::close() {
    if (file_ == nullptr) return LogError{LogErrorCode::Write, failure_.empty() ? "closed" : failure_};
    errno = 0;
    const bool flushed = std::fflush(file_) == 0 && std::ferror(file_) == 0;
    const int flushErr = errno;
    const bool closed = std::fclose(file_) == 0;
    const int closeErr = errno;
    file_ = nullptr;
    if (!flushed || !closed) {
        failure_ = Reason(!flushed ? flushErr : closeErr);
        return LogError{LogErrorCode::Write, failure_};
    }
    failure_ = "closed";
    return Ok{};
}

}  // namespace sequaflow::live
