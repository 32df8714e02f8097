#include "cli/cli_backup.h"

#include <ostream>

#include "params/backup_store.h"
#include "params/parameter_file.h"

namespace sequaflow::cli {
namespace {

constexpr std::size_t At(int i) { return static_cast<std::size_t>(i); }

// The outcome in words; false when nothing is on disk.
bool Report(Context& context, const Result<params::BackupOutcome, params::BackupErrorCode>& kept) {
    if (!kept) {
        context.err << "sequaflow-cli: the backup could not be written: " << kept.error().detail << '\n';
        return false;
    }
    if (kept->written) context.err << "sequaflow-cli: backup written to " << kept->path << '\n';
    else context.err << "sequaflow-cli: unchanged since the backup " << kept->path << '\n';
    for (const auto& old : kept->notRemoved)
        context.err << "sequaflow-cli: an old backup could not be removed: " << old << '\n';
    return true;
}

}  // namespace

bool KeepBackupOf(Context& context, const ConfigSnapshot& snapshot, const params::ParameterImage& image,
                  const maps::MapModel& model) {
    if (snapshot.readStatus() != params::ReadStatus::Complete) {
        context.err << "sequaflow-cli: no backup was kept: the read is incomplete\n";
        return false;
    }
    return Report(context, params::KeepBackup(params::BackupFolder(context.options.startDir), snapshot.serial,
                                              params::EncodeParameterFile(image, model), params::LocalTimeNow()));
}

int BackUpBeforeWriting(Context& context, Session& session, std::string_view what) {
    const std::string refused = "sequaflow-cli: the " + std::string(what) + " was not started; nothing was sent\n";
    params::ParameterImage image;
    maps::MapModel model;
    ConfigSnapshot snapshot;
    ProgressBar bar(context);
    const int rc = RunWithProgress(context, session, bar, "the read for the backup", false,
                                   [&](const SequenceControl& control) {
                                       snapshot = ReadSnapshot(session.link(), image, model, control);
                                       if (!snapshot.sequence.completed() || snapshot.completeForFile())
                                           return snapshot.sequence;
                                       // A busy controller now and then misses a reply.
                                       return RereadUnanswered(session.link(), snapshot, model, control);
                                   });
    if (rc != kOk) {
        context.err << refused;
        return rc;
    }
    if (!snapshot.completeForFile()) {
        for (const auto& name : snapshot.missing()) context.err << "sequaflow-cli: no valid answer for " << name << '\n';
        context.err << "sequaflow-cli: no backup of the controller's configuration could be made: the read is "
                       "incomplete\n"
                    << refused;
        return kNoAnswer;
    }
    // The second try answered into the snapshot, not into the image.
    for (int n = 0; n < static_cast<int>(params::kParameterCount); ++n) image.setSlot(n, *snapshot.parameters[At(n)]);
    const auto kept = params::KeepBackup(params::BackupFolder(context.options.startDir), snapshot.serial,
                                         params::EncodeParameterFile(image, model), params::LocalTimeNow());
    if (!Report(context, kept)) {
        context.err << refused << "sequaflow-cli: free the backup folder, or give --no-backup to go on without one\n";
        return kFileError;
    }
    return kOk;
}

}  // namespace sequaflow::cli
