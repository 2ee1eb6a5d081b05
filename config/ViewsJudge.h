#ifndef ORVTEST_CONFIG_VIEWSJUDGE_H
#define ORVTEST_CONFIG_VIEWSJUDGE_H

#include "config/Findings.h"
#include "config/Views.h"

#include <string>
#include <vector>

class BodyRegistry;

// A views file's text judged: the views that keys 1 to 9 and --view show, in
// file order, and the findings on it. A view with an error is left out of
// `views`, so that what orvtest-check calls sound is what the viewer shows.
struct ViewsVerdict
{
    std::vector<SavedView> views;
    std::vector<Problem> problems;
};

// `registry`: the bodies of the system the views are used with, to judge
// their Focus; null to leave it unjudged.
ViewsVerdict judgeViewsText(const std::string& fileName, const std::string& text, const BodyRegistry* registry);

#endif
