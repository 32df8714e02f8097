#include "i18n/parameter_hints.h"

#include "i18n/message_store.h"

namespace sequaflow::i18n {

std::string WrapHintText(std::string_view text, int width) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    int column = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        // One character: a lead byte and its continuation bytes.
        std::size_t next = pos + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
        ++column;
        if (column > width && text[pos] == ' ') {
            out += '\n';
            column = 0;
        } else {
            out.append(text.substr(pos, next - pos));
        }
        pos = next;
    }
    return out;
}

std::string BuildParameterHint(const ParameterHint& hint, const MessageStore& store) {
    std::string text;
    if (!hint.low.empty()) {
        text += '[';
        text += hint.low;
        text += " -:- ";
        text += hint.high;
        text += "]\n";
    }
    text += store.text(hint.textId);
    return WrapHintText(text, kHintWidth);
}

}  // namespace sequaflow::i18n
