#ifndef ORVTEST_CONFIG_CONFIGLINES_H
#define ORVTEST_CONFIG_CONFIGLINES_H

#include <string>
#include <vector>

// A configuration file line by line, split the way the engine's reader splits
// it ("\t:=" separators, whitespace trimmed, "#" and "@" comments), so that
// every setting the readers saw can be traced to its line.
struct ConfigLine
{
    enum Kind
    {
        Blank,
        Comment,
        SectionHeader,
        Setting,
        NoSeparator,   // text the reader drops: no tab, colon or equals sign
    };
    int number = 0;          // 1-based
    Kind kind = Blank;
    std::string section;     // the section the line belongs to ("" above the first header)
    std::string key;         // Setting: trimmed key
    std::string value;       // Setting: trimmed value
    std::string text;        // NoSeparator: the trimmed line
    bool afterByteOrderMark = false;   // the first line, once a UTF-8 byte-order mark before it was skipped
};

// The lines of a file's text, as read by readConfigText.
std::vector<ConfigLine> splitConfigLines(const std::string& text);

#endif
