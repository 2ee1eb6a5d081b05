#include "viewer/Film.h"

#include <OgreCamera.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreRenderTexture.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

#include <chrono>

double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

FilmRecorder::FilmRecorder(Ogre::Camera* viewCamera, const std::string& folder, unsigned width, unsigned height,
                           bool overlays)
    : camera(viewCamera), cameraAspect(viewCamera->getAspectRatio()), writer(folder), pixelsWide(width),
      pixelsHigh(height), pixels(std::size_t(width) * height * 3)
{
    texture = Ogre::TextureManager::getSingleton().createManual("OrvTest/Film", Ogre::RGN_DEFAULT,
                                                                Ogre::TEX_TYPE_2D, width, height, 0,
                                                                Ogre::PF_BYTE_RGB, Ogre::TU_RENDERTARGET);
    target = texture->getBuffer()->getRenderTarget();
    target->setAutoUpdated(true);
    viewport = target->addViewport(camera);
    viewport->setBackgroundColour(Ogre::ColourValue::Black);
    viewport->setOverlaysEnabled(overlays);
    camera->setAspectRatio(Ogre::Real(width) / Ogre::Real(height));
}

FilmRecorder::~FilmRecorder()
{
    // The camera would otherwise still name the viewport that goes.
    if (camera->getViewport() == viewport)
        camera->_notifyViewport(nullptr);
    target->removeAllViewports();
    Ogre::TextureManager::getSingleton().remove(texture);
    camera->setAspectRatio(cameraAspect);
}

void FilmRecorder::drawingStarts()
{
    drawingStarted = steadySeconds();
    // A window resized meanwhile has given the camera its own proportions.
    camera->setAspectRatio(Ogre::Real(pixelsWide) / Ogre::Real(pixelsHigh));
}

Result<> FilmRecorder::saveFrame()
{
    const double read = steadySeconds();
    if (drawingStarted > 0.0)
        spent.drawing += read - drawingStarted;
    drawingStarted = 0.0;
    const Ogre::PixelBox box(pixelsWide, pixelsHigh, 1, Ogre::PF_BYTE_RGB, pixels.data());
    target->copyContentsToMemory(Ogre::Box(0, 0, pixelsWide, pixelsHigh), box);
    const double encode = steadySeconds();
    spent.readingBack += encode - read;
    const Result<> encoded = writer.encode(pixels.data(), pixelsWide, pixelsHigh);
    const double write = steadySeconds();
    spent.encoding += write - encode;
    if (!encoded)
        return encoded;
    Result<> written = writer.writeNext();
    spent.writing += steadySeconds() - write;
    return written;
}
