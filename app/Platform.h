#ifndef ORVTEST_APP_PLATFORM_H
#define ORVTEST_APP_PLATFORM_H

#include <string>

// The little the viewer needs of the desktop beyond the engine and the input library.

// Reports an error to the person at the machine: always on stderr, and where
// an X display can be opened also in a modal box titled `caption` with the text
// and an OK button. Returns once the box is dismissed (OK, Return, Escape or
// the window closed), or at once when there is no display.
void showErrorBox(const std::string& caption, const std::string& text);

// A connection to the X display named by DISPLAY, held for as long as this
// object lives. An X server that loses its last client resets itself and
// refuses connections meanwhile: a display check that closed its connection
// before the engine opened its own could send the engine into that gap. A
// refusal is tried again for up to a second, for a reset that another
// program's leaving began.
class DisplayConnection
{
public:
    DisplayConnection();
    ~DisplayConnection();
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;

    bool isOpen() const { return display != nullptr; }

private:
    void* display;   // an X Display, kept out of this header
};

#endif
