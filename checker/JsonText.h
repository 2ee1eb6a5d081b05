#ifndef ORVTEST_CHECKER_JSONTEXT_H
#define ORVTEST_CHECKER_JSONTEXT_H

#include <string>

// The pieces of orvtest-check's JSON.

// A JSON string of the text: quotes, backslashes and control characters
// escaped, well-formed UTF-8 passed through and any other byte as U+FFFD.
std::string jsonString(const std::string& text);
// A number to nine significant digits (1e-6° in a longitude, 1e-8 AU in a
// distance of a few AU); null for one that is not finite.
std::string jsonNumber(double value);

#endif
