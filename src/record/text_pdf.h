#pragma once

#include <span>
#include <string>

// A PDF of plain text lines on A4 pages in the standard Helvetica font, for the command line (no toolkit).
// Characters beyond ASCII reach the font through an encoding built for the document, so the Central
// European, Baltic, Turkish and Western letters show; anything Helvetica has no glyph for becomes '?'.
namespace sequaflow::record {

inline constexpr double kA4WidthPt = 595.28;
inline constexpr double kA4HeightPt = 841.89;

struct PdfTextLine {
    int page = 0;      // from 0
    double x = 0;      // points from the left edge
    double top = 0;    // points from the top edge to the top of the text
    std::string text;  // UTF-8; a tab is shown as one space
};

struct PdfDocument {
    std::string bytes;
    int pageCount = 0;
    int replaced = 0;  // characters shown as '?' (no glyph, invalid UTF-8, control characters)
};

// At least `minPages` pages, and as many as the highest page of a line needs.
[[nodiscard]] PdfDocument WriteTextPdf(std::span<const PdfTextLine> lines, double fontSizePt, int minPages = 1);

}  // namespace sequaflow::record
