#include "link/posix_serial_port.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sequaflow::link {

const char* PortErrorName(PortErrorCode code) {
    switch (code) {
        case PortErrorCode::NotFound: return "no such device";
        case PortErrorCode::PermissionDenied: return "permission denied";
        case PortErrorCode::Busy: return "port in use by another program";
        case PortErrorCode::NotSerial: return "not a serial device";
        case PortErrorCode::Io: return "input/output error";
        case PortErrorCode::Lost: return "device lost";
    }
    return "unknown error";
}

namespace {

PortErrorCode CodeForErrno(int err) {
    switch (err) {
        case ENOENT:
        case ENODEV:
        case ENXIO: return PortErrorCode::NotFound;
        case EACCES:
        case EPERM: return PortErrorCode::PermissionDenied;
        case EBUSY:
        case EWOULDBLOCK: return PortErrorCode::Busy;
        case ENOTTY:
        case EISDIR: return PortErrorCode::NotSerial;
        default: return PortErrorCode::Io;
    }
}

PortError MakeError(int err, const std::string& context) {
    return PortError{CodeForErrno(err), context + ": " + std::strerror(err)};
}

bool RetryEintr(int rc) { return rc < 0 && errno == EINTR; }

}  // namespace

PosixSerialPort::~PosixSerialPort() { close(); }

Result<Ok, PortErrorCode> PosixSerialPort::open(const std::string& path) {
    close();
    failure_.reset();
    if (path.empty()) return PortError{PortErrorCode::NotFound, "no device path configured"};

    // Non-blocking open: a port without carrier must not hang us; reads stay non-blocking anyway.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        // A serial node with no hardware behind it (a ttyS without its UART) refuses with EIO.
        if (err == EIO) return PortError{PortErrorCode::NotFound, path + ": " + std::strerror(err)};
        return MakeError(err, path);
    }

    auto bail = [&](int err, const std::string& what) -> Result<Ok, PortErrorCode> {
        ::close(fd);
        return MakeError(err, path + ": " + what);
    };

    if (!isatty(fd)) {
        ::close(fd);
        return PortError{PortErrorCode::NotSerial, path + ": not a serial device"};
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return MakeError(err, path + ": lock");
    }
    if (ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY && errno != EINVAL) return bail(errno, "exclusive mode");

    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return bail(errno, "read line settings");
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CSIZE | HUPCL);
    tio.c_cflag |= CS8;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, B57600);
    cfsetospeed(&tio, B57600);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) return bail(errno, "write line settings");

    int lines = 0;
    modemLines_ = ioctl(fd, TIOCMGET, &lines) == 0;
    if (modemLines_) {
        int dtr = TIOCM_DTR;
        (void)ioctl(fd, TIOCMBIC, &dtr);
        int rts = TIOCM_RTS;
        (void)ioctl(fd, TIOCMBIC, &rts);
    }

    // USB adapters otherwise batch input for up to 16 ms, longer than the whole receive wait.
    serial_struct ss{};
    if (ioctl(fd, TIOCGSERIAL, &ss) == 0) {
        ss.flags |= ASYNC_LOW_LATENCY;
        (void)ioctl(fd, TIOCSSERIAL, &ss);
    }

    fd_ = fd;
    return Ok{};
}

void PosixSerialPort::close() {
    if (fd_ < 0) return;
    ::close(fd_);  // also drops the flock
    fd_ = -1;
}

void PosixSerialPort::fail(int err, const char* what) {
    if (err == EIO || err == ENXIO || err == ENODEV || err == EBADF)
        failure_ = PortError{PortErrorCode::Lost, std::string(what) + ": " + std::strerror(err)};
    else
        failure_ = PortError{PortErrorCode::Io, std::string(what) + ": " + std::strerror(err)};
}

bool PosixSerialPort::setRts(bool raised) {
    if (fd_ < 0) return false;
    if (!modemLines_) return true;
    int rts = TIOCM_RTS;
    return ioctl(fd_, raised ? TIOCMBIS : TIOCMBIC, &rts) == 0;
}

bool PosixSerialPort::write(std::span<const std::uint8_t> bytes) {
    if (fd_ < 0) return false;
    std::size_t done = 0;
    int stalls = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && ++stalls < 100) {
            // The output queue is full: let it drain a little instead of spinning.
            (void)tcdrain(fd_);
            continue;
        }
        fail(n < 0 ? errno : EIO, "write");
        return false;
    }
    return true;
}

bool PosixSerialPort::drain() {
    if (fd_ < 0) return false;
    int rc = 0;
    do rc = tcdrain(fd_);
    while (RetryEintr(rc));
    if (rc != 0) {
        fail(errno, "drain");
        return false;
    }
    return true;
}

std::optional<std::size_t> PosixSerialPort::queued() {
    if (fd_ < 0) return std::nullopt;
    int n = 0;
    if (ioctl(fd_, FIONREAD, &n) != 0) {
        fail(errno, "input count");
        return std::nullopt;
    }
    if (n == 0) {
        // A vanished USB adapter or a closed pty peer shows as zero queued bytes with a hang-up pending.
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
            failure_ = PortError{PortErrorCode::Lost, "the device hung up"};
            return std::nullopt;
        }
    }
    return static_cast<std::size_t>(n < 0 ? 0 : n);
}

std::size_t PosixSerialPort::read(std::span<std::uint8_t> dest) {
    if (fd_ < 0 || dest.empty()) return 0;
    for (;;) {
        const ssize_t n = ::read(fd_, dest.data(), dest.size());
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno == EINTR) continue;
        if (errno != EAGAIN) fail(errno, "read");
        return 0;
    }
}

}  // namespace sequaflow::link
