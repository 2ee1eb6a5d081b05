// libFuzzer target: any bytes as a catalogue (MPCORB, CometEls, JPL JSON,
// gzip of any of them), read whole.

#include "catalogue/CatalogueReading.h"

#include <cmath>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Result<Catalogue> read =
        readCatalogueBytes("fuzz", std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read.ok())
        return 0;
    const SmallBodies& bodies = read->bodies;
    for (std::size_t i = 0; i < bodies.size(); ++i)
    {
        // Every body read has an orbit that places it, and a name.
        const ConicElements o = bodies.elements(i);
        if (!(o.perihelionDistance > 0.0) || !(o.eccentricity >= 0.0) || bodies.name(i).empty())
            __builtin_trap();
        if (!bodies.positionAt(i, o.perihelionDays + 100.0).finite())
            __builtin_trap();
    }
    for (const CatalogueProblem& p : read->problems)
        if (p.line < 0 || p.message.empty())
            __builtin_trap();
    return 0;
}
