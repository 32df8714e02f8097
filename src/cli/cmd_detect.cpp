#include <ostream>

#include "cli/cli_commands.h"
#include "link/connection.h"

namespace sequaflow::cli {

int RunDetect(Context& context, Args args) {
    std::optional<double> timeout;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--timeout" && i + 1 < args.size()) {
            const auto v = ParseInteger(args[++i], 1, 24 * 3600);
            if (!v) return UsageError(context, "detect: --timeout needs a whole number of seconds (1..86400)");
            timeout = static_cast<double>(*v);
        } else {
            return UsageError(context, "detect: unknown option '" + args[i] + "'");
        }
    }
    if (context.options.device || context.options.comIndex)
        return UsageError(context, "detect searches every port entry; use --map to point entries elsewhere");

    link::PosixSerialPort port;
    link::RealPacer pacer;
    link::Link link(port, pacer);
    std::unique_ptr<std::ostream> traceFile;
    std::unique_ptr<link::FrameLog> trace;
    if (!AttachTrace(context, link, traceFile, trace)) return kFileError;

    link::ConnectionManager manager(link, context.options.ports);
    manager.StartAutoDetect();
    const auto start = pacer.now();
    FixedRate rate(pacer, std::chrono::milliseconds(link::kAutoConnectIntervalMs));
    for (;;) {
        if (context.stopRequested()) {
            context.err << "sequaflow-cli: detection stopped\n";
            return kNoAnswer;
        }
        const auto result = manager.AutoConnectTick();
        if (result.status && context.errIsTerminal) context.err << '\r' << *result.status << "   " << std::flush;
        if (result.connected) {
            if (context.errIsTerminal) context.err << '\n';
            const int index = manager.portIndex();
            context.out << link::PortTable::Caption(index) << ' ' << context.options.ports.path(index) << '\n'
                        << "H." << int{manager.hardware()} << " S." << int{manager.software()} << '\n';
            link.closePort();
            return kOk;
        }
        if (timeout && std::chrono::duration<double>(pacer.now() - start).count() >= *timeout) {
            if (context.errIsTerminal) context.err << '\n';
            context.err << "sequaflow-cli: no controller found within " << *timeout << " s\n";
            return kNoAnswer;
        }
        rate.wait();
    }
}

}  // namespace sequaflow::cli
