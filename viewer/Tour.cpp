#include "viewer/Tour.h"

#include "viewer/OrbitViewer.h"

Tour::Tour(int jumps, bool fromAbove, int framesToSettle, const std::string& ringed)
    : jumpsLeft(jumps), overviewDue(fromAbove), settleFrames(framesToSettle), framesLeft(framesToSettle),
      goToName(ringed)
{
}

void Tour::holdDown(InputSnapshot& input) const
{
    if (step == Step::Shoot)
        input.keysDown.set(OIS::KC_SYSRQ);
    else if (step == Step::Jump)
        input.buttonsDown |= 1u << OIS::MB_Left;
    else if (step == Step::GoTo && typed <= int(goToName.size()) + 1)
    {
        // As a person types it: Return opens the prompt, the name, Return goes.
        const bool name = typed > 0 && typed <= int(goToName.size());
        input.addPress(KeyPress{name ? OIS::KC_UNASSIGNED : OIS::KC_RETURN,
                                name ? static_cast<unsigned char>(goToName[std::size_t(typed - 1)]) : 0u, false});
    }
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
    case Step::GoTo:
        ++typed;
        stepDone = typed > int(goToName.size()) + 1 && focus != focusSeen;
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
            focusSeen = focus;
            if (jumpsLeft-- > 0)
                step = Step::Jump;
            else if (!goToName.empty())
            {
                step = Step::GoTo;
                typed = 0;
            }
            else
                step = Step::Done;
        }
    }
    else
    {
        if (step == Step::GoTo)
            goToName.clear();   // visited: the tour ends after its picture
        step = Step::Settle;
        framesLeft = settleFrames;
    }
}
