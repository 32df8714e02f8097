#include "i18n/sequence_status.h"

#include <vector>

#include "i18n/message_ids.h"

namespace sequaflow::i18n {
namespace {

int NameOf(SequenceKind kind) {
    switch (kind) {
        case SequenceKind::Read: return msg::SequenceRead;
        case SequenceKind::FileLoad: return msg::SequenceFileLoad;
        case SequenceKind::FactoryReset: return msg::SequenceFactoryReset;
        case SequenceKind::MapUpload: return msg::SequenceMapUpload;
        case SequenceKind::MapEdit: return msg::SequenceMapEdit;
    }
    return msg::SequenceRead;
}

bool Writes(SequenceKind kind) { return kind != SequenceKind::Read; }

}  // namespace

std::string FillPlaceholders(std::string_view text, std::initializer_list<std::string_view> args) {
    const std::vector<std::string_view> values(args);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(text[i + 1] - '1');
            if (n < values.size()) {
                out += values[n];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string SequenceStatusLine(const MessageStore& messages, SequenceKind kind, const SequenceResult& result) {
    const std::string_view name = messages.text(NameOf(kind));
    if (result.completed()) return FillPlaceholders(messages.text(msg::SequenceDone), {name});
    const std::string steps = std::to_string(result.steps);
    std::string line;
    switch (*result.stopped) {
        case StopReason::NotConnected:
            return FillPlaceholders(messages.text(msg::SequenceNotConnected), {name});
        case StopReason::LineLost:
            line = FillPlaceholders(messages.text(msg::SequenceLineLost), {name, steps, result.phase});
            break;
        case StopReason::Cancelled:
            line = FillPlaceholders(messages.text(msg::SequenceCancelled), {name, steps, result.phase});
            break;
    }
    if (Writes(kind) && result.sentSomething) line += messages.text(msg::SequenceHalfWritten);
    return line;
}

}  // namespace sequaflow::i18n
