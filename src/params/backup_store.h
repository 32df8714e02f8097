#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/result.h"
#include "params/parameter_file.h"

// The automatic backups: each complete read of a controller kept as a parameter file in
// <start dir>/parametry/backup/, named <serial>_YYYY-MM-DD_HH-MM-SS[_n].kst so that the names sort by
// serial and time and two backups within one second both stay.
namespace sequaflow::params {

inline constexpr std::size_t kBackupsKeptPerSerial = 200;

// A wall-clock time as the installer reads it (local time); the caller passes it in so tests fix it.
struct BackupTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    auto operator<=>(const BackupTime&) const = default;
};
BackupTime LocalTimeNow();
// "2026-12-10 04:40:07".
std::string BackupTimeText(const BackupTime& t);

struct BackupEntry {
    std::string path;
    std::string fileName;
    std::optional<std::uint16_t> serial;  // empty when the controller did not give its serial number
    BackupTime time;
    int sequence = 1;  // 2, 3 ... for further backups within the same second
};

enum class BackupErrorCode { FolderUnusable, WriteFailed };
using BackupError = Error<BackupErrorCode>;

struct BackupOutcome {
    bool written = false;  // false: the newest backup of this serial already holds the same bytes
    std::string path;      // the file written, or the one that already holds it
    // Oldest backups beyond the limit that could not be removed; the backup itself is fine.
    std::vector<std::string> notRemoved;
};

std::string BackupFolder(const std::string& startDir);
std::string BackupFileName(std::optional<std::uint16_t> serial, const BackupTime& time, int sequence = 1);
// Empty for any name that is not a backup's (temporary files, files the user put there).
std::optional<BackupEntry> ParseBackupFileName(std::string_view name);

// The backups in `folder`, newest first. A missing folder is no backup at all.
[[nodiscard]] Result<std::vector<BackupEntry>, BackupErrorCode> ListBackups(const std::string& folder);
// Those of one serial number (empty: the ones made without a serial number), still newest first.
std::vector<BackupEntry> BackupsOf(const std::vector<BackupEntry>& all, std::optional<std::uint16_t> serial);

// Writes the backup unless the newest one of this serial holds the same bytes, then removes the oldest of
// this serial beyond `limit`. Creates the folder when missing; a folder that cannot be made or written is an
// error naming the path and the system's reason, and then nothing has been removed.
[[nodiscard]] Result<BackupOutcome, BackupErrorCode> KeepBackup(const std::string& folder,
                                                                std::optional<std::uint16_t> serial,
                                                                const ParameterFileBytes& bytes, const BackupTime& now,
                                                                std::size_t limit = kBackupsKeptPerSerial);

}  // namespace sequaflow::params
