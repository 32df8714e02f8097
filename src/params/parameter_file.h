#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/link.h"
#include "link/result.h"
#include "maps/map_model.h"
#include "params/parameter_image.h"
#include "params/progress.h"

// The parameter file: 258 bytes without header. Parameters 0..63 high byte first, the 17 points low byte
// first, the advanced map row-major, the standard map.
namespace sequaflow::params {

inline constexpr std::size_t kParameterFileSize = 258;
inline constexpr std::size_t kPointsOffset = 128;
inline constexpr std::size_t kAdvancedOffset = 162;
inline constexpr std::size_t kStdOffset = 246;
// Far beyond any parameter file; a larger file is not one and is not read into memory.
inline constexpr std::size_t kMaxParameterFileSize = 64 * 1024;

using ParameterFileBytes = std::array<std::uint8_t, kParameterFileSize>;

struct ParameterFileContent {
    std::array<std::int32_t, kParameterCount> parameters{};  // signed parameters sign-extended
    std::array<std::uint32_t, kPointCount> points{};
    std::array<std::uint8_t, kAdvancedMapSize> advanced{};
    std::array<std::uint8_t, kStdMapSize> standard{};
};

enum class FileErrorCode { NotFound, NotAFile, Unreadable, TooShort, TooLarge, WriteFailed };
using FileError = Error<FileErrorCode>;

ParameterFileBytes EncodeParameterFile(const ParameterImage& image, const maps::MapModel& model);
// Rejects fewer than 258 bytes; bytes after the 258th are ignored.
[[nodiscard]] Result<ParameterFileContent, FileErrorCode> DecodeParameterFile(std::span<const std::uint8_t> bytes);

// Reads and decodes a file; every failure (missing, a directory, unreadable, short, too large) is an error
// with the path and the reason, and nothing has been changed or sent.
[[nodiscard]] Result<ParameterFileContent, FileErrorCode> ReadParameterFile(const std::string& path);
// Writes to a temporary file beside `path` and renames it into place, so a failed write never destroys
// the previous file and never leaves half a file under the name.
[[nodiscard]] Result<Ok, FileErrorCode> WriteFileReplacing(const std::string& path, std::string_view bytes);
[[nodiscard]] Result<Ok, FileErrorCode> WriteParameterFile(const std::string& path, const ParameterFileBytes& bytes);

// The name a save gets: the chosen name followed by the date text, with path separators in the date (some
// short date formats use '/') replaced by '-'.
std::string DatedFileName(std::string_view chosenName, std::string_view dateText);

// Puts the file's parameters into slots 0..63 and its points and maps into the model; nothing is sent.
void ApplyParameterFile(ParameterImage& image, maps::MapModel& model, const ParameterFileContent& content);

// Applies the file, sends the maps (points, standard map, advanced map lowered to the model's current cell
// maximum, points again), then the whole set with the programmed marker last. The caller reads it back.
// Nothing is applied or sent without an open port; a lost line or a cancel stops it before the next item.
SequenceResult LoadParameterFile(link::Link& link, ParameterImage& image, maps::MapModel& model,
                                 const ParameterFileContent& content, const SequenceControl& control = {});

// Shows a file without a controller: applies it, then refreshes the shadows of the first and second flags
// words and of the injector selection and the map cell maximum as a read does (the third flags word's shadow
// stays as the last read left it).
void ViewParameterFile(ParameterImage& image, maps::MapModel& model, const ParameterFileContent& content);

}  // namespace sequaflow::params
