#ifndef ORVTEST_APP_PLATFORM_H
#define ORVTEST_APP_PLATFORM_H

#include <string>

// The little the viewer needs of the desktop beyond the engine and the input library.

// Reports an error to the person at the machine: always on stderr, and where
// an X display can be opened also in a modal box titled `caption` with the text
// and an OK button. Returns once the box is dismissed (OK, Return, Escape or
// the window closed), or at once when there is no display.
void showErrorBox(const std::string& caption, const std::string& text);

// Whether the X display named by DISPLAY can be opened.
bool canOpenDisplay();

#endif
