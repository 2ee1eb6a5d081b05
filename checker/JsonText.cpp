#include "checker/JsonText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\')
            out += std::string("\\") + char(c);
        else if (c < 0x20)
        {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        }
        else if (c < 0x80)
            out += char(c);
        else
        {
            // Pass well-formed UTF-8 through; anything else becomes U+FFFD.
            const size_t length = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
            bool valid = length > 0 && i + length <= text.size();
            for (size_t k = 1; valid && k < length; ++k)
                valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
            if (valid)
            {
                out += text.substr(i, length);
                i += length - 1;
            }
            else
                out += "\\ufffd";
        }
    }
    return out + "\"";
}

std::string jsonNumber(double value)
{
    if (!std::isfinite(value))
        return "null";
    // As printf's %.9g writes it, at a fraction of the cost: a catalogue
    // writes three for each of its million bodies.
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 9);
    return std::string(text, written.ptr);
}

