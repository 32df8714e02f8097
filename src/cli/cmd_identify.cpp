#include <ostream>

#include "cli/cli_commands.h"
#include "link/commands.h"
#include "link/connection.h"

namespace sequaflow::cli {

int RunIdentify(Context& context, Args args) {
    bool json = false;
    for (const auto& a : args) {
        if (a == "--json") json = true;
        else return UsageError(context, "identify: unknown option '" + a + "'");
    }
    int rc = kOk;
    auto session = Session::Open(context, rc);
    if (!session) return rc;

    // The same attempt the program makes when a port is chosen: 20 ms settle, then Identify.
    link::PortTable table;
    table.setPath(0, session->path());
    link::ConnectionManager manager(session->link(), table);
    if (!manager.IdentificationAttempt(false)) {
        if (session->reportLost(context)) return kPortError;
        context.err << "sequaflow-cli: no valid answer from a controller on " << session->path() << '\n';
        return kNoAnswer;
    }
    const auto hw = manager.hardware();
    const auto sw = manager.software();
    if (json) {
        context.out << "{\"hardware\":" << int{hw} << ",\"software\":" << int{sw} << ",\"device\":\""
                    << link::DeviceText(hw) << "\",\"cylinders\":\"" << link::CylinderText(hw) << "\"}\n";
    } else {
        context.out << "H." << int{hw} << " S." << int{sw} << '\n'
                    << "device: " << link::DeviceText(hw) << '\n'
                    << "cylinders: " << link::CylinderText(hw) << '\n';
    }
    return kOk;
}

}  // namespace sequaflow::cli
