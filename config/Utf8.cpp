#include "config/Utf8.h"

namespace
{
bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}
}

std::string cutUtf8(const std::string& text, std::size_t bytes)
{
    if (text.size() <= bytes)
        return text;
    std::size_t end = bytes;
    while (end > 0 && isContinuation(static_cast<unsigned char>(text[end])))
        --end;
    return text.substr(0, end);
}

void appendUtf8(std::string& text, std::uint32_t c)
{
    if (c < 0x80)
        text += char(c);
    else if (c < 0x800)
    {
        text += char(0xC0 | (c >> 6));
        text += char(0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        text += char(0xE0 | (c >> 12));
        text += char(0x80 | ((c >> 6) & 0x3F));
        text += char(0x80 | (c & 0x3F));
    }
    else if (c < 0x110000)
    {
        text += char(0xF0 | (c >> 18));
        text += char(0x80 | ((c >> 12) & 0x3F));
        text += char(0x80 | ((c >> 6) & 0x3F));
        text += char(0x80 | (c & 0x3F));
    }
}

void eraseLastUtf8(std::string& text)
{
    if (text.empty())
        return;
    std::size_t start = text.size() - 1;
    while (start > 0 && text.size() - start < 4 && isContinuation(static_cast<unsigned char>(text[start])))
        --start;
    // The character that starts there must end where the text ends; a stray
    // byte goes alone.
    std::size_t end = start;
    nextCodePoint(text, end);
    text.resize(end == text.size() ? start : text.size() - 1);
}

std::uint32_t nextCodePoint(const std::string& text, std::size_t& at)
{
    const unsigned char first = static_cast<unsigned char>(text[at]);
    const std::size_t length = first < 0x80 ? 1 : first >= 0xF0 && first < 0xF5 ? 4 : first >= 0xE0 ? 3
                                : first >= 0xC2 ? 2 : 0;
    if (length <= 1 || at + length > text.size())
    {
        ++at;
        return first;
    }
    std::uint32_t c = first & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
    {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if (!isContinuation(next))
        {
            ++at;
            return first;
        }
        c = (c << 6) | (next & 0x3F);
    }
    at += length;
    return c;
}

std::uint32_t lowerCase(std::uint32_t c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 32;
    // Latin Extended-A: pairs, upper first, on even code points here ...
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c % 2 == 0 ? c + 1 : c;
    // ... and on odd ones here.
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return c % 2 == 1 ? c + 1 : c;
    if (c == 0x178)
        return 0xFF;
    // Greek, with its accented capitals.
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2)
        return c + 32;
    if (c == 0x386)
        return 0x3AC;
    if (c >= 0x388 && c <= 0x38A)
        return c + 37;
    if (c == 0x38C)
        return 0x3CC;
    if (c == 0x38E || c == 0x38F)
        return c + 63;
    // Cyrillic.
    if (c >= 0x410 && c <= 0x42F)
        return c + 32;
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    return c;
}

std::size_t commonPrefixIgnoringCase(const std::string& a, const std::string& b)
{
    std::size_t atA = 0;
    std::size_t atB = 0;
    while (atA < a.size() && atB < b.size())
    {
        std::size_t nextA = atA;
        std::size_t nextB = atB;
        if (lowerCase(nextCodePoint(a, nextA)) != lowerCase(nextCodePoint(b, nextB)))
            break;
        atA = nextA;
        atB = nextB;
    }
    return atA;
}

bool beginsWithIgnoringCase(const std::string& text, const std::string& prefix)
{
    std::size_t atText = 0;
    std::size_t atPrefix = 0;
    while (atPrefix < prefix.size())
    {
        if (atText >= text.size() || lowerCase(nextCodePoint(text, atText)) != lowerCase(nextCodePoint(prefix, atPrefix)))
            return false;
    }
    return true;
}

bool equalIgnoringCase(const std::string& a, const std::string& b)
{
    return beginsWithIgnoringCase(a, b) && beginsWithIgnoringCase(b, a);
}
