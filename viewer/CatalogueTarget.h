#ifndef ORVTEST_VIEWER_CATALOGUETARGET_H
#define ORVTEST_VIEWER_CATALOGUETARGET_H

#include <cstddef>
#include <optional>
#include <string>

// A body of the catalogues shown (viewer/Catalogues.h): which catalogue (its
// slot), which body of it, and its name as the catalogue writes it, by which
// it is found again when the catalogue is read anew.
struct CatalogueTarget
{
    std::size_t slot = 0;
    std::size_t index = 0;
    std::string name;
};

// Where the go-to prompt looks for catalogue bodies, after the system's own
// names (OrbitControls).
class CatalogueNames
{
public:
    virtual ~CatalogueNames() = default;
    // The body a typed name or number means; with `beginning`, the first
    // whose name begins with it.
    virtual std::optional<CatalogueTarget> findCatalogueBody(const std::string& typed, bool beginning) const = 0;
    // The longest beginning every catalogue name beginning with `typed`
    // shares; empty when none does.
    virtual std::string completeCatalogueName(const std::string& typed) const = 0;
    // Whether a catalogue is still being read or its names sorted: a name
    // not found now may be found then.
    virtual bool namesComing() const = 0;
};

#endif
