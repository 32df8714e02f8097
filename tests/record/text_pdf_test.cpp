#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "record/text_pdf.h"

namespace sequaflow::record {
namespace {

std::string Between(const std::string& s, const std::string& from, const std::string& to) {
    const auto a = s.find(from);
    if (a == std::string::npos) return {};
    const auto b = s.find(to, a + from.size());
    return b == std::string::npos ? std::string{} : s.substr(a + from.size(), b - a - from.size());
}

TEST(TextPdf, XrefOffsetsPointAtTheirObjects) {
    const std::vector<PdfTextLine> lines{{0, 24, 24, "first"}, {2, 24, 37.2, "third page"}};
    const PdfDocument doc = WriteTextPdf(lines, 10);
    const std::string& pdf = doc.bytes;
    ASSERT_TRUE(pdf.starts_with("%PDF-1.4\n"));
    ASSERT_TRUE(pdf.ends_with("%%EOF\n"));
    EXPECT_EQ(doc.pageCount, 3);
    EXPECT_NE(pdf.find("/Count 3"), std::string::npos);

    const std::size_t xref = std::stoul(Between(pdf, "startxref\n", "\n"));
    ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
    // 1 catalogue, 2 pages, 3 font, and a page and its content for each of the 3 pages.
    ASSERT_EQ(pdf.compare(xref, 12, "xref\n0 10\n00"), 0);
    EXPECT_NE(pdf.find("/Size 10"), std::string::npos);
    std::size_t at = pdf.find('\n', pdf.find('\n', xref) + 1) + 1;  // first entry
    ASSERT_EQ(pdf.substr(at, 20), "0000000000 65535 f \n");
    for (int n = 1; n <= 9; ++n) {
        at += 20;
        const std::string entry = pdf.substr(at, 20);
        ASSERT_EQ(entry.substr(10), " 00000 n \n") << n;
        const std::size_t offset = std::stoul(entry.substr(0, 10));
        const std::string head = std::to_string(n) + " 0 obj\n";
        EXPECT_EQ(pdf.compare(offset, head.size(), head), 0) << "object " << n;
    }
}

TEST(TextPdf, StreamLengthsAndPositionsAreExact) {
    const std::vector<PdfTextLine> lines{{0, 24, 24, "abc"}};
    const std::string pdf = WriteTextPdf(lines, 10).bytes;
    // Baseline 841.89 - 24 - 0.8 x 10 from the bottom.
    const std::string expected = "BT /F1 10.00 Tf 24.00 809.89 Td (abc) Tj ET\n";
    EXPECT_NE(pdf.find("<< /Length " + std::to_string(expected.size()) + " >>\nstream\n" + expected + "endstream"),
              std::string::npos);
}

TEST(TextPdf, LettersBeyondAsciiGoThroughTheDocumentsEncoding) {
    // ż ł ć ę ś ą ź ń take the free codes 128.. in the order they first appear; ó is Latin-1 (0xF3 = \363).
    const std::vector<PdfTextLine> lines{{0, 0, 0, "Zażółć gęślą jaźń"}, {0, 0, 20, "Ğğ Şş Čč Ėė ß °"}};
    const PdfDocument doc = WriteTextPdf(lines, 10);
    EXPECT_EQ(doc.replaced, 0);
    EXPECT_NE(doc.bytes.find("(Za\\200\\363\\201\\202 g\\203\\204l\\205 ja\\206\\207) Tj"), std::string::npos);
    EXPECT_NE(doc.bytes.find("(\\210\\211 \\212\\213 \\214\\215 \\216\\217 \\337 \\260) Tj"), std::string::npos);
    const std::string differences = Between(doc.bytes, "/Differences [", "]");
    EXPECT_EQ(differences,
              " 128 /zdotaccent 129 /lslash 130 /cacute 131 /eogonek 132 /sacute 133 /aogonek 134 /zacute"
              " 135 /nacute 136 /Gbreve 137 /gbreve 138 /Scedilla 139 /scedilla 140 /Ccaron 141 /ccaron"
              " 142 /Edotaccent 143 /edotaccent ");
    EXPECT_NE(doc.bytes.find("/BaseFont /Helvetica"), std::string::npos);
    EXPECT_NE(doc.bytes.find("/BaseEncoding /WinAnsiEncoding"), std::string::npos);
}

TEST(TextPdf, WhatTheFontCannotShowBecomesAQuestionMarkAndIsCounted) {
    const std::vector<PdfTextLine> lines{{0, 0, 0, "Да (x)\\"}, {0, 0, 20, "a\xFF" "b\xC5"}};
    const PdfDocument doc = WriteTextPdf(lines, 10);
    EXPECT_EQ(doc.replaced, 4);
    EXPECT_NE(doc.bytes.find("(?? \\(x\\)\\\\) Tj"), std::string::npos);
    EXPECT_NE(doc.bytes.find("(a?b?) Tj"), std::string::npos);
}

TEST(TextPdf, ManyForeignLettersUseFreeLatin1CodesWhenThe128To159RangeIsFull) {
    // 36 letters with glyphs: the first 32 take 128..159, the next ones 161, 162, ... (unused by this text);
    // Ĉ and ĉ have no glyph in Helvetica.
    const std::vector<PdfTextLine> lines{{0, 0, 0, "ĀāĂăĄąĆćČčĎďĐđĒēĖėĘęĚěĞğĢģĪīĮįİıĶķĹĺĈĉ"}};
    const PdfDocument doc = WriteTextPdf(lines, 10);
    EXPECT_EQ(doc.replaced, 2);
    EXPECT_NE(doc.bytes.find("\\237\\241\\242\\243\\244?" "?) Tj"), std::string::npos);
    EXPECT_NE(doc.bytes.find("159 /dotlessi 161 /Kcommaaccent"), std::string::npos);
}

}  // namespace
}  // namespace sequaflow::record
