#ifndef ORVTEST_VIEWER_STATUSLINE_H
#define ORVTEST_VIEWER_STATUSLINE_H

#include <string>

// A line of the engine's log, marked as the viewer's ("OrvTest: ...").
void logViewerLine(const std::string& text);

// The status line at the top of the window: what the viewer last said,
// under a banner of its own while there is one (a film being recorded),
// fitted to the strip. What is said goes to the log too, as
// "OrvTest: status: ...", but for what is being typed at a prompt.
class StatusLine
{
public:
    // `shown` is the text the statistics overlay shows (the listener's).
    explicit StatusLine(std::string& shownText) : shown(shownText) {}

    void say(const std::string& text, bool toTheLog = true);
    // The line above what was said; "" for none. Shows at once.
    void setBanner(const std::string& banner);
    const std::string& lastSaid() const { return said; }

private:
    void show();

    std::string& shown;
    std::string said;
    std::string banner;
};

#endif
