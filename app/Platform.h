#ifndef ORVTEST_APP_PLATFORM_H
#define ORVTEST_APP_PLATFORM_H

#include "viewer/InputSnapshot.h"

#include <array>
#include <bitset>
#include <string>

// The little the viewer needs of the desktop beyond the engine and the input library.

// Reports an error to the person at the machine: always on stderr, and where
// an X display can be opened also in a modal box titled `caption` with the text
// and an OK button. Returns once the box is dismissed (OK, Return, Escape or
// the window closed), or at once when there is no display.
void showErrorBox(const std::string& caption, const std::string& text);

// X errors are reported asynchronously, and Xlib's own handler ends the
// process on any of them. A window manager that closes the window while a
// frame is being shown makes one of no consequence (a picture put on a
// window just destroyed): from here on such errors go to the engine's log,
// and the program goes on to its orderly end.
void logXErrors();

// SIGINT and SIGTERM end the rendering loop as Escape does, the engine shut
// down in order, instead of the process at once: from the call on, a signal
// only notes itself, for the loop to see. restoreSignals() gives them back
// their default effect.
void endLoopOnSignals();
void restoreSignals();
// The signal that asked the loop to end; 0 for none.
int endingSignal();

// A connection to the X display named by DISPLAY, held for as long as this
// object lives. An X server that loses its last client resets itself and
// refuses connections meanwhile: a display check that closed its connection
// before the engine opened its own could send the engine into that gap. A
// refusal is tried again for up to a second, for a reset that another
// program's leaving began. It also makes the atom a window needs to be
// closed by a window manager (WM_DELETE_WINDOW).
class DisplayConnection
{
public:
    DisplayConnection();
    ~DisplayConnection();
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;

    bool isOpen() const { return display != nullptr; }

    // The default screen's size in pixels; 0 × 0 without a display.
    int screenWidth() const;
    int screenHeight() const;
    // Its dots per inch as the desktop says them: the X resource Xft.dpi
    // (which desktops set for their scale), else the screen's size in
    // millimetres as the server reports it; 96 when neither is told.
    float dotsPerInch() const;
    // The Display, for the rest of this layer.
    void* handle() const { return display; }

private:
    void* display;   // an X Display, kept out of this header
};

// The keys in the places of W S A D Q E on a US keyboard, read from the X
// server while the window has the keyboard, so that flight keeps its shape
// on any layout: the input library reads keys by what the layout prints on
// them. The places are the keys XKB names AD02, AC02, AC01, AC03, AD01 and
// AD03; what the layout prints on them is asked again whenever one of them
// goes down, so a layout changed while the viewer runs holds at once.
class KeyPlaces
{
public:
    KeyPlaces(const DisplayConnection& connection, unsigned long window);
    // Fills the snapshot's places.
    void read(InputSnapshot& snapshot);

private:
    void readLabels();

    void* display;
    unsigned long window;
    std::array<unsigned char, 6> codes{};
    std::array<OIS::KeyCode, 6> labels{};
    std::bitset<6> wasDown;
};

#endif
