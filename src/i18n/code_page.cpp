#include "i18n/code_page.h"

#include <iconv.h>

#include <cerrno>

#include "i18n/utf8.h"

namespace sequaflow::i18n {

std::string_view codePageName(CodePage page) {
    switch (page) {
        case CodePage::Utf8: return "UTF-8";
        case CodePage::Windows1250: return "WINDOWS-1250";
        case CodePage::Windows1251: return "WINDOWS-1251";
        case CodePage::Windows1254: return "WINDOWS-1254";
        case CodePage::Windows1257: return "WINDOWS-1257";
    }
    return "UTF-8";
}

namespace {

DecodedText decodeUtf8(std::string_view bytes) {
    DecodedText out;
    out.utf8.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t n = utf8::sequenceLength(bytes, pos);
        if (n == 0) {
            out.utf8 += utf8::kReplacementCharacter;
            ++out.replaced;
            ++pos;
        } else {
            out.utf8.append(bytes.substr(pos, n));
            pos += n;
        }
    }
    return out;
}

// Owns one iconv descriptor.
class Converter {
public:
    explicit Converter(CodePage from) : cd_(iconv_open("UTF-8", std::string(codePageName(from)).c_str())) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    [[nodiscard]] bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    DecodedText run(std::string_view bytes) {
        DecodedText out;
        out.utf8.reserve(bytes.size() * 2);
        std::string chunk(256, '\0');
        // iconv takes non-const pointers; the input is only read.
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        while (inLeft > 0) {
            char* outPtr = chunk.data();
            std::size_t outLeft = chunk.size();
            const std::size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            out.utf8.append(chunk.data(), chunk.size() - outLeft);
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: a byte the code page leaves undefined. Mark it and go on.
            out.utf8 += utf8::kReplacementCharacter;
            ++out.replaced;
            ++in;
            --inLeft;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

DecodedText decodeToUtf8(std::string_view bytes, CodePage page) {
    if (page == CodePage::Utf8) return decodeUtf8(bytes);
    Converter converter(page);
    if (!converter.ok()) {
        // The C library lacks the converter: keep ASCII, mark everything else.
        DecodedText out;
        for (const char c : bytes) {
            if (static_cast<unsigned char>(c) < 0x80) {
                out.utf8 += c;
            } else {
                out.utf8 += utf8::kReplacementCharacter;
                ++out.replaced;
            }
        }
        return out;
    }
    return converter.run(bytes);
}

EncodedText encodeFromUtf8(std::string_view text, CodePage page) {
    EncodedText out;
    const auto fail = [&](std::string character) {
        out.bytes.clear();
        out.unencodable = std::move(character);
        return out;
    };
    if (page == CodePage::Utf8) {
        for (std::size_t pos = 0; pos < text.size();) {
            const std::size_t n = utf8::sequenceLength(text, pos);
            if (n == 0) return fail(std::string(utf8::kReplacementCharacter));
            pos += n;
        }
        out.bytes = std::string(text);
        return out;
    }
    const iconv_t cd = iconv_open(std::string(codePageName(page)).c_str(), "UTF-8");
    const bool haveConverter = cd != reinterpret_cast<iconv_t>(-1);
    // One character at a time, so the one that fails is known exactly.
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t n = utf8::sequenceLength(text, pos);
        if (n == 0) {
            if (haveConverter) iconv_close(cd);
            return fail(std::string(utf8::kReplacementCharacter));
        }
        const std::string_view character = text.substr(pos, n);
        pos += n;
        if (n == 1) {  // ASCII is the same in every code page here
            out.bytes += character[0];
            continue;
        }
        char encoded[8];
        char* in = const_cast<char*>(character.data());
        std::size_t inLeft = character.size();
        char* outPtr = encoded;
        std::size_t outLeft = sizeof encoded;
        if (!haveConverter || iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0) {
            if (haveConverter) iconv_close(cd);
            return fail(std::string(character));
        }
        out.bytes.append(encoded, sizeof encoded - outLeft);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    if (haveConverter) iconv_close(cd);
    return out;
}

}  // namespace sequaflow::i18n
