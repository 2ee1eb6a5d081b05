#ifndef ORVTEST_CATALOGUE_NAMEINDEX_H
#define ORVTEST_CATALOGUE_NAMEINDEX_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SmallBodies;

// The names a person types for a catalogue body, sorted once so that finding
// one and completing a name take a binary search however large the
// catalogue: a million bodies are sorted on the reading thread, in about a
// second, and a key press costs microseconds.
//
// A body is known by its name as the catalogue writes it ("1 Ceres (A801
// AA)", "(1) Ceres", "1P/Halley", "C/2019 Q4 (Borisov)") and by its parts:
// the name without its permanent number ("Ceres"), a comet's name after the
// slash and its designation before it ("Halley", "1P"), and the name and the
// designation either side of a parenthesis ("Borisov", "2019 Q4"); and by
// an asteroid's permanent number alone. Letters of either case are alike, and the
// marks that stand for the ʻokina or an apostrophe are passed over, so that
// "Oumuamua" finds "1I/ʻOumuamua".
//
// Holds the bodies by reference: they outlive it.
class NameIndex
{
public:
    explicit NameIndex(const SmallBodies& bodies);

    // The body a typed name or number means: a permanent number ("1", "(1)",
    // "(1) Ceres", where the name then must be the body's), else a name that
    // is the whole of one of its keys, the first in catalogue order.
    std::optional<std::size_t> find(std::string_view typed) const;
    // The body of the first key, in the order of the keys, that begins with `typed`.
    std::optional<std::size_t> findBeginning(std::string_view typed) const;
    // The longest beginning that every key beginning with `typed` shares, as
    // the first of them spells it; empty when no key begins with it.
    std::string complete(std::string_view typed) const;

    std::size_t keyCount() const { return keys.size(); }
    std::size_t bytesHeld() const;

private:
    struct Key
    {
        std::uint32_t body;
        std::uint16_t from;     // bytes into the body's name
        std::uint16_t length;
    };
    std::string_view text(const Key& key) const;
    // The keys whose text begins with `folded` (already folded): [first, last).
    std::pair<std::size_t, std::size_t> beginningWith(const std::string& folded) const;

    const SmallBodies& bodies;
    std::vector<Key> keys;                                          // by folded text, then body
    std::vector<std::pair<std::uint32_t, std::uint32_t>> numbered;   // permanent number, body
};

// A name as the index compares it: ASCII letters in lower case, and the
// ʻokina, apostrophes and grave accents left out.
std::string foldedName(std::string_view name);

#endif
