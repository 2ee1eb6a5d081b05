#ifndef ORVTEST_CONFIG_SYSTEMJUDGE_H
#define ORVTEST_CONFIG_SYSTEMJUDGE_H

#include "config/Findings.h"
#include "sim/BodyRegistry.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Whether a mesh of that name (a Model with ".Mesh") can be loaded: the
// viewer asks the engine, orvtest-check the resource locations.
using MeshExists = std::function<bool(const std::string& meshName)>;

// A system file's text judged: the bodies the viewer's reader makes of it and
// the findings on it. Models are checked only when `meshExists` is given.
// With `trueScale`, each body the true scale leaves out (sim/TrueScale.h:
// no real values) is named in a warning.
struct SystemVerdict
{
    std::unique_ptr<BodyRegistry> bodies = std::make_unique<BodyRegistry>();
    std::vector<Problem> problems;

    // Whether the bodies can replace the shown ones: no error found.
    bool sound() const { return firstError(problems) == nullptr; }
};
SystemVerdict judgeSystemText(const std::string& fileName, const std::string& text, const MeshExists& meshExists,
                              bool trueScale = false);

// How many levels below the sun the deepest moon of the registry hangs: 1
// for a planet, 0 for no bodies. Bodies whose parents come after them, or
// name no body, count from where their chain breaks off.
int deepestMoon(const BodyRegistry& registry);

#endif
