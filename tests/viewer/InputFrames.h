#ifndef ORVTEST_TESTS_VIEWER_INPUTFRAMES_H
#define ORVTEST_TESTS_VIEWER_INPUTFRAMES_H

#include "HeadlessEngine.h"
#include "config/Files.h"
#include "viewer/InputSnapshot.h"
#include "viewer/OrbitViewer.h"

#include <OgreCamera.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

constexpr unsigned int leftButton = 1u << OIS::MB_Left;
constexpr unsigned int rightButton = 1u << OIS::MB_Right;

// One frame of input: keys held, buttons held, relative mouse motion.
inline InputSnapshot frame(float dt, std::initializer_list<OIS::KeyCode> keys = {}, unsigned int buttons = 0,
                           int mouseX = 0, int mouseY = 0)
{
    InputSnapshot input;
    input.dt = dt;
    for (OIS::KeyCode key : keys)
        input.keysDown.set(key);
    input.buttonsDown = buttons;
    input.mouseX = mouseX;
    input.mouseY = mouseY;
    return input;
}

// A key pressed and released again between two frames: only the press is seen.
inline InputSnapshot tap(float dt, OIS::KeyCode key, unsigned int text = 0)
{
    InputSnapshot input = frame(dt);
    input.addPress(KeyPress{key, text, false});
    return input;
}

// UTF-8 text as the keyboard reports it: a press a frame, each a code point.
inline std::vector<InputSnapshot> typing(const std::string& text, float dt = 0.01f)
{
    std::vector<InputSnapshot> taps;
    for (std::size_t i = 0; i < text.size();)
    {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        unsigned int point = length == 1 ? byte : byte & (0x3Fu >> (length - 1));
        for (std::size_t k = 1; k < length; ++k)
            point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        taps.push_back(tap(dt, OIS::KC_UNASSIGNED, point));
        i += length;
    }
    return taps;
}

// A folder of the running test's own, ending in '/', removed with what the test left in it.
struct TestFolder
{
    TestFolder() : path(writeTempFile("folder", "") + "/")
    {
        removeFile(path.substr(0, path.size() - 1));
        if (const Result<> made = makeFolders(path); !made)
            ADD_FAILURE() << made.why();
    }
    ~TestFolder() { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
    std::string path;
};

// A viewer on the scene of a system file's text, as the program starts them.
class ViewerFixture : public HeadlessEngine
{
protected:
    void start(const std::string& system)
    {
        camera = startScene(system);
        ASSERT_NE(nullptr, camera);
        cameraNode = camera->getParentSceneNode();
        viewer = std::make_unique<OrbitViewer>(camera, sceneManager, nullptr, nullptr, status, 100.0f);
    }

    void TearDown() override
    {
        viewer.reset();
        HeadlessEngine::TearDown();
    }

    void run(const InputSnapshot& input, int count = 1)
    {
        for (int n = 0; n < count; ++n)
            ASSERT_TRUE(viewer->runFrame(input));
    }

    // Return, the text, then `last`: Return goes, Tab completes.
    void enter(const std::string& text, OIS::KeyCode opening = OIS::KC_RETURN, OIS::KeyCode last = OIS::KC_RETURN)
    {
        run(tap(0.25f, opening));
        for (const InputSnapshot& input : typing(text))
            run(input);
        run(tap(0.01f, last));
    }

    // Frames of a tenth of a second until `done` holds, for at most 30 s of the test's own time.
    bool framesUntil(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done())
        {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            EXPECT_TRUE(viewer->runFrame(frame(0.1f)));
            ++framesRun;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    Ogre::Camera* camera = nullptr;
    Ogre::SceneNode* cameraNode = nullptr;
    std::string status;
    std::unique_ptr<OrbitViewer> viewer;
    long framesRun = 0;
};

#endif
