#include "scene/TrueScaleDepth.h"

#include <OgreCamera.h>
#include <OgreRenderTarget.h>
#include <OgreViewport.h>

DepthPartitions::DepthPartitions(Ogre::Camera* viewCamera, Ogre::RenderTarget* renderTarget, Ogre::Viewport* main)
    : camera(viewCamera), target(renderTarget), overlays(main->getOverlaysEnabled()),
      nearClip(viewCamera->getNearClipDistance()), farClip(viewCamera->getFarClipDistance())
{
    viewports.push_back(main);
    for (std::size_t i = 1; i < mostRanges; ++i)
    {
        Ogre::Viewport* viewport = target->addViewport(camera, int(main->getZOrder() + int(i)), main->getLeft(),
                                                       main->getTop(), main->getWidth(), main->getHeight());
        viewport->setClearEveryFrame(true, Ogre::FBT_DEPTH);
        viewport->setOverlaysEnabled(false);
        viewport->setSkiesEnabled(false);
        viewport->setVisibilityMask(~backgroundFlag);
        viewport->setAutoUpdated(false);
        viewports.push_back(viewport);
    }
    target->addListener(this);
    ranges.push_back({nearClip, farClip});
}

DepthPartitions::~DepthPartitions()
{
    target->removeListener(this);
    for (std::size_t i = 1; i < viewports.size(); ++i)
        target->removeViewport(viewports[i]->getZOrder());
    viewports[0]->setOverlaysEnabled(overlays);
    if (camera->getViewport() != viewports[0])
        camera->_notifyViewport(viewports[0]);
    camera->setNearClipDistance(nearClip);
    camera->setFarClipDistance(farClip);
}

void DepthPartitions::setRanges(const std::vector<DepthRange>& wanted)
{
    ranges.assign(wanted.begin(), wanted.begin() + long(std::min(wanted.size(), mostRanges)));
    if (ranges.empty())
        ranges.push_back({nearClip, farClip});
    // Where more were wanted than there are viewports, the nearest stretch
    // takes in the rest.
    if (wanted.size() > mostRanges)
        ranges.back().nearKm = wanted.back().nearKm;
    active = ranges.size();
    for (std::size_t i = 1; i < viewports.size(); ++i)
        viewports[i]->setAutoUpdated(i < active);
    for (std::size_t i = 0; i < viewports.size(); ++i)
        viewports[i]->setOverlaysEnabled(overlays && i + 1 == active);
}

void DepthPartitions::preViewportUpdate(const Ogre::RenderTargetViewportEvent& event)
{
    for (std::size_t i = 0; i < active; ++i)
        if (event.source == viewports[i])
        {
            camera->setNearClipDistance(Ogre::Real(ranges[i].nearKm));
            camera->setFarClipDistance(Ogre::Real(ranges[i].farKm));
        }
}

void DepthPartitions::postRenderTargetUpdate(const Ogre::RenderTargetEvent&)
{
    // Between frames the camera clips as the nearest stretch, as picking and
    // the names expect of what is in front of it.
    camera->setNearClipDistance(Ogre::Real(ranges.back().nearKm));
    camera->setFarClipDistance(Ogre::Real(ranges.front().farKm));
}
