#ifndef ORVTEST_VIEWER_STATUSTEXT_H
#define ORVTEST_VIEWER_STATUSTEXT_H

#include <cstddef>
#include <string>

// The status line's strip: centred at the top of the window, this wide and
// this deep (pixels at 96 dpi), with room for this many characters a line.
constexpr float statusStripWidth = 600.0f;
constexpr float statusStripBottom = 46.0f;
constexpr std::size_t statusLineCharacters = 56;
constexpr std::size_t statusLineCount = 4;

// `text` as the status strip shows it: broken into lines of at most
// statusLineCharacters characters, at blanks where it can be and inside a
// word longer than a line, and no more than statusLineCount lines, the last
// cut short with "…". Newlines in `text` start new lines.
std::string fitStatusText(const std::string& text);

#endif
