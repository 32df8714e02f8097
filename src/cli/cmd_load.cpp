#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_backup.h"
#include "cli/cli_commands.h"
#include "cli/config_snapshot.h"
#include "link/commands.h"
#include "params/parameter_file.h"

namespace sequaflow::cli {

int RunLoad(Context& context, Args args) {
    bool backup = true;
    bool force = false;
    std::vector<std::string> files;
    for (const auto& a : args) {
        if (a == "--no-backup") backup = false;
        else if (a == "--force") force = true;
        else if (!a.empty() && a[0] == '-') return UsageError(context, "load: unknown option '" + a + "'");
        else files.push_back(a);
    }
    if (files.size() != 1 || files[0].empty()) return UsageError(context, "load: use 'load FILE [--no-backup] [--force]'");
    // The whole file is checked before the port is even opened: a bad file sends nothing.
    const auto content = LoadFileOrReport(context, files[0]);
    if (!content) return kFileError;
    if (RefuseImplausible(context, *content, files[0], force, "sent")) return kFileError;
    int rc = kOk;
    auto session = Session::Open(context, rc);
    if (!session) return rc;
    auto& link = session->link();
    // What the file overwrites is on disk before the first word goes out.
    if (backup) {
        if (const int backupRc = BackUpBeforeWriting(context, *session, "load"); backupRc != kOk) return backupRc;
    }

    // The cell limit is the one the controller works with now (its turbo flag), not the file's.
    link.discardStaleInput();
    params::ParameterImage image;
    maps::MapModel model;
    const auto flags2 = link::ReadParamWord(link, params::pn::SecondFlags);
    if (!flags2) {
        if (session->reportLost(context)) return kPortError;
        context.err << "sequaflow-cli: no valid answer from a controller on " << session->path()
                    << "; nothing was sent\n";
        return kNoAnswer;
    }
    image.storeWord(params::pn::SecondFlags, *flags2);
    image.refreshShadow(params::FlagsWord::Second);
    model.applyTurboFlag(image);

    ProgressBar bar(context);
    if (const int sent = RunWithProgress(context, *session, bar, "the load", true,
                                         [&](const SequenceControl& control) {
                                             return params::LoadParameterFile(link, image, model, *content, control);
                                         });
        sent != kOk)
        return sent;
    // Compared with the file, not with what went out after limiting: a cell the controller lowered is named.
    return ReportReadBack(context, *session, params::ConfigurationOfFile(*content), "the file has", bar);
}

}  // namespace sequaflow::cli
