#include <ostream>

#include "cli/cli_commands.h"
#include "cli/config_snapshot.h"
#include "params/parameter_file.h"
#include "params/program_state.h"

namespace sequaflow::cli {

int RunSave(Context& context, Args args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') return UsageError(context, "save: use 'save FILE'");
    const std::string& path = args[0];
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
    const auto written = params::WriteParameterFile(path, params::EncodeParameterFile(image, model));
    if (!written) {
        context.err << "sequaflow-cli: cannot write the parameter file " << written.error().detail << '\n';
        return kFileError;
    }
    return kOk;
}

}  // namespace sequaflow::cli
