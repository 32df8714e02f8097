#include "link/port_inventory.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <iterator>

namespace sequaflow::link {
namespace {

constexpr const char* kById = "/dev/serial/by-id";
constexpr std::size_t kMaxPathSetting = 4095;
constexpr std::size_t kMaxProcText = 4096;

// `path` (absolute, as the system knows it) below `root`.
std::string UnderRoot(const std::string& root, const std::string& path) {
    if (root.empty() || root == "/") return path;
    std::string r = root;
    while (r.size() > 1 && r.back() == '/') r.pop_back();
    if (path.empty() || path.front() != '/') return r + '/' + path;
    return r + path;
}

// Collapses "." and ".." and doubled slashes of an absolute path, without touching the disk.
std::string Normalize(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= path.size()) {
        const std::size_t slash = path.find('/', i);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        const std::string part = path.substr(i, end - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        if (slash == std::string::npos) break;
        i = slash + 1;
    }
    std::string out;
    for (const auto& p : parts) out += '/' + p;
    return out.empty() ? "/" : out;
}

std::optional<struct stat> StatFollow(const std::string& full) {
    struct stat st {};
    if (::stat(full.c_str(), &st) != 0) return std::nullopt;
    return st;
}

std::string Printable(std::string text) {
    for (char& c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F) c = '?';
    }
    return text;
}

std::string ReadSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text(kMaxProcText, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

bool AllDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct ByIdLink {
    std::string link;    // /dev/serial/by-id/NAME
    std::string device;  // the path it names, normalised
    std::string name;    // readable
    dev_t rdev = 0;
};

// The by-id links under root that lead to a character device; links that point nowhere are left out.
std::vector<ByIdLink> ReadById(const std::string& root) {
    std::vector<ByIdLink> out;
    const std::string dir = UnderRoot(root, kById);
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return out;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        const std::string full = dir + '/' + name;
        const auto st = StatFollow(full);
        if (!st || !S_ISCHR(st->st_mode)) continue;
        ByIdLink l;
        l.link = std::string(kById) + '/' + name;
        l.name = AdapterName(name);
        l.rdev = st->st_rdev;
        char target[4096];
        const ssize_t n = ::readlink(full.c_str(), target, sizeof target - 1);
        if (n > 0) {
            const std::string t(target, static_cast<std::size_t>(n));
            l.device = Normalize(t.front() == '/' ? t : std::string(kById) + '/' + t);
        } else {
            l.device = l.link;  // a device node of its own, not a link
        }
        out.push_back(std::move(l));
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(), [](const ByIdLink& a, const ByIdLink& b) { return a.link < b.link; });
    return out;
}

std::vector<gid_t> ProcessGroups() {
    std::vector<gid_t> groups{::getegid()};
    const int n = ::getgroups(0, nullptr);
    if (n > 0) {
        std::vector<gid_t> more(static_cast<std::size_t>(n));
        const int got = ::getgroups(n, more.data());
        if (got > 0) groups.insert(groups.end(), more.begin(), more.begin() + got);
    }
    return groups;
}

std::string GroupName(gid_t gid, bool& listsUser) {
    listsUser = false;
    std::vector<char> buffer(16384);
    group gr{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &gr, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return std::to_string(gid);
    std::string name = found->gr_name ? found->gr_name : std::to_string(gid);
    std::vector<char> pwBuffer(16384);
    passwd pw{};
    passwd* me = nullptr;
    if (::getpwuid_r(::geteuid(), &pw, pwBuffer.data(), pwBuffer.size(), &me) == 0 && me != nullptr && me->pw_name) {
        if (me->pw_gid == gid) listsUser = true;
        for (char** m = found->gr_mem; m != nullptr && *m != nullptr; ++m)
            if (std::string_view(*m) == me->pw_name) listsUser = true;
    }
    return name;
}

std::string PermissionReason(const PortAccess& access) {
    std::string s = "the device belongs to group " + access.group;
    if (access.inGroup) return s + ", which this login has, but its modes do not let the group read and write";
    if (access.groupListsUser) return s + "; the user is in it, but this login is older: log in again";
    return s + "; add the user to it and log in again";
}

}  // namespace

std::string DescribeHolder(const PortHolder& holder) {
    return (holder.name.empty() ? std::string("pid ") + std::to_string(holder.pid)
                                : holder.name + " (pid " + std::to_string(holder.pid) + ")");
}

std::string DescribeHolders(const std::vector<PortHolder>& holders) {
    std::string who;
    for (const auto& h : holders) who += (who.empty() ? "" : ", ") + DescribeHolder(h);
    return who;
}

PortPresence ProbePresence(const std::string& root, const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return PortPresence::Missing;
    const auto st = StatFollow(UnderRoot(root, path));
    if (!st) return PortPresence::Missing;
    return S_ISCHR(st->st_mode) ? PortPresence::Present : PortPresence::NotSerial;
}

std::string AdapterName(std::string_view byIdName) {
    std::string s;
    // udev writes characters it does not keep as \xNN.
    for (std::size_t i = 0; i < byIdName.size(); ++i) {
        if (byIdName[i] == '\\' && i + 3 < byIdName.size() && byIdName[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(byIdName[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(byIdName[i + 3]))) {
            s += static_cast<char>(std::stoi(std::string(byIdName.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            s += byIdName[i];
        }
    }
    // The bus in front ("usb-"), the interface and port behind ("-if00-port0").
    for (const char* bus : {"usb-", "pci-", "platform-"}) {
        if (s.rfind(bus, 0) == 0) {
            s.erase(0, std::char_traits<char>::length(bus));
            break;
        }
    }
    int interfaceNumber = -1;
    if (const auto port = s.rfind("-port"); port != std::string::npos && AllDigits(std::string_view(s).substr(port + 5)))
        s.erase(port);
    if (const auto iface = s.rfind("-if"); iface != std::string::npos) {
        const std::string digits = s.substr(iface + 3);
        if (AllDigits(digits) && digits.size() <= 3) {
            interfaceNumber = std::stoi(digits);
            s.erase(iface);
        }
    }
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i <= s.size()) {
        const auto u = s.find('_', i);
        const std::string w = s.substr(i, u == std::string::npos ? std::string::npos : u - i);
        if (!w.empty()) words.push_back(w);
        if (u == std::string::npos) break;
        i = u + 1;
    }
    // udev puts the serial number last: a run of letters and digits with at least one digit, after at
    // least two words of vendor and model.
    std::string serial;
    if (words.size() >= 3) {
        const std::string& last = words.back();
        const bool alnum = std::all_of(last.begin(), last.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
        const bool digit = std::any_of(last.begin(), last.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
        if (alnum && digit && last.size() >= 4) {
            serial = last;
            words.pop_back();
        }
    }
    std::string name;
    for (const auto& w : words) name += (name.empty() ? "" : " ") + w;
    std::string extra = serial;
    if (interfaceNumber > 0) extra += (extra.empty() ? "" : ", ") + std::string("interface ") + std::to_string(interfaceNumber);
    if (name.empty()) name = std::string(byIdName);
    if (!extra.empty()) name += " (" + extra + ")";
    return Printable(name);
}

std::vector<PortHolder> FindHolders(const std::string& root, const std::string& path) {
    std::vector<PortHolder> out;
    const auto dev = StatFollow(UnderRoot(root, path));
    if (!dev || !S_ISCHR(dev->st_mode)) return out;
    const std::string proc = UnderRoot(root, "/proc");
    DIR* d = ::opendir(proc.c_str());
    if (d == nullptr) return out;
    const int self = static_cast<int>(::getpid());
    while (const dirent* e = ::readdir(d)) {
        const std::string pidText = e->d_name;
        if (!AllDigits(pidText) || pidText.size() > 9) continue;
        const int pid = std::stoi(pidText);
        if (pid == self) continue;
        const std::string fdDir = proc + '/' + pidText + "/fd";
        DIR* fds = ::opendir(fdDir.c_str());
        if (fds == nullptr) continue;  // another user's process, or gone meanwhile
        bool holds = false;
        while (const dirent* f = ::readdir(fds)) {
            if (!AllDigits(f->d_name)) continue;
            const auto st = StatFollow(fdDir + '/' + f->d_name);
            if (st && S_ISCHR(st->st_mode) && st->st_rdev == dev->st_rdev) {
                holds = true;
                break;
            }
        }
        ::closedir(fds);
        if (!holds) continue;
        PortHolder h;
        h.pid = pid;
        std::string comm = ReadSmallFile(proc + '/' + pidText + "/comm");
        while (!comm.empty() && (comm.back() == '\n' || comm.back() == '\0')) comm.pop_back();
        std::string cmd = ReadSmallFile(proc + '/' + pidText + "/cmdline");
        std::replace(cmd.begin(), cmd.end(), '\0', ' ');
        while (!cmd.empty() && cmd.back() == ' ') cmd.pop_back();
        h.command = Printable(cmd);
        h.name = Printable(comm.empty() ? cmd.substr(0, cmd.find(' ')) : comm);
        out.push_back(std::move(h));
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(), [](const PortHolder& a, const PortHolder& b) { return a.pid < b.pid; });
    return out;
}

bool ModesAllow(mode_t mode, uid_t owner, gid_t group, uid_t uid, const std::vector<gid_t>& groups) {
    if (uid == 0) return true;
    mode_t need = 0;
    if (owner == uid) need = S_IRUSR | S_IWUSR;
    else if (std::find(groups.begin(), groups.end(), group) != groups.end()) need = S_IRGRP | S_IWGRP;
    else need = S_IROTH | S_IWOTH;
    // The first class that matches decides, as the kernel does: an owner without write is refused even
    // when the group could write.
    return (mode & need) == need;
}

PortAccess CheckAccess(const std::string& root, const std::string& path) {
    PortAccess a;
    const std::string full = UnderRoot(root, path);
    const auto st = StatFollow(full);
    if (!st) return a;
    const auto groups = ProcessGroups();
    a.group = GroupName(st->st_gid, a.groupListsUser);
    a.inGroup = std::find(groups.begin(), groups.end(), st->st_gid) != groups.end();
    // The kernel's answer counts (access lists included); the modes only stand in when it cannot say.
    if (::faccessat(AT_FDCWD, full.c_str(), R_OK | W_OK, AT_EACCESS) == 0) a.permitted = true;
    else if (errno == EACCES || errno == EPERM || errno == EROFS) a.permitted = false;
    else a.permitted = ModesAllow(st->st_mode, st->st_uid, st->st_gid, ::geteuid(), groups);
    a.holders = FindHolders(root, path);
    return a;
}

PortInventory TakeInventory(const PortTable& table, const std::string& root, InventoryOptions options) {
    PortInventory inv;
    const auto links = ReadById(root);
    std::vector<bool> used(links.size(), false);
    for (int i = 0; i < kPortCount; ++i) {
        PortStatus s;
        s.index = i;
        s.caption = PortTable::Caption(i);
        s.path = table.path(i);
        s.presence = ProbePresence(root, s.path);
        if (s.presence == PortPresence::Present) {
            const auto st = StatFollow(UnderRoot(root, s.path));
            for (std::size_t k = 0; st && k < links.size(); ++k) {
                if (links[k].rdev != st->st_rdev) continue;
                used[k] = true;
                if (s.adapter.empty()) {
                    s.adapter = links[k].name;
                    s.adapterLink = links[k].link;
                }
            }
            if (options.access) s.access = CheckAccess(root, s.path);
        }
        inv.entries.push_back(std::move(s));
    }
    for (std::size_t k = 0; k < links.size(); ++k)
        if (!used[k]) inv.others.push_back(OtherAdapter{links[k].link, links[k].device, links[k].name});
    return inv;
}

std::string PortProblemText(const std::string& path, const PortError& error, const PortAccess* access) {
    switch (error.code) {
        case PortErrorCode::NotFound: return "there is no device " + path;
        case PortErrorCode::NotSerial: return path + " is not a serial port";
        case PortErrorCode::PermissionDenied:
            if (access != nullptr && !access->permitted && !access->group.empty())
                return "no permission to open " + path + ": " + PermissionReason(*access);
            return "no permission to open " + path + ": add the user to the dialout group and log in again";
        case PortErrorCode::Busy: {
            const std::string who = access != nullptr ? DescribeHolders(access->holders) : std::string();
            return path + " is in use by another program" + (who.empty() ? std::string() : ": " + who);
        }
        case PortErrorCode::Io:
        case PortErrorCode::Lost: break;
    }
    // The detail starts with the path and carries the system's words.
    return "cannot open " + (error.detail.empty() ? path : error.detail);
}

std::string AccessProblemText(const PortAccess& access) {
    if (!access.permitted) return "no permission: " + PermissionReason(access);
    if (!access.holders.empty()) return "in use by another program: " + DescribeHolders(access.holders);
    return {};
}

bool IsDevicePathSetting(std::string_view value) {
    if (value.empty() || value.front() != '/' || value.size() > kMaxPathSetting) return false;
    return std::none_of(value.begin(), value.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

}  // namespace sequaflow::link
