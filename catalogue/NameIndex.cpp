#include "catalogue/NameIndex.h"

#include "catalogue/SmallBodies.h"

#include <algorithm>
#include <charconv>

namespace
{
// Walks a name as the index compares it, one folded byte at a time.
struct Folding
{
    const char* at;
    const char* end;

    explicit Folding(std::string_view text) : at(text.data()), end(text.data() + text.size()) {}

    // The next byte, or -1 at the end.
    int next()
    {
        while (at < end)
        {
            const auto byte = [&](std::ptrdiff_t i) { return at + i < end ? static_cast<unsigned char>(at[i]) : 0u; };
            const unsigned c = byte(0);
            // ' and `, the ʻokina and modifier apostrophe (U+02BB, U+02BC), the
            // curly quotes (U+2018, U+2019): written one way or another, or not at all.
            if (c == '\'' || c == '`')
            {
                ++at;
                continue;
            }
            if (c == 0xCA && (byte(1) == 0xBB || byte(1) == 0xBC))
            {
                at += 2;
                continue;
            }
            if (c == 0xE2 && byte(1) == 0x80 && (byte(2) == 0x98 || byte(2) == 0x99))
            {
                at += 3;
                continue;
            }
            ++at;
            return c >= 'A' && c <= 'Z' ? int(c - 'A' + 'a') : int(c);
        }
        return -1;
    }
};

int compareFolded(std::string_view a, std::string_view b)
{
    Folding x(a), y(b);
    for (;;)
    {
        const int p = x.next(), q = y.next();
        if (p != q)
            return p < q ? -1 : 1;
        if (p < 0)
            return 0;
    }
}

bool beginsWithFolded(std::string_view text, const std::string& folded)
{
    Folding x(text);
    for (const char c : folded)
        if (x.next() != static_cast<unsigned char>(c))
            return false;
    return true;
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "(N)" or "(N) rest" as typed: N, and the rest.
bool parenthesisedNumber(std::string_view typed, std::uint32_t& number, std::string_view& rest)
{
    const std::size_t close = typed.find(')');
    if (typed.empty() || typed.front() != '(' || close == std::string_view::npos || !allDigits(typed.substr(1, close - 1)))
        return false;
    std::from_chars(typed.data() + 1, typed.data() + close, number);
    rest = trim(typed.substr(close + 1));
    return true;
}
}

std::string foldedName(std::string_view name)
{
    std::string folded;
    Folding walk(name);
    for (int c = walk.next(); c >= 0; c = walk.next())
        folded.push_back(char(c));
    return folded;
}

NameIndex::NameIndex(const SmallBodies& catalogue) : bodies(catalogue)
{
    keys.reserve(bodies.size() * 2);
    for (std::size_t i = 0; i < bodies.size(); ++i)
    {
        const std::string_view name = bodies.name(i);
        const std::size_t firstKey = keys.size();
        const auto add = [&](std::string_view part) {
            part = trim(part);
            const auto from = std::size_t(part.data() - name.data());
            if (part.empty() || from + part.size() > 0xFFFF)
                return;
            for (std::size_t k = firstKey; k < keys.size(); ++k)
                if (keys[k].from == from && keys[k].length == part.size())
                    return;
            keys.push_back({std::uint32_t(i), std::uint16_t(from), std::uint16_t(part.size())});
        };
        std::string_view rest = trim(name);
        add(rest);
        // "(1) Ceres" (MPC) and "1 Ceres (A801 AA)" (JPL): the name without
        // the number; only the body's own number, so that "1995 XA" stays whole.
        if (const std::uint32_t number = bodies.number(i))
        {
            const std::string digits = std::to_string(number);
            std::uint32_t inParentheses = 0;
            std::string_view after;
            if (parenthesisedNumber(rest, inParentheses, after) && inParentheses == number)
                rest = after;
            else if (rest.size() > digits.size() && rest.compare(0, digits.size(), digits) == 0 &&
                     rest[digits.size()] == ' ')
                rest = trim(rest.substr(digits.size()));
            // A number alone is an asteroid's: a comet's goes with its letter ("1P").
            if (bodies.kind(i) == BodyKind::Asteroid)
                numbered.emplace_back(number, std::uint32_t(i));
        }
        // "1P/Halley": "1P" and "Halley"; "C/2019 Q4 (Borisov)": the part
        // after the slash. A bare "C" or "P" before it names no one body.
        if (const std::size_t slash = rest.find('/'); slash != std::string_view::npos && slash + 1 < rest.size())
        {
            const std::string_view designation = rest.substr(0, slash);
            if (std::any_of(designation.begin(), designation.end(), [](char c) { return c >= '0' && c <= '9'; }))
                add(designation);
            rest = trim(rest.substr(slash + 1));
        }
        // "Ceres (A801 AA)", "2019 Q4 (Borisov)": either side of the parenthesis.
        if (const std::size_t open = rest.rfind(" ("); !rest.empty() && rest.back() == ')' && open != std::string_view::npos)
        {
            add(rest.substr(open + 2, rest.size() - open - 3));
            rest = rest.substr(0, open);
        }
        add(rest);
    }
    keys.shrink_to_fit();
    std::sort(keys.begin(), keys.end(), [this](const Key& a, const Key& b) {
        const int order = compareFolded(text(a), text(b));
        return order != 0 ? order < 0 : a.body < b.body;
    });
    std::stable_sort(numbered.begin(), numbered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

std::string_view NameIndex::text(const Key& key) const
{
    return bodies.name(key.body).substr(key.from, key.length);
}

std::pair<std::size_t, std::size_t> NameIndex::beginningWith(const std::string& folded) const
{
    const auto first = std::lower_bound(keys.begin(), keys.end(), folded, [this](const Key& key, const std::string& f) {
        return compareFolded(text(key), f) < 0;
    });
    const auto last = std::partition_point(first, keys.end(),
                                           [this, &folded](const Key& key) { return beginsWithFolded(text(key), folded); });
    return {std::size_t(first - keys.begin()), std::size_t(last - keys.begin())};
}

std::optional<std::size_t> NameIndex::find(std::string_view typed) const
{
    typed = trim(typed);
    if (typed.empty())
        return std::nullopt;
    std::uint32_t number = 0;
    std::string_view rest;
    const bool byNumber = allDigits(typed) ? (std::from_chars(typed.data(), typed.data() + typed.size(), number),
                                              true)
                                           : parenthesisedNumber(typed, number, rest);
    if (byNumber && number > 0)
    {
        const auto at = std::lower_bound(numbered.begin(), numbered.end(), number,
                                         [](const auto& entry, std::uint32_t n) { return entry.first < n; });
        if (at != numbered.end() && at->first == number)
        {
            if (rest.empty())
                return at->second;
            // "(1) Ceres": the name must be the number's body's. Of the keys
            // beginning so, those equal to it come first: only they are looked at.
            const auto [first, last] = beginningWith(foldedName(rest));
            for (std::size_t k = first; k < last && compareFolded(text(keys[k]), rest) == 0; ++k)
                if (keys[k].body == at->second)
                    return at->second;
        }
    }
    const std::string folded = foldedName(typed);
    if (folded.empty())
        return std::nullopt;
    const auto [first, last] = beginningWith(folded);
    // The keys equal to it come first, the first body first.
    if (first < last && compareFolded(text(keys[first]), folded) == 0)
        return keys[first].body;
    return std::nullopt;
}

std::optional<std::size_t> NameIndex::findBeginning(std::string_view typed) const
{
    const std::string folded = foldedName(trim(typed));
    if (folded.empty())
        return std::nullopt;
    const auto [first, last] = beginningWith(folded);
    if (first == last)
        return std::nullopt;
    return keys[first].body;
}

std::string NameIndex::complete(std::string_view typed) const
{
    const std::string folded = foldedName(typed);
    if (folded.empty())
        return "";
    const auto [first, last] = beginningWith(folded);
    if (first == last)
        return "";
    // Sorted: what the first and the last share, all between share.
    const std::string_view head = text(keys[first]);
    Folding a(head), b(text(keys[last - 1]));
    const char* shared = head.data();
    for (;;)
    {
        const int p = a.next();
        if (p < 0 || p != b.next())
            break;
        shared = a.at;
    }
    return std::string(head.data(), shared);
}

std::size_t NameIndex::bytesHeld() const
{
    return keys.capacity() * sizeof(Key) + numbered.capacity() * sizeof(numbered[0]);
}
