#include <ostream>

#include "cli/cli_backup.h"
#include "cli/cli_commands.h"
#include "cli/config_snapshot.h"

namespace sequaflow::cli {

int RunRead(Context& context, Args args) {
    bool json = false;
    bool backup = true;
    for (const auto& a : args) {
        if (a == "--json") json = true;
        else if (a == "--no-backup") backup = false;
        else return UsageError(context, "read: unknown option '" + a + "'");
    }
    int rc = kOk;
    auto session = Session::Open(context, rc);
    if (!session) return rc;

    params::ParameterImage image;
    maps::MapModel model;
    int readRc = kOk;
    const auto read = ReadWithProgress(context, *session, image, model, readRc);
    if (!read) return readRc;
    const ConfigSnapshot& snapshot = *read;

    const auto missing = snapshot.missing();
    for (const auto& name : missing) context.err << "sequaflow-cli: no valid answer for " << name << '\n';
    bool anything = snapshot.identification.has_value();
    for (const auto& p : snapshot.parameters) anything = anything || p.has_value();
    if (!anything) {
        context.err << "sequaflow-cli: no valid answer from a controller on " << session->path() << '\n';
        return kNoAnswer;
    }
    // A read is not refused for a backup it could not keep; the reason is printed.
    if (backup) (void)KeepBackupOf(context, snapshot, image, model);
    if (json) PrintJson(context.out, snapshot);
    else PrintText(context.out, snapshot);
    return kOk;
}

}  // namespace sequaflow::cli
