#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <string>

// The controller's end of a pseudo-terminal in raw mode; the tool opens `name` as its serial port.
struct RawPty {
    int master = -1;
    std::string name;

    RawPty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return;
        termios tio{};
        tcgetattr(master, &tio);
        cfmakeraw(&tio);
        tcsetattr(master, TCSANOW, &tio);
        char buffer[128];
        if (ptsname_r(master, buffer, sizeof buffer) == 0) name = buffer;
    }
    ~RawPty() {
        if (master >= 0) close(master);
    }
    RawPty(const RawPty&) = delete;
    RawPty& operator=(const RawPty&) = delete;

    bool ok() const { return master >= 0 && !name.empty(); }
};
