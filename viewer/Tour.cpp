#include "viewer/Tour.h"

#include "viewer/OrbitViewer.h"

Tour::Tour(int jumps, bool fromAbove, int framesToSettle)
    : jumpsLeft(jumps), overviewDue(fromAbove), settleFrames(framesToSettle), framesLeft(framesToSettle)
{
}

void Tour::holdDown(InputSnapshot& input) const
{
    if (step == Step::Shoot)
        input.keysDown.set(OIS::KC_SYSRQ);
    else if (step == Step::Jump)
        input.buttonsDown |= 1u << OIS::MB_Left;
    else if (step == Step::ShowOrbits || step == Step::HideOrbits)
    {
        input.keysDown.set(OIS::KC_O);
        input.keysDown.set(OIS::KC_N);
    }
}

void Tour::observe(OrbitViewer& viewer)
{
    const int focus = viewer.controls().hasFocus() ? viewer.controls().focusIndex() : -1;
    const bool orbitsShown = viewer.controls().orbitLinesShown() && viewer.controls().labelsShown();
    const bool orbitsHidden = !viewer.controls().orbitLinesShown() && !viewer.controls().labelsShown();
    bool stepDone = false;
    switch (step)
    {
    case Step::Settle:
        stepDone = --framesLeft <= 0;
        break;
    case Step::Shoot:
        stepDone = viewer.shotsTaken() != shotsSeen;
        if (stepDone)
        {
            savedCount += viewer.lastShotSaved() ? 1 : 0;
            failedStep = failedStep || !viewer.lastShotSaved();
        }
        break;
    case Step::Jump:
        stepDone = focus != focusSeen;
        break;
    case Step::ShowOrbits:
        stepDone = orbitsShown;
        break;
    case Step::HideOrbits:
        stepDone = orbitsHidden;
        break;
    case Step::Done:
        return;
    }
    if (!stepDone)
    {
        if (++framesInStep > patience)
        {
            failedStep = true;
            step = Step::Done;
        }
        return;
    }
    framesInStep = 0;
    if (step == Step::Settle)
    {
        step = Step::Shoot;
        shotsSeen = viewer.shotsTaken();
    }
    else if (step == Step::Shoot && overviewDue)
    {
        overviewDue = false;
        viewer.lookFromAbove();
        step = Step::ShowOrbits;
    }
    else if (step == Step::Shoot || step == Step::HideOrbits)
    {
        // After the view from above, the lines go before the first jump.
        if (step == Step::Shoot && (viewer.controls().orbitLinesShown() || viewer.controls().labelsShown()))
            step = Step::HideOrbits;
        else
        {
            step = jumpsLeft-- > 0 ? Step::Jump : Step::Done;
            focusSeen = focus;
        }
    }
    else
    {
        step = Step::Settle;
        framesLeft = settleFrames;
    }
}
