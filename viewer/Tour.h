#ifndef ORVTEST_VIEWER_TOUR_H
#define ORVTEST_VIEWER_TOUR_H

#include "viewer/InputSnapshot.h"

#include <string>

class OrbitViewer;

// The visit --tour makes for someone without a desktop: the start view, for
// a system that follows the clock a view from above the ecliptic with the
// orbits and names shown, then a jump to each of the first bodies and, where
// a body has a ring, a go-to to the first such body by its name, a
// screenshot at every stop. It uses the controls a person would: each frame
// it holds down the key or button of its next step until the viewer has
// acted on it; only the view from above is placed by hand.
class Tour
{
public:
    // `jumps` bodies after the start view, no more than there are bodies;
    // each stop shows `settleFrames` frames before its picture, so that the
    // view is drawn as it is.
    // `ringed`: the Name of the body the last stop goes to; "" for none.
    explicit Tour(int jumps, bool fromAbove = false, int settleFrames = 10, const std::string& ringed = "");

    // Adds this frame's key or button to the frame's input.
    void holdDown(InputSnapshot& input) const;
    // Moves on when the viewer has done what was held down this frame.
    void observe(OrbitViewer& viewer);

    bool finished() const { return step == Step::Done; }
    // Pictures saved; false when one could not be, or a step was never done.
    int saved() const { return savedCount; }
    bool completed() const { return finished() && !failedStep; }

private:
    enum class Step
    {
        Settle,
        Shoot,
        ShowOrbits,   // orbit lines and names on, the camera above
        HideOrbits,
        Jump,
        GoTo,         // typed at the go-to prompt, a key a frame
        Done,
    };
    Step step = Step::Settle;
    int jumpsLeft;
    bool overviewDue;
    int settleFrames;
    int framesLeft;
    int savedCount = 0;
    bool failedStep = false;
    int framesInStep = 0;
    int shotsSeen = 0;       // the viewer's screenshots tried when this stop began
    int focusSeen = -1;      // the body in focus before the jump; -1 for none
    std::string goToName;    // the ringed body's, while it is still to be visited
    int typed = 0;           // keys of the go-to pressed so far: Return, the name, Return

    // A step the viewer never acts on ends the tour rather than hanging it.
    static constexpr int patience = 600;   // frames
};

#endif
