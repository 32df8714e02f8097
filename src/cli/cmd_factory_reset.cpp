#include <ostream>

#include "cli/cli_backup.h"
#include "cli/cli_commands.h"
#include "cli/config_snapshot.h"
#include "params/factory_reset.h"
#include "params/injector_catalogue.h"
#include "params/parameter_numbers.h"
#include "params/parameter_reader.h"

namespace sequaflow::cli {

int RunFactoryReset(Context& context, Args args) {
    bool yes = false;
    bool backup = true;
    for (const auto& a : args) {
        if (a == "--yes") yes = true;
        else if (a == "--no-backup") backup = false;
        else return UsageError(context, "factory-reset: unknown option '" + a + "'");
    }
    if (!yes) {
        return UsageError(context,
                          "factory-reset: this replaces the controller's settings and maps; add --yes to do it");
    }
    int rc = kOk;
    auto session = Session::Open(context, rc);
    if (!session) return rc;
    // What the reset overwrites is on disk before the first word goes out.
    if (backup) {
        if (const int backupRc = BackUpBeforeWriting(context, *session, "reset"); backupRc != kOk) return backupRc;
    }

    // The parameter read the program makes when it connects: the values the reset keeps come from it.
    params::ParameterImage image;
    maps::MapModel model;
    ProgressBar bar(context);
    params::ParameterReadReport before;
    if (const int readRc = RunWithProgress(context, *session, bar, "the read before the reset", false,
                                       [&](const SequenceControl& control) {
                                           before = params::ReadParameterSet(session->link(), image, control);
                                           return before.sequence;
                                       });
        readRc != kOk) {
        context.err << "sequaflow-cli: the reset was not started; nothing was written to the controller\n";
        return readRc;
    }
    params::RefreshShadowsAfterRead(image, model);
    // The reset sends the work-time counters and parameters 55..63 as read: without a valid read of each,
    // it would overwrite them with zeros.
    bool keptRead = true;
    for (int n = 0; n < static_cast<int>(params::kParameterCount); ++n) {
        const bool counter = n >= params::pn::PetrolSecondsHigh && n <= params::pn::GasSecondsLow;
        const bool kept = counter || n >= params::pn::Lambda1Type;
        if (kept && !before.valid[static_cast<std::size_t>(n)]) {
            context.err << "sequaflow-cli: no valid answer for parameter " << n << '\n';
            keptRead = false;
        }
    }
    if (!keptRead) {
        context.err << "sequaflow-cli: the reset was not started: it keeps these values and they could not be read\n";
        return kNoAnswer;
    }

    if (const int resetRc = RunWithProgress(context, *session, bar, "the factory reset", true,
                                       [&](const SequenceControl& control) {
                                           return params::FactoryReset(session->link(), image, model,
                                                                       static_cast<int>(params::kInjectorItems.size()),
                                                                       control);
                                       });
        resetRc != kOk)
        return resetRc;
    return ReportReadBack(context, *session, image, model, bar);
}

}  // namespace sequaflow::cli
