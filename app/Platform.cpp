#include "app/Platform.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <OgreLogManager.h>

#include <algorithm>
#include <csignal>
#include <string>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace
{
constexpr size_t maxLineLength = 96;
constexpr size_t maxLineCount = 40;
constexpr int margin = 16;
constexpr int buttonWidth = 80;
constexpr int buttonHeight = 28;

// Splits at newlines and wraps long lines, so any description fits on screen.
std::vector<std::string> wrapLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size() && lines.size() < maxLineCount)
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        do
        {
            lines.push_back(line.substr(0, maxLineLength));
            line.erase(0, std::min(line.size(), maxLineLength));
        } while (!line.empty() && lines.size() < maxLineCount);
        start = end + 1;
    }
    return lines;
}

struct Box
{
    Display* display;
    Window window;
    GC gc;
    XFontStruct* font;
    std::vector<std::string> lines;
    int width;
    int height;

    int lineHeight() const { return font->ascent + font->descent + 2; }
    int buttonLeft() const { return (width - buttonWidth) / 2; }
    int buttonTop() const { return height - margin - buttonHeight; }

    bool insideButton(int x, int y) const
    {
        return x >= buttonLeft() && x < buttonLeft() + buttonWidth && y >= buttonTop() &&
               y < buttonTop() + buttonHeight;
    }

    void draw() const
    {
        XClearWindow(display, window);
        int y = margin + font->ascent;
        for (const std::string& line : lines)
        {
            XDrawString(display, window, gc, margin, y, line.data(), int(line.size()));
            y += lineHeight();
        }
        XDrawRectangle(display, window, gc, buttonLeft(), buttonTop(), buttonWidth, buttonHeight);
        const char ok[] = "OK";
        const int textWidth = XTextWidth(font, ok, 2);
        XDrawString(display, window, gc, buttonLeft() + (buttonWidth - textWidth) / 2,
                    buttonTop() + (buttonHeight + font->ascent - font->descent) / 2, ok, 2);
        XFlush(display);
    }
};

void runBox(Display* display, const std::string& caption, const std::string& text)
{
    Box box{display, 0, nullptr, nullptr, wrapLines(text), 0, 0};
    box.font = XLoadQueryFont(display, "fixed");
    if (!box.font)
        return;

    int textWidth = 0;
    for (const std::string& line : box.lines)
        textWidth = std::max(textWidth, XTextWidth(box.font, line.data(), int(line.size())));
    box.width = std::max(textWidth, 240) + 2 * margin;
    box.height = int(box.lines.size()) * box.lineHeight() + buttonHeight + 3 * margin;

    const int screen = DefaultScreen(display);
    const int left = std::max(0, (DisplayWidth(display, screen) - box.width) / 2);
    const int top = std::max(0, (DisplayHeight(display, screen) - box.height) / 2);
    box.window = XCreateSimpleWindow(display, RootWindow(display, screen), left, top, box.width,
                                     box.height, 1, BlackPixel(display, screen),
                                     WhitePixel(display, screen));

    XStoreName(display, box.window, caption.c_str());
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, box.window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(caption.data()),
                    int(caption.size()));
    Atom dialogType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, box.window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False),
                    XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&dialogType), 1);
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PPosition | PMinSize | PMaxSize;
    hints->x = left;
    hints->y = top;
    hints->min_width = hints->max_width = box.width;
    hints->min_height = hints->max_height = box.height;
    XSetWMNormalHints(display, box.window, hints);
    XFree(hints);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, box.window, &deleteWindow, 1);

    XSelectInput(display, box.window, ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask);
    box.gc = XCreateGC(display, box.window, 0, nullptr);
    XSetFont(display, box.gc, box.font->fid);
    XSetForeground(display, box.gc, BlackPixel(display, screen));
    XMapRaised(display, box.window);

    bool dismissed = false;
    while (!dismissed)
    {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type)
        {
        case Expose:
            if (event.xexpose.count == 0)
                box.draw();
            break;
        case MapNotify:
            // Without a window manager nobody else gives the box the keyboard.
            XSetInputFocus(display, box.window, RevertToParent, CurrentTime);
            break;
        case ButtonPress:
            dismissed = box.insideButton(event.xbutton.x, event.xbutton.y);
            break;
        case KeyPress:
        {
            const KeySym key = XLookupKeysym(&event.xkey, 0);
            dismissed = key == XK_Return || key == XK_KP_Enter || key == XK_Escape;
            break;
        }
        case ClientMessage:
            dismissed = Atom(event.xclient.data.l[0]) == deleteWindow;
            break;
        case DestroyNotify:
            dismissed = true;
            box.window = 0;
            break;
        default:
            break;
        }
    }

    XFreeGC(display, box.gc);
    if (box.window)
        XDestroyWindow(display, box.window);
    XFreeFont(display, box.font);
}

// A failed request (a focus change racing the window manager, say) must not
// end the program from inside its own error report.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}
}

namespace
{
volatile std::sig_atomic_t receivedSignal = 0;

void noteSignal(int signal)
{
    receivedSignal = signal;
}

int logXError(Display* display, XErrorEvent* event)
{
    char text[256];
    XGetErrorText(display, event->error_code, text, sizeof text);
    const std::string line = "OrvTest: X error ignored: " + std::string(text) + " (request " +
                             std::to_string(int(event->request_code)) + "." + std::to_string(int(event->minor_code)) +
                             ", resource " + std::to_string(event->resourceid) + ")";
    if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage(line);
    return 0;
}
}

void logXErrors()
{
    XSetErrorHandler(logXError);
}

void endLoopOnSignals()
{
    receivedSignal = 0;
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void restoreSignals()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

int endingSignal()
{
    return receivedSignal;
}

void showErrorBox(const std::string& caption, const std::string& text)
{
    std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);

    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    XErrorHandler previousHandler = XSetErrorHandler(ignoreXError);
    runBox(display, caption, text);
    XCloseDisplay(display);
    XSetErrorHandler(previousHandler);
}

DisplayConnection::DisplayConnection() : display(nullptr)
{
    // A server caught in its reset refuses for a few milliseconds: try again
    // for a second before calling the display missing.
    for (int attempt = 0; attempt < 20 && !display; ++attempt)
    {
        display = XOpenDisplay(nullptr);
        const char* name = std::getenv("DISPLAY");
        if (display || !name || !*name)
            break;
        ::usleep(50000);
    }
    // The engine's window asks the window manager for a close request only
    // when this atom exists already (it looks it up without making it). On a
    // display where no window manager has made it yet, a window manager
    // started later would find no such request and kill the program's
    // connection instead.
    if (display)
        XInternAtom(static_cast<Display*>(display), "WM_DELETE_WINDOW", False);
}

int DisplayConnection::screenWidth() const
{
    return display ? DisplayWidth(static_cast<Display*>(display), DefaultScreen(static_cast<Display*>(display))) : 0;
}

int DisplayConnection::screenHeight() const
{
    return display ? DisplayHeight(static_cast<Display*>(display), DefaultScreen(static_cast<Display*>(display))) : 0;
}

float DisplayConnection::dotsPerInch() const
{
    constexpr float standard = 96.0f;
    if (!display)
        return standard;
    Display* x = static_cast<Display*>(display);
    if (const char* resources = XResourceManagerString(x))
    {
        // "Xft.dpi:\t192" among the lines of the resource string.
        const std::string text = resources;
        for (std::size_t at = 0; at < text.size();)
        {
            const std::size_t end = std::min(text.find('\n', at), text.size());
            const std::string line = text.substr(at, end - at);
            at = end + 1;
            if (line.compare(0, 8, "Xft.dpi:") != 0)
                continue;
            const float dpi = std::strtof(line.c_str() + 8, nullptr);
            if (dpi >= 24.0f && dpi <= 1000.0f)
                return dpi;
        }
    }
    // A server that does not know its monitor says so with a made-up size;
    // only a plausible one is believed.
    const int screen = DefaultScreen(x);
    const int millimetres = DisplayHeightMM(x, screen);
    if (millimetres > 50)
    {
        const float dpi = DisplayHeight(x, screen) * 25.4f / millimetres;
        if (dpi >= 24.0f && dpi <= 1000.0f)
            return dpi;
    }
    return standard;
}

namespace
{
// The input library's code for what a key prints; unassigned for what no
// command is given by.
OIS::KeyCode keyCodeOf(KeySym symbol)
{
    static const OIS::KeyCode letters[26] = {
        OIS::KC_A, OIS::KC_B, OIS::KC_C, OIS::KC_D, OIS::KC_E, OIS::KC_F, OIS::KC_G, OIS::KC_H, OIS::KC_I,
        OIS::KC_J, OIS::KC_K, OIS::KC_L, OIS::KC_M, OIS::KC_N, OIS::KC_O, OIS::KC_P, OIS::KC_Q, OIS::KC_R,
        OIS::KC_S, OIS::KC_T, OIS::KC_U, OIS::KC_V, OIS::KC_W, OIS::KC_X, OIS::KC_Y, OIS::KC_Z};
    static const OIS::KeyCode digits[10] = {OIS::KC_0, OIS::KC_1, OIS::KC_2, OIS::KC_3, OIS::KC_4,
                                            OIS::KC_5, OIS::KC_6, OIS::KC_7, OIS::KC_8, OIS::KC_9};
    if (symbol >= XK_a && symbol <= XK_z)
        return letters[symbol - XK_a];
    if (symbol >= XK_A && symbol <= XK_Z)
        return letters[symbol - XK_A];
    if (symbol >= XK_0 && symbol <= XK_9)
        return digits[symbol - XK_0];
    switch (symbol)
    {
    case XK_bracketleft:
        return OIS::KC_LBRACKET;
    case XK_bracketright:
        return OIS::KC_RBRACKET;
    case XK_space:
        return OIS::KC_SPACE;
    default:
        return OIS::KC_UNASSIGNED;
    }
}
}

KeyPlaces::KeyPlaces(const DisplayConnection& connection, unsigned long renderWindow)
    : display(connection.handle()), window(renderWindow)
{
    // The evdev codes, where XKB does not name the keys.
    codes = {25, 39, 38, 40, 24, 26};
    Display* x = static_cast<Display*>(display);
    if (!x)
        return;
    if (XkbDescPtr keyboard = XkbGetMap(x, 0, XkbUseCoreKbd))
    {
        if (XkbGetNames(x, XkbKeyNamesMask, keyboard) == Success && keyboard->names && keyboard->names->keys)
        {
            const char* names[6] = {"AD02", "AC02", "AC01", "AC03", "AD01", "AD03"};
            for (int code = keyboard->min_key_code; code <= keyboard->max_key_code; ++code)
                for (std::size_t place = 0; place < codes.size(); ++place)
                    if (std::strncmp(keyboard->names->keys[code].name, names[place], XkbKeyNameLength) == 0)
                        codes[place] = static_cast<unsigned char>(code);
        }
        XkbFreeKeyboard(keyboard, 0, True);
    }
    readLabels();
}

void KeyPlaces::readLabels()
{
    Display* x = static_cast<Display*>(display);
    for (std::size_t place = 0; place < codes.size(); ++place)
    {
        int perCode = 0;
        KeySym* symbols = XGetKeyboardMapping(x, codes[place], 1, &perCode);
        labels[place] = symbols && perCode > 0 ? keyCodeOf(symbols[0]) : OIS::KC_UNASSIGNED;
        if (symbols)
            XFree(symbols);
    }
}

void KeyPlaces::read(InputSnapshot& snapshot)
{
    Display* x = static_cast<Display*>(display);
    if (!x)
        return;
    snapshot.placesKnown = true;
    // The keyboard is ours while the window has the focus (or, with no
    // window manager, while focus follows the pointer): not after Alt+Tab.
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(x, &focus, &revert);
    std::bitset<6> down;
    if (focus == window || focus == PointerRoot)
    {
        char keys[32];
        XQueryKeymap(x, keys);
        for (std::size_t place = 0; place < codes.size(); ++place)
            down[place] = (keys[codes[place] / 8] >> (codes[place] % 8)) & 1;
    }
    if ((down & ~wasDown).any())
        readLabels();
    wasDown = down;
    snapshot.placesDown = down;
    snapshot.placeLabels = labels;
}

DisplayConnection::~DisplayConnection()
{
    if (display)
        XCloseDisplay(static_cast<Display*>(display));
}
