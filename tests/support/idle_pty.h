#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace sequaflow::testing_support {

// A pseudo-terminal nobody answers on: a real character device for tests that only need one to exist,
// to be linked to from a fake /dev or held open by another process.
struct IdlePty {
    int master = -1;
    std::string slave;
    IdlePty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) slave = ::ptsname(master);
    }
    ~IdlePty() {
        if (master >= 0) ::close(master);
    }
    IdlePty(const IdlePty&) = delete;
    IdlePty& operator=(const IdlePty&) = delete;
};

}  // namespace sequaflow::testing_support
