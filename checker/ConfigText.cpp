#include "checker/ConfigText.h"

#include "config/ConfigFileReading.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace
{
const char* const separators = "\t:=";
const char* const blanks = " \t\r\n";

std::string trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}
}

std::vector<ConfigLine> readConfigLines(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        throw std::runtime_error("cannot open " + path);
    std::string text((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    if (stream.bad())
        throw std::runtime_error("cannot read " + path);
    return splitConfigLines(text);
}

std::vector<ConfigLine> splitConfigLines(const std::string& fileText)
{
    const bool byteOrderMark = startsWithByteOrderMark(fileText);
    std::istringstream stream(byteOrderMark ? fileText.substr(3) : fileText);
    std::vector<ConfigLine> lines;
    std::string section;
    std::string raw;
    int number = 0;
    while (std::getline(stream, raw))
    {
        ConfigLine line;
        line.number = ++number;
        line.afterByteOrderMark = byteOrderMark && number == 1;
        line.text = trim(raw);
        const std::string& text = line.text;
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
            const size_t separator = text.find_first_of(separators);
            if (separator == std::string::npos)
                line.kind = ConfigLine::NoSeparator;
            else
            {
                line.kind = ConfigLine::Setting;
                line.key = trim(text.substr(0, separator));
                const size_t valueStart = text.find_first_not_of(separators, separator);
                line.value = valueStart == std::string::npos ? "" : trim(text.substr(valueStart));
            }
        }
        line.section = section;
        lines.push_back(line);
    }
    return lines;
}
