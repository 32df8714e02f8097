#pragma once

#include "cli/cli.h"

// One function per command; each lives in its own cmd_<name>.cpp and is listed in Commands().
namespace sequaflow::cli {

int RunIdentify(Context& context, Args args);
int RunDetect(Context& context, Args args);
int RunLive(Context& context, Args args);
int RunParam(Context& context, Args args);
int RunRead(Context& context, Args args);
int RunSave(Context& context, Args args);
int RunDecode(Context& context, Args args);
int RunDiff(Context& context, Args args);
int RunLoad(Context& context, Args args);
int RunFactoryReset(Context& context, Args args);
int RunAdapt(Context& context, Args args);
int RunErrors(Context& context, Args args);
int RunWorkTime(Context& context, Args args);
int RunReport(Context& context, Args args);
int RunVehicle(Context& context, Args args);
int RunEmission(Context& context, Args args);
int RunMap(Context& context, Args args);
int RunPoints(Context& context, Args args);
int RunPorts(Context& context, Args args);
// Whether `ports` prints JSON; nullopt (after the usage message) for arguments it does not take.
std::optional<bool> ParsePortsArgs(Context& context, Args args);

}  // namespace sequaflow::cli
