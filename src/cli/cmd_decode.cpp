#include <ostream>

#include "cli/cli_commands.h"
#include "cli/config_snapshot.h"

namespace sequaflow::cli {

int RunDecode(Context& context, Args args) {
    bool json = false;
    bool force = false;
    std::optional<std::string> path;
    for (const auto& a : args) {
        if (a == "--json") json = true;
        else if (a == "--force") force = true;
        else if (!path && !a.empty() && a[0] != '-') path = a;
        else return UsageError(context, "decode: use 'decode FILE [--json] [--force]'");
    }
    if (!path) return UsageError(context, "decode: use 'decode FILE [--json] [--force]'");
    const auto content = LoadFileOrReport(context, *path);
    if (!content) return kFileError;
    if (RefuseImplausible(context, *content, *path, force, "shown")) return kFileError;
    const ConfigSnapshot snapshot = SnapshotOfFile(*content);
    if (json) PrintJson(context.out, snapshot);
    else PrintText(context.out, snapshot);
    return kOk;
}

}  // namespace sequaflow::cli
