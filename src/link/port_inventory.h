#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "link/port_table.h"
#include "link/serial_port.h"

namespace sequaflow::link {

// What stands at a device path.
enum class PortPresence {
    Missing,    // nothing there (or a link that points nowhere)
    NotSerial,  // a regular file, a directory, ...: something that is no character device
    Present,    // a character device
};

// A program that holds a device open, as /proc tells it.
struct PortHolder {
    int pid = 0;
    std::string name;     // its command name (comm), or the first word of its command line
    std::string command;  // its whole command line, words joined by spaces; may be empty
};

// "minicom (pid 4242)".
std::string DescribeHolder(const PortHolder& holder);
// Each holder so, joined by ", ": "minicom (pid 4242), screen (pid 77)".
std::string DescribeHolders(const std::vector<PortHolder>& holders);

// Whether this user may open a present device, and if not, why.
struct PortAccess {
    bool permitted = true;        // the file modes let this process read and write it
    std::string group;            // the device's group by name (or number)
    bool inGroup = false;         // this process has that group
    bool groupListsUser = false;  // the group database lists the user, but this login does not have it yet
    std::vector<PortHolder> holders;  // other programs that hold it open

    bool mayOpen() const { return permitted && holders.empty(); }
};

// One port entry as the system sees it now.
struct PortStatus {
    int index = 0;
    std::string caption;  // "COM1"
    std::string path;     // the device path of the entry, outside the root
    PortPresence presence = PortPresence::Missing;
    std::string adapter;     // the adapter's readable name from serial/by-id; empty when none names it
    std::string adapterLink; // that by-id link, e.g. /dev/serial/by-id/usb-FTDI_...
    std::optional<PortAccess> access;  // present entries, when access was asked for
};

// An adapter under serial/by-id whose device no port entry leads to.
struct OtherAdapter {
    std::string link;    // /dev/serial/by-id/usb-...
    std::string device;  // the device it names, e.g. /dev/ttyUSB9
    std::string name;    // readable name
};

struct PortInventory {
    std::vector<PortStatus> entries;  // the 25 entries in index order
    std::vector<OtherAdapter> others;
};

struct InventoryOptions {
    // Permission and holder checks of present devices. The holder search walks every process's open files,
    // which the menu does not need on each opening.
    bool access = true;
};

// The port table seen on the machine under `root` ("/" in the program; a test gives a tree of its own).
// Device paths stay as the table has them; each is looked up below `root`. Never opens a device: opening a
// serial port raises its modem lines, which may reset what is attached.
PortInventory TakeInventory(const PortTable& table, const std::string& root = "/", InventoryOptions options = {});

// Presence of one device path below `root`.
PortPresence ProbePresence(const std::string& root, const std::string& path);

// The readable name of an adapter from its by-id link name:
// "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0" -> "FTDI FT232R USB UART (A50285BI)".
std::string AdapterName(std::string_view byIdName);

// The programs (other than this one) holding the device at `path` open, from <root>/proc/*/fd. Processes
// whose open files this user may not see are skipped.
std::vector<PortHolder> FindHolders(const std::string& root, const std::string& path);

// Whether a process with user `uid` and groups `groups` may read and write a file of that mode and owner.
bool ModesAllow(mode_t mode, uid_t owner, gid_t group, uid_t uid, const std::vector<gid_t>& groups);

// The access of this process to a present device below `root`, holders included.
PortAccess CheckAccess(const std::string& root, const std::string& path);

// One English line for a port that cannot be opened, for the command line and logs:
// "there is no device /dev/ttyUSB0", "/tmp/x is not a serial port", "/dev/ttyS0 is in use by another
// program: minicom (pid 42)" ...; `access` (CheckAccess after the failure) names the group or the holder.
std::string PortProblemText(const std::string& path, const PortError& error, const PortAccess* access = nullptr);
// Why a present device may not be opened, empty when it may: "no permission: the device belongs to group
// dialout; add the user to it and log in again" or "in use by another program: minicom (pid 42)".
std::string AccessProblemText(const PortAccess& access);

// Whether a configured port path can name a device: absolute, no control characters (newline, NUL ...),
// of sane length. A value that fails is ignored and reported, never opened.
bool IsDevicePathSetting(std::string_view value);

}  // namespace sequaflow::link
