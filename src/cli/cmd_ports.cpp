#include <algorithm>
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/setting_output.h"
#include "link/port_inventory.h"

namespace sequaflow::cli {
namespace {

const char* StateText(link::PortPresence p) {
    switch (p) {
        case link::PortPresence::Present: return "present";
        case link::PortPresence::NotSerial: return "not a serial port";
        case link::PortPresence::Missing: break;
    }
    return "not present";
}

// Why an entry cannot be opened; empty when it can.
std::string Reason(const link::PortStatus& s) {
    if (s.presence == link::PortPresence::Missing) return "there is no device " + s.path;
    if (s.presence == link::PortPresence::NotSerial) return s.path + " is not a serial port";
    return s.access ? link::AccessProblemText(*s.access) : std::string();
}

void PrintJsonOrNull(std::ostream& out, const std::string& text) {
    if (text.empty()) out << "null";
    else PrintJsonString(out, text);
}

void PrintJson(std::ostream& out, const link::PortInventory& inv, const link::PortTable& table) {
    out << "{\"ports\":[";
    for (const auto& s : inv.entries) {
        if (s.index > 0) out << ',';
        const std::string reason = Reason(s);
        out << "{\"entry\":";
        PrintJsonString(out, s.caption);
        out << ",\"device\":";
        PrintJsonString(out, s.path);
        out << ",\"this_run_only\":" << (table.oneRun(s.index) ? "true" : "false");
        out << ",\"present\":" << (s.presence == link::PortPresence::Present ? "true" : "false") << ",\"state\":";
        PrintJsonString(out, StateText(s.presence));
        out << ",\"adapter\":";
        PrintJsonOrNull(out, s.adapter);
        out << ",\"adapter_link\":";
        PrintJsonOrNull(out, s.adapterLink);
        out << ",\"may_open\":" << (reason.empty() ? "true" : "false") << ",\"reason\":";
        PrintJsonOrNull(out, reason);
        if (s.access) {
            out << ",\"group\":";
            PrintJsonOrNull(out, s.access->group);
            out << ",\"in_group\":" << (s.access->inGroup ? "true" : "false") << ",\"held_by\":[";
            for (std::size_t i = 0; i < s.access->holders.size(); ++i) {
                const auto& h = s.access->holders[i];
                out << (i ? "," : "") << "{\"pid\":" << h.pid << ",\"name\":";
                PrintJsonString(out, h.name);
                out << ",\"command\":";
                PrintJsonString(out, h.command);
                out << '}';
            }
            out << ']';
        }
        out << '}';
    }
    out << "],\"other_adapters\":[";
    for (std::size_t i = 0; i < inv.others.size(); ++i) {
        const auto& a = inv.others[i];
        out << (i ? "," : "") << "{\"name\":";
        PrintJsonString(out, a.name);
        out << ",\"link\":";
        PrintJsonString(out, a.link);
        out << ",\"device\":";
        PrintJsonString(out, a.device);
        out << '}';
    }
    out << "]}\n";
}

void Pad(std::ostream& out, const std::string& text, std::size_t width) {
    out << text << std::string(width > text.size() ? width - text.size() : 0, ' ');
}

void PrintTable(std::ostream& out, const link::PortInventory& inv, const link::PortTable& table) {
    std::size_t pathWidth = 6;
    for (const auto& s : inv.entries) pathWidth = std::max(pathWidth, s.path.size());
    out << "ENTRY  ";
    Pad(out, "DEVICE", pathWidth + 2);
    out << "STATE              OPEN  ADAPTER\n";
    for (const auto& s : inv.entries) {
        const std::string reason = Reason(s);
        Pad(out, s.caption, 7);
        Pad(out, s.path, pathWidth + 2);
        Pad(out, StateText(s.presence), 19);
        std::string line = reason.empty() ? "yes   " : "no    ";
        line += s.adapter;
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out << line;
        if (table.oneRun(s.index)) out << (s.adapter.empty() ? "" : " ") << "[--map]";
        out << '\n';
        // A missing device says it in its state; the other reasons need their own words.
        if (!reason.empty() && s.presence == link::PortPresence::Present) out << "       " << reason << '\n';
    }
    if (inv.others.empty()) return;
    out << "\nAdapters without a port entry (give one with --map COMn=LINK, or in the desktop program's Port menu):\n";
    for (const auto& a : inv.others) out << "  " << a.name << "  " << a.device << "  " << a.link << '\n';
}

}  // namespace

std::optional<bool> ParsePortsArgs(Context& context, Args args) {
    bool json = false;
    for (const auto& a : args) {
        if (a == "--json") json = true;
        else {
            (void)UsageError(context, "ports: unknown option '" + a + "'");
            return std::nullopt;
        }
    }
    if (context.options.device || context.options.comIndex) {
        (void)UsageError(context, "ports lists every port entry; --device and --com do not apply (use --map)");
        return std::nullopt;
    }
    return json;
}

int RunPorts(Context& context, Args args) {
    const auto json = ParsePortsArgs(context, args);
    if (!json) return kUsage;
    const auto inventory = link::TakeInventory(context.options.ports, context.options.deviceRoot);
    if (*json) PrintJson(context.out, inventory, context.options.ports);
    else PrintTable(context.out, inventory, context.options.ports);
    return kOk;
}

}  // namespace sequaflow::cli
