#ifndef ORVTEST_SCENE_TRUESCALEDEPTH_H
#define ORVTEST_SCENE_TRUESCALEDEPTH_H

#include "scene/TrueScaleWorld.h"

#include <OgreRenderTargetListener.h>

#include <vector>

// Depth from a metre to a thousand AU: the stretches of depth that hold
// something (TrueScaleWorld::depthRanges) are drawn one after the other,
// farthest first, each with the whole depth buffer to itself and cleared
// before the next, nearer one, which is drawn over it. One camera, one
// viewport a stretch on the same target: the first (the target's own) clears
// everything and draws the sky, the others clear depth only; the overlays
// are drawn with the nearest. (RenderSystem_GL offers no floating-point or
// reversed depth buffer, and a logarithmic depth in every program would
// leave the fixed-function sun and lines out.)
class DepthPartitions : public Ogre::RenderTargetListener
{
public:
    DepthPartitions(Ogre::Camera* camera, Ogre::RenderTarget* target, Ogre::Viewport* main);
    ~DepthPartitions() override;
    DepthPartitions(const DepthPartitions&) = delete;
    DepthPartitions& operator=(const DepthPartitions&) = delete;

    // The stretches to draw from the next frame on, farthest first.
    void setRanges(const std::vector<DepthRange>& ranges);
    // How many stretches the last frame drew.
    std::size_t drawn() const { return active; }

    void preViewportUpdate(const Ogre::RenderTargetViewportEvent& event) override;
    void postRenderTargetUpdate(const Ogre::RenderTargetEvent& event) override;

    // Viewports at most: 1000^6 reaches from a millimetre to beyond the Oort cloud.
    static constexpr std::size_t mostRanges = 6;
    // The visibility flag of what is drawn only behind everything (the sky).
    static constexpr Ogre::uint32 backgroundFlag = 1u << 30;

private:
    Ogre::Camera* camera;
    Ogre::RenderTarget* target;
    std::vector<Ogre::Viewport*> viewports;   // [0] the target's own
    std::vector<DepthRange> ranges;
    std::size_t active = 1;
    bool overlays;
    Ogre::Real nearClip;
    Ogre::Real farClip;
};

#endif
