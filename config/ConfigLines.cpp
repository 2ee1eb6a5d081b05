#include "config/ConfigLines.h"

#include "config/ConfigFileReading.h"

#include <algorithm>
#include <string_view>

namespace
{
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isSeparator(char c)
{
    return c == '\t' || c == ':' || c == '=';
}

std::string_view trim(std::string_view text)
{
    size_t first = 0;
    size_t end = text.size();
    while (first < end && isBlank(text[first]))
        ++first;
    while (end > first && isBlank(text[end - 1]))
        --end;
    return text.substr(first, end - first);
}
}

std::vector<ConfigLine> splitConfigLines(const std::string& fileText)
{
    const bool byteOrderMark = startsWithByteOrderMark(fileText);
    const std::string_view all(fileText);
    const size_t begin = byteOrderMark ? 3 : 0;
    std::vector<ConfigLine> lines;
    lines.reserve(size_t(std::count(all.begin() + begin, all.end(), '\n')) + 1);
    std::string section;
    int number = 0;
    // Lines as std::getline gives them: a last line without its newline
    // counts, the nothing after a final newline does not.
    for (size_t at = begin; at < all.size();)
    {
        const size_t end = std::min(all.find('\n', at), all.size());
        const std::string_view text = trim(all.substr(at, end - at));
        at = end + 1;
        ConfigLine& line = lines.emplace_back();
        line.number = ++number;
        line.afterByteOrderMark = byteOrderMark && number == 1;
        if (text.empty())
            line.kind = ConfigLine::Blank;
        else if (text[0] == '#' || text[0] == '@')
            line.kind = ConfigLine::Comment;
        else if (text.front() == '[' && text.back() == ']')
        {
            line.kind = ConfigLine::SectionHeader;
            section = text.substr(1, text.size() - 2);
        }
        else
        {
            size_t separator = 0;
            while (separator < text.size() && !isSeparator(text[separator]))
                ++separator;
            if (separator == text.size())
            {
                line.kind = ConfigLine::NoSeparator;
                line.text = text;
            }
            else
            {
                line.kind = ConfigLine::Setting;
                line.key = trim(text.substr(0, separator));
                size_t valueStart = separator;
                while (valueStart < text.size() && isSeparator(text[valueStart]))
                    ++valueStart;
                line.value = trim(text.substr(valueStart));
            }
        }
        line.section = section;
    }
    return lines;
}
