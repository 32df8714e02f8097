#include <ostream>
#include <string>

#include "cli/cli_commands.h"
#include "cli/diag_command.h"
#include "cli/setting_output.h"
#include "diag/error_list.h"
#include "i18n/message_store.h"
#include "link/commands.h"
#include "live/live_frame.h"

namespace sequaflow::cli {
namespace {

constexpr int kLiveTries = 3;
constexpr int kTickMs = 25;
// Time for the controller to forget its stored faults before the frame that shows it.
constexpr int kClearSettleMs = 100;

std::optional<live::LiveWords> OneLiveFrame(link::Link& link) {
    live::LiveWords words{};
    for (int i = 0; i < kLiveTries; ++i) {
        if (i > 0) link.pause(kTickMs);
        link::ReadLiveFrame(link);
        link.receiveWait(link::kLiveFrameSize);
        if (live::DecodeLiveFrame(link.replyBuffer(), link.replyComplete(), words)) return words;
        if (!link.portOpen()) break;
    }
    return std::nullopt;
}

void PrintNumbers(std::ostream& out, const std::vector<int>& numbers) {
    out << '[';
    for (std::size_t i = 0; i < numbers.size(); ++i) out << (i ? "," : "") << numbers[i];
    out << ']';
}

void PrintEntries(std::ostream& out, const std::vector<diag::FaultEntry>& entries, const i18n::MessageStore& texts) {
    out << '[';
    for (std::size_t i = 0; i < entries.size(); ++i) {
        out << (i ? "," : "") << "{\"number\":" << entries[i].number << ",\"text\":";
        PrintJsonString(out, texts.text(entries[i].textId));
        out << ",\"injectors\":";
        PrintNumbers(out, entries[i].injectors);
        out << '}';
    }
    out << ']';
}

int NoFrame(Context& context, link::Link& link) {
    if (!link.portOpen()) {
        context.err << "sequaflow-cli: " << LostPortText(link.portName(), link.lostReason()) << '\n';
        return kPortError;
    }
    context.err << "sequaflow-cli: no valid live frame from the controller on " << link.portName() << '\n';
    return kNoAnswer;
}

}  // namespace

std::optional<ErrorsOptions> ParseErrorsArgs(Context& context, Args args) {
    ErrorsOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json") o.json = true;
        else if (args[i] == "clear" && !o.clear) o.clear = true;
        else {
            (void)UsageError(context, "errors: unknown argument '" + args[i] + "' (errors [--json] | errors clear)");
            return std::nullopt;
        }
    }
    if (o.clear && o.json) {
        (void)UsageError(context, "errors: clear and --json cannot be used together (clear prints no list)");
        return std::nullopt;
    }
    return o;
}

int RunErrorsOn(Context& context, link::Link& link, const ErrorsOptions& options) {
    link.discardStaleInput();
    if (options.clear) {
        // The controller answers nothing to the request: a live frame afterwards tells whether it took it.
        link::ClearErrors(link);
        link.pause(kClearSettleMs);
        const auto words = OneLiveFrame(link);
        if (!words) {
            context.err << "sequaflow-cli: the clear request went out, but no live frame confirms it\n";
            return NoFrame(context, link);
        }
        // A fault that is present now is stored again at once; anything else still stored was not cleared.
        const auto current = (*words)[live::word::ErrorsCurrent];
        const auto stored = (*words)[live::word::ErrorsStored];
        if ((stored & ~current) != 0) {
            context.err << "sequaflow-cli: the controller still reports stored faults after the clear request\n";
            return kNoAnswer;
        }
        context.out << "Stored faults cleared.";
        if (current != 0) context.out << " Faults present now are stored again: see 'sequaflow-cli errors'.";
        context.out << '\n';
        return kOk;
    }

    const auto words = OneLiveFrame(link);
    if (!words) return NoFrame(context, link);
    const i18n::MessageStore texts;
    const auto list = diag::BuildErrorList(*words);
    if (options.json) {
        context.out << "{\"current\":";
        PrintEntries(context.out, list.current, texts);
        context.out << ",\"stored\":";
        PrintEntries(context.out, list.stored, texts);
        context.out << ",\"gas_injectors\":";
        PrintNumbers(context.out, list.gasInjectors);
        context.out << ",\"petrol_injectors\":";
        PrintNumbers(context.out, list.petrolInjectors);
        context.out << "}\n";
        return kOk;
    }
    const auto lines = diag::MemoLines(diag::BuildErrorMemo(list), [&](int id) { return std::string(texts.text(id)); });
    for (const auto& line : lines) context.out << line << '\n';
    return kOk;
}

int RunErrors(Context& context, Args args) {
    return RunOnSession(context, args, ParseErrorsArgs, [&](Session& session, const auto& options) {
        return RunErrorsOn(context, session.link(), options);
    });
}

}  // namespace sequaflow::cli
