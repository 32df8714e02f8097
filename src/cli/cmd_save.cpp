#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_backup.h"
#include "cli/cli_commands.h"
#include "cli/config_snapshot.h"
#include "params/parameter_file.h"
#include "params/program_state.h"

namespace sequaflow::cli {

int RunSave(Context& context, Args args) {
    bool backup = true;
    std::vector<std::string> rest;
    for (const auto& a : args) {
        if (a == "--no-backup") backup = false;
        else rest.push_back(a);
    }
    if (rest.size() != 1 || rest[0].empty() || rest[0][0] == '-')
        return UsageError(context, "save: use 'save FILE [--no-backup]'");
    const std::string& path = rest[0];
    int rc = kOk;
    auto session = Session::Open(context, rc);
    if (!session) return rc;

    params::ParameterImage image;
    maps::MapModel model;
    int readRc = kOk;
    const auto read = ReadWithProgress(context, *session, image, model, readRc);
    if (!read) {
        context.err << "sequaflow-cli: the parameter file was not written\n";
        return readRc;
    }
    const ConfigSnapshot& snapshot = *read;
    // The desktop program's rule: a file with a value that was never read would carry a stale or zero value
    // as if it were the controller's.
    if (!params::CanSaveConfiguration(snapshot.readStatus())) {
        for (const auto& name : snapshot.missing()) context.err << "sequaflow-cli: no valid answer for " << name << '\n';
        context.err << "sequaflow-cli: the parameter file was not written because the read is incomplete\n";
        return kNoAnswer;
    }
    if (backup) (void)KeepBackupOf(context, snapshot, image, model);
    const auto written = params::WriteParameterFile(path, params::EncodeParameterFile(image, model));
    if (!written) {
        context.err << "sequaflow-cli: cannot write the parameter file " << written.error().detail << '\n';
        return kFileError;
    }
    return kOk;
}

}  // namespace sequaflow::cli
