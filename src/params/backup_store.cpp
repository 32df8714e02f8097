#include "params/backup_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace sequaflow::params {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExtension = ".kst";
constexpr std::string_view kNoSerial = "unknown";
// Far more than one second can hold; only a clock stuck on one second would reach it.
constexpr int kMaxSequence = 999;

std::string Two(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

std::optional<int> Digits(std::string_view text, std::size_t count) {
    if (text.size() != count) return std::nullopt;
    int v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

bool PlausibleTime(const BackupTime& t) {
    return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour <= 23 && t.minute <= 59 &&
           t.second <= 60;
}

bool Newer(const BackupEntry& a, const BackupEntry& b) {
    if (a.time != b.time) return a.time > b.time;
    if (a.sequence != b.sequence) return a.sequence > b.sequence;
    return a.fileName > b.fileName;
}

std::optional<std::vector<char>> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<char> bytes;
    char buf[512];
    // A backup is 258 bytes; reading a little more is enough to tell a longer file apart.
    while (bytes.size() <= kParameterFileSize && in.read(buf, sizeof buf).gcount() > 0)
        bytes.insert(bytes.end(), buf, buf + in.gcount());
    if (in.bad()) return std::nullopt;
    return bytes;
}

BackupError FolderError(const std::string& folder, const std::string& reason) {
    return BackupError{BackupErrorCode::FolderUnusable, folder + ": " + reason};
}

// A usable folder, made when missing; the reason otherwise.
std::optional<BackupError> PrepareFolder(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode)) return FolderError(folder, "is a file, not a folder");
    } else {
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec) return FolderError(folder, "cannot be created: " + ec.message());
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return FolderError(folder, std::strerror(errno));
    return std::nullopt;
}

}  // namespace

BackupTime LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return BackupTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string BackupTimeText(const BackupTime& t) {
    return std::to_string(t.year) + "-" + Two(t.month) + "-" + Two(t.day) + " " + Two(t.hour) + ":" + Two(t.minute) +
           ":" + Two(t.second);
}

std::string BackupFolder(const std::string& startDir) {
    const std::string base = startDir.empty() ? std::string(".") : startDir;
    return base + (base.back() == '/' ? "" : "/") + "parametry/backup";
}

std::string BackupFileName(std::optional<std::uint16_t> serial, const BackupTime& t, int sequence) {
    char serialText[8];
    std::snprintf(serialText, sizeof serialText, "%05u", serial ? static_cast<unsigned>(*serial) : 0U);
    std::string name = serial ? std::string(serialText) : std::string(kNoSerial);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "_%04d-%02d-%02d_%02d-%02d-%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    name += stamp;
    if (sequence > 1) name += "_" + std::to_string(sequence);
    return name + std::string(kExtension);
}

std::optional<BackupEntry> ParseBackupFileName(std::string_view name) {
    if (name.size() <= kExtension.size() || !name.ends_with(kExtension)) return std::nullopt;
    std::string_view stem = name.substr(0, name.size() - kExtension.size());
    BackupEntry e;
    e.fileName = std::string(name);
    const auto underscore = stem.find('_');
    if (underscore == std::string_view::npos) return std::nullopt;
    const std::string_view serialText = stem.substr(0, underscore);
    if (serialText != kNoSerial) {
        const auto serial = Digits(serialText, 5);
        if (!serial || *serial > 0xFFFF) return std::nullopt;
        e.serial = static_cast<std::uint16_t>(*serial);
    }
    stem.remove_prefix(underscore + 1);
    // YYYY-MM-DD_HH-MM-SS
    if (stem.size() < 19 || stem[4] != '-' || stem[7] != '-' || stem[10] != '_' || stem[13] != '-' ||
        stem[16] != '-')
        return std::nullopt;
    const auto year = Digits(stem.substr(0, 4), 4), month = Digits(stem.substr(5, 2), 2),
               day = Digits(stem.substr(8, 2), 2), hour = Digits(stem.substr(11, 2), 2),
               minute = Digits(stem.substr(14, 2), 2), second = Digits(stem.substr(17, 2), 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    e.time = BackupTime{*year, *month, *day, *hour, *minute, *second};
    if (!PlausibleTime(e.time)) return std::nullopt;
    stem.remove_prefix(19);
    if (!stem.empty()) {
        if (stem.size() < 2 || stem[0] != '_') return std::nullopt;
        const auto seqText = stem.substr(1);
        int seq = 0;
        const auto [end, ec] = std::from_chars(seqText.data(), seqText.data() + seqText.size(), seq);
        if (ec != std::errc() || end != seqText.data() + seqText.size() || seq < 2 || seq > kMaxSequence ||
            seqText[0] == '0')
            return std::nullopt;
        e.sequence = seq;
    }
    return e;
}

Result<std::vector<BackupEntry>, BackupErrorCode> ListBackups(const std::string& folder) {
    std::vector<BackupEntry> entries;
    std::error_code ec;
    const auto status = fs::status(folder, ec);
    if (ec || !fs::exists(status)) {
        if (ec && ec != std::errc::no_such_file_or_directory) return FolderError(folder, ec.message());
        return entries;
    }
    if (!fs::is_directory(status)) return FolderError(folder, "is a file, not a folder");
    fs::directory_iterator it(folder, ec);
    if (ec) return FolderError(folder, ec.message());
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) return FolderError(folder, ec.message());
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc)) continue;
        auto entry = ParseBackupFileName(it->path().filename().string());
        if (!entry) continue;
        entry->path = it->path().string();
        entries.push_back(std::move(*entry));
    }
    std::sort(entries.begin(), entries.end(), Newer);
    return entries;
}

std::vector<BackupEntry> BackupsOf(const std::vector<BackupEntry>& all, std::optional<std::uint16_t> serial) {
    std::vector<BackupEntry> of;
    std::copy_if(all.begin(), all.end(), std::back_inserter(of),
                 [&](const BackupEntry& e) { return e.serial == serial; });
    return of;
}

Result<BackupOutcome, BackupErrorCode> KeepBackup(const std::string& folder, std::optional<std::uint16_t> serial,
                                                  const ParameterFileBytes& bytes, const BackupTime& now,
                                                  std::size_t limit) {
    if (auto unusable = PrepareFolder(folder)) return *unusable;
    auto listed = ListBackups(folder);
    if (!listed) return listed.error();
    const auto mine = BackupsOf(*listed, serial);

    BackupOutcome outcome;
    if (!mine.empty()) {
        const auto newest = FileBytes(mine.front().path);
        if (newest && newest->size() == bytes.size() && std::equal(bytes.begin(), bytes.end(), newest->begin(),
                                                                    [](std::uint8_t a, char b) {
                                                                        return a == static_cast<std::uint8_t>(b);
                                                                    })) {
            outcome.path = mine.front().path;
            return outcome;
        }
    }

    std::string path;
    for (int sequence = 1;; ++sequence) {
        if (sequence > kMaxSequence)
            return BackupError{BackupErrorCode::WriteFailed, folder + ": too many backups within one second"};
        path = folder + "/" + BackupFileName(serial, now, sequence);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) break;
    }
    const auto written = WriteParameterFile(path, bytes);
    if (!written) return BackupError{BackupErrorCode::WriteFailed, written.error().detail};
    outcome.written = true;
    outcome.path = path;

    // Only after the new one is safe: a failed write must never cost an old backup.
    auto after = ListBackups(folder);
    if (!after) return outcome;
    auto ofSerial = BackupsOf(*after, serial);
    std::size_t kept = 0;
    for (const auto& e : ofSerial) {
        if (e.path == path || kept < limit) {
            ++kept;
            continue;
        }
        std::error_code ec;
        if (!fs::remove(e.path, ec) || ec) outcome.notRemoved.push_back(e.path + (ec ? ": " + ec.message() : ""));
    }
    return outcome;
}

}  // namespace sequaflow::params
