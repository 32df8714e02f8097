#include "record/text_pdf.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string_view>
#include <vector>

namespace sequaflow::record {
namespace {

struct Glyph {
    char32_t code;
    std::string_view name;
};

// Characters outside Latin-1 that the standard Helvetica carries, by their glyph names; sorted by code.
constexpr Glyph kGlyphs[] = {
    {0x0100, "Amacron"},      {0x0101, "amacron"},      {0x0102, "Abreve"},       {0x0103, "abreve"},
    {0x0104, "Aogonek"},      {0x0105, "aogonek"},      {0x0106, "Cacute"},       {0x0107, "cacute"},
    {0x010C, "Ccaron"},       {0x010D, "ccaron"},       {0x010E, "Dcaron"},       {0x010F, "dcaron"},
    {0x0110, "Dcroat"},       {0x0111, "dcroat"},       {0x0112, "Emacron"},      {0x0113, "emacron"},
    {0x0116, "Edotaccent"},   {0x0117, "edotaccent"},   {0x0118, "Eogonek"},      {0x0119, "eogonek"},
    {0x011A, "Ecaron"},       {0x011B, "ecaron"},       {0x011E, "Gbreve"},       {0x011F, "gbreve"},
    {0x0122, "Gcommaaccent"}, {0x0123, "gcommaaccent"}, {0x012A, "Imacron"},      {0x012B, "imacron"},
    {0x012E, "Iogonek"},      {0x012F, "iogonek"},      {0x0130, "Idotaccent"},   {0x0131, "dotlessi"},
    {0x0136, "Kcommaaccent"}, {0x0137, "kcommaaccent"}, {0x0139, "Lacute"},       {0x013A, "lacute"},
    {0x013B, "Lcommaaccent"}, {0x013C, "lcommaaccent"}, {0x013D, "Lcaron"},       {0x013E, "lcaron"},
    {0x0141, "Lslash"},       {0x0142, "lslash"},       {0x0143, "Nacute"},       {0x0144, "nacute"},
    {0x0145, "Ncommaaccent"}, {0x0146, "ncommaaccent"}, {0x0147, "Ncaron"},       {0x0148, "ncaron"},
    {0x014C, "Omacron"},      {0x014D, "omacron"},      {0x0150, "Ohungarumlaut"}, {0x0151, "ohungarumlaut"},
    {0x0152, "OE"},           {0x0153, "oe"},           {0x0154, "Racute"},       {0x0155, "racute"},
    {0x0156, "Rcommaaccent"}, {0x0157, "rcommaaccent"}, {0x0158, "Rcaron"},       {0x0159, "rcaron"},
    {0x015A, "Sacute"},       {0x015B, "sacute"},       {0x015E, "Scedilla"},     {0x015F, "scedilla"},
    {0x0160, "Scaron"},       {0x0161, "scaron"},       {0x0162, "Tcommaaccent"}, {0x0163, "tcommaaccent"},
    {0x0164, "Tcaron"},       {0x0165, "tcaron"},       {0x016A, "Umacron"},      {0x016B, "umacron"},
    {0x016E, "Uring"},        {0x016F, "uring"},        {0x0170, "Uhungarumlaut"}, {0x0171, "uhungarumlaut"},
    {0x0172, "Uogonek"},      {0x0173, "uogonek"},      {0x0178, "Ydieresis"},    {0x0179, "Zacute"},
    {0x017A, "zacute"},       {0x017B, "Zdotaccent"},   {0x017C, "zdotaccent"},   {0x017D, "Zcaron"},
    {0x017E, "zcaron"},       {0x0192, "florin"},       {0x0218, "Scommaaccent"}, {0x0219, "scommaaccent"},
    {0x021A, "Tcommaaccent"}, {0x021B, "tcommaaccent"}, {0x02C6, "circumflex"},   {0x02C7, "caron"},
    {0x02D8, "breve"},        {0x02D9, "dotaccent"},    {0x02DA, "ring"},         {0x02DB, "ogonek"},
    {0x02DC, "tilde"},        {0x02DD, "hungarumlaut"}, {0x2013, "endash"},       {0x2014, "emdash"},
    {0x2018, "quoteleft"},    {0x2019, "quoteright"},   {0x201A, "quotesinglbase"}, {0x201C, "quotedblleft"},
    {0x201D, "quotedblright"}, {0x201E, "quotedblbase"}, {0x2020, "dagger"},      {0x2021, "daggerdbl"},
    {0x2022, "bullet"},       {0x2026, "ellipsis"},     {0x2030, "perthousand"},  {0x2039, "guilsinglleft"},
    {0x203A, "guilsinglright"}, {0x20AC, "Euro"},       {0x2122, "trademark"},    {0x2212, "minus"},
};

std::string_view GlyphName(char32_t c) {
    const auto* it = std::lower_bound(std::begin(kGlyphs), std::end(kGlyphs), c,
                                      [](const Glyph& g, char32_t v) { return g.code < v; });
    return it != std::end(kGlyphs) && it->code == c ? it->name : std::string_view{};
}

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Code points of a UTF-8 text; a malformed sequence gives kInvalid for its first byte.
std::vector<char32_t> DecodeUtf8(std::string_view s) {
    std::vector<char32_t> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        int extra = 0;
        char32_t c = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1;
            c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2;
            c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3;
            c = b & 0x07;
        } else {
            out.push_back(kInvalid);
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + static_cast<std::size_t>(k) >= s.size()) {
                ok = false;
                break;
            }
            const auto n = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((n & 0xC0) != 0x80) ok = false;
            else c = (c << 6) | (n & 0x3F);
        }
        static constexpr char32_t kMinOf[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || c < kMinOf[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back(kInvalid);
            ++i;
            continue;
        }
        out.push_back(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

// The document's font encoding: WinAnsi for ASCII and Latin-1, and the other characters the document uses
// given the free codes (first 128..159, then Latin-1 codes the document does not use).
class Encoding {
public:
    explicit Encoding(const std::vector<std::vector<char32_t>>& texts) {
        std::array<bool, 256> used{};
        for (const auto& t : texts)
            for (const char32_t c : t)
                if (c >= 0xA0 && c <= 0xFF) used[c] = true;
        std::vector<int> free;
        for (int code = 0x80; code <= 0x9F; ++code) free.push_back(code);
        for (int code = 0xA1; code <= 0xFF; ++code)
            if (!used[static_cast<std::size_t>(code)]) free.push_back(code);
        std::size_t next = 0;
        for (const auto& t : texts)
            for (const char32_t c : t) {
                if (c < 0x100 || c == kInvalid || assigned_.count(c) != 0) continue;
                const std::string_view name = GlyphName(c);
                if (name.empty() || next >= free.size()) continue;
                assigned_[c] = free[next];
                differences_.push_back({free[next], name});
                ++next;
            }
    }

    // The byte for `c`, or nullopt when the font cannot show it.
    [[nodiscard]] int codeOf(char32_t c) const {
        if (c == '\t') return ' ';
        if (c >= 0x20 && c <= 0x7E) return static_cast<int>(c);
        if (c >= 0xA0 && c <= 0xFF) return static_cast<int>(c);
        const auto it = assigned_.find(c);
        return it == assigned_.end() ? -1 : it->second;
    }

    [[nodiscard]] std::string differences() const {
        std::string out;
        for (const auto& [code, name] : differences_) {
            out += ' ' + std::to_string(code) + " /";
            out += name;
        }
        return out;
    }

private:
    std::map<char32_t, int> assigned_;
    std::vector<std::pair<int, std::string_view>> differences_;
};

std::string Number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    return buffer;
}

}  // namespace

PdfDocument WriteTextPdf(std::span<const PdfTextLine> lines, double fontSizePt, int minPages) {
    PdfDocument doc;
    int pages = std::max(1, minPages);
    for (const auto& l : lines) pages = std::max(pages, l.page + 1);
    doc.pageCount = pages;

    std::vector<std::vector<char32_t>> decoded;
    decoded.reserve(lines.size());
    for (const auto& l : lines) decoded.push_back(DecodeUtf8(l.text));
    const Encoding encoding(decoded);

    // One content stream per page.
    std::vector<std::string> contents(static_cast<std::size_t>(pages));
    const double ascent = fontSizePt * 0.8;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& l = lines[i];
        if (l.page < 0) continue;
        std::string shown;
        for (const char32_t c : decoded[i]) {
            int code = encoding.codeOf(c);
            if (code < 0) {
                ++doc.replaced;
                code = '?';
            }
            if (code == '(' || code == ')' || code == '\\') {
                shown += '\\';
                shown += static_cast<char>(code);
            } else if (code >= 0x80) {
                char octal[16];
                std::snprintf(octal, sizeof octal, "\\%03o", code);
                shown += octal;
            } else {
                shown += static_cast<char>(code);
            }
        }
        std::string& stream = contents[static_cast<std::size_t>(l.page)];
        stream += "BT /F1 " + Number(fontSizePt) + " Tf " + Number(l.x) + ' ' + Number(kA4HeightPt - l.top - ascent) +
                  " Td (" + shown + ") Tj ET\n";
    }

    std::string& out = doc.bytes;
    std::vector<std::size_t> offsets;  // of objects 1..n
    const auto object = [&](const std::string& body) {
        offsets.push_back(out.size());
        out += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    // 1 catalogue, 2 page tree, 3 font, then each page and its content.
    const auto pageObject = [](int p) { return 4 + 2 * p; };
    object("<< /Type /Catalog /Pages 2 0 R >>");
    std::string kids;
    for (int p = 0; p < pages; ++p) kids += (p ? " " : "") + std::to_string(pageObject(p)) + " 0 R";
    object("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
    object("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding << /Type /Encoding /BaseEncoding "
           "/WinAnsiEncoding /Differences [" +
           encoding.differences() + " ] >> >>");
    for (int p = 0; p < pages; ++p) {
        object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Number(kA4WidthPt) + ' ' + Number(kA4HeightPt) +
               "] /Resources << /Font << /F1 3 0 R >> >> /Contents " + std::to_string(pageObject(p) + 1) + " 0 R >>");
        const std::string& stream = contents[static_cast<std::size_t>(p)];
        object("<< /Length " + std::to_string(stream.size()) + " >>\nstream\n" + stream + "endstream");
    }
    const std::size_t xref = out.size();
    out += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t off : offsets) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", off);
        out += entry;
    }
    out += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return doc;
}

}  // namespace sequaflow::record
