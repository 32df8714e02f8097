#pragma once

#include <string_view>

#include "cli/cli.h"
#include "cli/config_snapshot.h"
#include "maps/map_model.h"
#include "params/parameter_image.h"

// The automatic backup of what a command read from the controller, in <start dir>/parametry/backup/.
namespace sequaflow::cli {

// Keeps the backup of a complete read and says on standard error where it went; true when it is on disk
// (written now or already held by the newest backup). A read that is not complete keeps nothing.
bool KeepBackupOf(Context& context, const ConfigSnapshot& snapshot, const params::ParameterImage& image,
                  const maps::MapModel& model);

// Before `what` overwrites the controller's configuration: reads everything (with one more try for what did
// not answer) and keeps the backup. kOk once it is on disk; otherwise the reason is printed, nothing has been
// sent, and the exit code is returned.
int BackUpBeforeWriting(Context& context, Session& session, std::string_view what);

}  // namespace sequaflow::cli
