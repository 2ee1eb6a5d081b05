#include "viewer/StatusText.h"

#include "config/Utf8.h"

#include <vector>

namespace
{
// Characters (not bytes) of a line of UTF-8 text.
std::size_t characters(const std::string& text)
{
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count)
        nextCodePoint(text, at);
    return count;
}

// The byte offset after `count` characters from `at`.
std::size_t afterCharacters(const std::string& text, std::size_t at, std::size_t count)
{
    for (; count > 0 && at < text.size(); --count)
        nextCodePoint(text, at);
    return at;
}

void wrapParagraph(const std::string& paragraph, std::vector<std::string>& lines)
{
    std::size_t start = 0;
    do
    {
        const std::size_t fullLine = afterCharacters(paragraph, start, statusLineCharacters);
        if (fullLine >= paragraph.size())
        {
            lines.push_back(paragraph.substr(start));
            return;
        }
        // Back to the last blank that ends a word on this line, if there is one.
        std::size_t end = fullLine;
        while (end > start && paragraph[end] != ' ')
            --end;
        if (end == start)
        {
            lines.push_back(paragraph.substr(start, fullLine - start));
            start = fullLine;
        }
        else
        {
            lines.push_back(paragraph.substr(start, end - start));
            start = end + 1;
        }
    } while (start < paragraph.size());
}
}

std::string fitStatusText(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= text.size();)
    {
        const std::size_t newline = std::min(text.find('\n', start), text.size());
        wrapParagraph(text.substr(start, newline - start), lines);
        start = newline + 1;
    }
    std::string fitted;
    for (std::size_t i = 0; i < lines.size() && i < statusLineCount; ++i)
    {
        std::string line = lines[i];
        if (i + 1 == statusLineCount && lines.size() > statusLineCount)
        {
            const std::size_t room = statusLineCharacters - 1;
            if (characters(line) > room)
                line.resize(afterCharacters(line, 0, room));
            line += "\xE2\x80\xA6";
        }
        fitted += (i ? "\n" : "") + line;
    }
    return fitted;
}
