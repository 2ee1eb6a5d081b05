#ifndef ORVTEST_VIEWER_KEPTVIEWS_H
#define ORVTEST_VIEWER_KEPTVIEWS_H

#include "config/Result.h"
#include "config/Views.h"
#include "viewer/CameraPath.h"

#include <string>

// The views kept by name in the views file (K) and the camera's flight back
// to one (1 to 9): what is in the file, and where the flight is.
class KeptViews
{
public:
    void keepIn(const std::string& file) { viewsFile = file; }
    const std::string& file() const { return viewsFile; }

    // Keeps the view under its name, replacing a view of that name only when
    // asked. What happened, as the status line says it; `nameTaken` when the
    // person should be asked whether to replace it.
    struct Outcome
    {
        bool nameTaken = false;
        std::string status;
    };
    Outcome keep(const SavedView& view, bool replace) const;
    // The view that key `index` + 1 recalls; a Failure says why there is none.
    Result<SavedView> numbered(int index) const;

    // A flight from `from` to the view, over `seconds`; its target pose is
    // given at every step, as a followed body moves it.
    void startFlight(const SavedView& view, const CameraPose& from, float seconds);
    void endFlight() { move.stop(); }
    bool flying() const { return move.active(); }
    const SavedView& destination() const { return flyingTo; }
    // Moves on by `dt` seconds towards `to`; the last step lands on it.
    CameraPose fly(float dt, const CameraPose& to) { return move.advance(dt, to); }

private:
    std::string viewsFile;
    CameraMove move;
    SavedView flyingTo;
};

#endif
