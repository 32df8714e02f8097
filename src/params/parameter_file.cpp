#include "params/parameter_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "link/sequence_run.h"
#include "maps/map_transfer.h"
#include "params/parameter_reader.h"
#include "params/parameter_writer.h"

namespace sequaflow::params {
namespace {

constexpr std::size_t At(int i) { return static_cast<std::size_t>(i); }

FileError SystemError(FileErrorCode code, const std::string& path, int err) {
    return FileError{code, path + ": " + std::strerror(err)};
}

// Closes the descriptor on every way out.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

ParameterFileBytes EncodeParameterFile(const ParameterImage& image, const maps::MapModel& model) {
    ParameterFileBytes bytes{};
    for (int n = 0; n < static_cast<int>(kParameterCount); ++n) {
        const std::uint16_t w = image.wire(n);
        bytes[At(2 * n)] = static_cast<std::uint8_t>(w >> 8);
        bytes[At(2 * n + 1)] = static_cast<std::uint8_t>(w & 0xFF);
    }
    for (int k = 0; k < maps::kPoints; ++k) {
        const auto p = static_cast<std::uint16_t>(model.point(k));
        bytes[kPointsOffset + At(2 * k)] = static_cast<std::uint8_t>(p & 0xFF);
        bytes[kPointsOffset + At(2 * k + 1)] = static_cast<std::uint8_t>(p >> 8);
    }
    for (int i = 0; i < maps::kCells; ++i) bytes[kAdvancedOffset + At(i)] = model.advanced()[At(i)];
    for (int k = 0; k < maps::kStdCells; ++k) bytes[kStdOffset + At(k)] = model.standard()[At(k)];
    return bytes;
}

Result<ParameterFileContent, FileErrorCode> DecodeParameterFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kParameterFileSize) {
        return FileError{FileErrorCode::TooShort, std::to_string(bytes.size()) + " bytes, a parameter file has " +
                                                      std::to_string(kParameterFileSize)};
    }
    ParameterFileContent c;
    for (int n = 0; n < static_cast<int>(kParameterCount); ++n) {
        const auto w = static_cast<std::uint16_t>(bytes[At(2 * n)] << 8 | bytes[At(2 * n + 1)]);
        c.parameters[At(n)] = SlotFromWord(n, w);
    }
    for (int k = 0; k < maps::kPoints; ++k)
        c.points[At(k)] = static_cast<std::uint32_t>(bytes[kPointsOffset + At(2 * k)] |
                                                     bytes[kPointsOffset + At(2 * k + 1)] << 8);
    for (int i = 0; i < maps::kCells; ++i) c.advanced[At(i)] = bytes[kAdvancedOffset + At(i)];
    for (int k = 0; k < maps::kStdCells; ++k) c.standard[At(k)] = bytes[kStdOffset + At(k)];
    return c;
}

Result<ParameterFileContent, FileErrorCode> ReadParameterFile(const std::string& path) {
    Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (f.fd < 0) {
        const int err = errno;
        return SystemError(err == ENOENT ? FileErrorCode::NotFound : FileErrorCode::Unreadable, path, err);
    }
    struct stat st {};
    if (::fstat(f.fd, &st) != 0) return SystemError(FileErrorCode::Unreadable, path, errno);
    if (S_ISDIR(st.st_mode)) return FileError{FileErrorCode::NotAFile, path + ": is a directory"};
    if (!S_ISREG(st.st_mode)) return FileError{FileErrorCode::NotAFile, path + ": not a regular file"};
    if (static_cast<std::size_t>(st.st_size) > kMaxParameterFileSize) {
        return FileError{FileErrorCode::TooLarge,
                         path + ": " + std::to_string(st.st_size) + " bytes is far too large for a parameter file"};
    }
    std::vector<std::uint8_t> data(kMaxParameterFileSize + 1);
    std::size_t got = 0;
    while (got < data.size()) {
        const ssize_t n = ::read(f.fd, data.data() + got, data.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return SystemError(FileErrorCode::Unreadable, path, errno);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > kMaxParameterFileSize) return FileError{FileErrorCode::TooLarge, path + ": far too large for a parameter file"};
    auto decoded = DecodeParameterFile(std::span<const std::uint8_t>(data.data(), got));
    if (!decoded) return FileError{decoded.error().code, path + ": " + decoded.error().detail};
    return decoded;
}

Result<Ok, FileErrorCode> WriteParameterFile(const std::string& path, const ParameterFileBytes& bytes) {
    return WriteFileReplacing(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

Result<Ok, FileErrorCode> WriteFileReplacing(const std::string& path, std::string_view bytes) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return FileError{FileErrorCode::NotAFile, path + ": is a directory"};
    }
    std::string tmpl = DirectoryOf(path) + "/.sequaflow-XXXXXX";
    Fd f{::mkstemp(tmpl.data())};
    if (f.fd < 0) return SystemError(FileErrorCode::WriteFailed, path, errno);
    const bool written = WriteAll(f.fd, bytes.data(), bytes.size()) && ::fchmod(f.fd, 0644) == 0 && ::fsync(f.fd) == 0;
    const int err = errno;
    if (!written || ::close(f.fd) != 0) {
        f.fd = -1;
        ::unlink(tmpl.c_str());
        return SystemError(FileErrorCode::WriteFailed, path, written ? errno : err);
    }
    f.fd = -1;
    if (::rename(tmpl.c_str(), path.c_str()) != 0) {
        const int renameErr = errno;
        ::unlink(tmpl.c_str());
        return SystemError(FileErrorCode::WriteFailed, path, renameErr);
    }
    return Ok{};
}

std::string DatedFileName(std::string_view chosenName, std::string_view dateText) {
    std::string date(dateText);
    for (char& c : date)
        if (c == '/' || c == '\\') c = '-';
    return std::string(chosenName) + date;
}

void ApplyParameterFile(ParameterImage& image, maps::MapModel& model, const ParameterFileContent& content) {
    for (int n = 0; n < static_cast<int>(kParameterCount); ++n) image.setSlot(n, content.parameters[At(n)]);
    for (int k = 0; k < maps::kPoints; ++k) model.setPoint(k, content.points[At(k)]);
    for (int r = 0; r < maps::kRows; ++r)
        for (int c = 0; c < maps::kColumns; ++c) model.setCellByte(r, c, content.advanced[At(7 * r + c)]);
    for (int k = 0; k < maps::kStdCells; ++k) model.setStdByte(k, content.standard[At(k)]);
}

SequenceResult LoadParameterFile(link::Link& link, ParameterImage& image, maps::MapModel& model,
                                 const ParameterFileContent& content, const SequenceControl& control) {
    link::SequenceRun run(link, control);
    // Without a line the screens must keep showing the controller's values, not the file's.
    if (!run.goOn()) return run.result();
    ApplyParameterFile(image, model, content);
    if (!run.absorb(maps::UploadMaps(link, model, control))) return run.result();
    (void)run.absorb(WriteAllParameters(link, image, control));
    return run.result();
}

void ViewParameterFile(ParameterImage& image, maps::MapModel& model, const ParameterFileContent& content) {
    ApplyParameterFile(image, model, content);
    image.refreshShadow(FlagsWord::First);
    RefreshShownShadows(image, model);
}

}  // namespace sequaflow::params
