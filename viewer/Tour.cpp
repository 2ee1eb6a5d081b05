#include "viewer/Tour.h"

#include "viewer/OrbitViewer.h"

Tour::Tour(int jumps, int framesToSettle) : jumpsLeft(jumps), settleFrames(framesToSettle), framesLeft(framesToSettle)
{
}

void Tour::holdDown(InputSnapshot& input) const
{
    if (step == Step::Shoot)
        input.keysDown.set(OIS::KC_SYSRQ);
    else if (step == Step::Jump)
        input.buttonsDown |= 1u << OIS::MB_Left;
}

void Tour::observe(const OrbitViewer& viewer)
{
    const int focus = viewer.controls().hasFocus() ? viewer.controls().focusIndex() : -1;
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
    else if (step == Step::Shoot)
    {
        step = jumpsLeft-- > 0 ? Step::Jump : Step::Done;
        focusSeen = focus;
    }
    else
    {
        step = Step::Settle;
        framesLeft = settleFrames;
    }
}
