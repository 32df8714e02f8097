#include <ostream>

#include "cli/cli_commands.h"
#include "link/commands.h"

namespace sequaflow::cli {

int RunParam(Context& context, Args args) {
    const bool get = args.size() == 2 && args[0] == "get";
    const bool set = args.size() == 3 && args[0] == "set";
    if (!get && !set) return UsageError(context, "param: use 'param get N' or 'param set N VALUE'");
    const auto index = ParseInteger(args[1], 0, 63);
    if (!index) return UsageError(context, "param: the parameter number must be 0..63, got '" + args[1] + "'");
    std::optional<long> value;
    if (set) {
        value = ParseInteger(args[2], -32768, 65535);
        if (!value)
            return UsageError(context, "param: VALUE must be a 16-bit number (-32768..65535), got '" + args[2] + "'");
    }
    int rc = kOk;
    auto session = Session::Open(context, rc);
    if (!session) return rc;
    auto& link = session->link();
    const auto n = static_cast<std::uint8_t>(*index);
    if (get) {
        link.discardStaleInput();
        const auto word = link::ReadParamWord(link, n);
        if (!word) {
            if (session->reportLost(context)) return kPortError;
            context.err << "sequaflow-cli: no valid answer to the read of parameter " << *index << '\n';
            return kNoAnswer;
        }
        context.out << *word << '\n';
        return kOk;
    }
    // Negative values go out as their two's-complement pattern.
    link::WriteParamSequence(link, n, static_cast<std::uint16_t>(*value & 0xFFFF));
    if (session->reportLost(context)) return kPortError;
    return kOk;
}

}  // namespace sequaflow::cli
