// The real viewer with one more frame listener, which raises an engine error
// once the viewer has drawn a few frames: the error box must then be usable
// although the input library had the keyboard and pointer.

#include "app/CommandLine.h"
#include "app/OrvTestApp.h"
#include "app/RunViewer.h"

#include <OgreException.h>
#include <OgreFrameListener.h>
#include <OgreRoot.h>

namespace
{
class FailingListener : public Ogre::FrameListener
{
public:
    bool frameStarted(const Ogre::FrameEvent&) override
    {
        if (++frames == 30)
            OGRE_EXCEPT(Ogre::Exception::ERR_INTERNAL_ERROR, "A listener fails on purpose", "FailingListener");
        return true;
    }

private:
    int frames = 0;
};

class FailingApp : public OrvTestApp
{
public:
    ~FailingApp() override
    {
        if (root)
            root->removeFrameListener(&failing);
    }

protected:
    void makeFrameListener() override
    {
        OrvTestApp::makeFrameListener();
        root->addFrameListener(&failing);
    }

private:
    FailingListener failing;
};
}

int main()
{
    FailingApp app;
    return runViewer(app, CommandLine());
}
