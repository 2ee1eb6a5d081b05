#include "viewer/LiveReload.h"

#include "checker/ConfigText.h"
#include "config/ConfigFileReading.h"
#include "config/SystemFile.h"
#include "scene/SceneNames.h"

#include <OgreException.h>

#include <unordered_map>

#include <sys/stat.h>

bool FileSignature::operator==(const FileSignature& other) const
{
    return exists == other.exists && regular == other.regular && size == other.size &&
           modifiedNs == other.modifiedNs && inode == other.inode;
}

FileSignature signatureOf(const std::string& path)
{
    FileSignature signature;
    struct stat status;
    if (path.empty() || ::stat(path.c_str(), &status) != 0)
        return signature;
    signature.exists = true;
    signature.regular = S_ISREG(status.st_mode);
    signature.size = status.st_size;
    signature.modifiedNs = (long long)status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec;
    signature.inode = status.st_ino;
    return signature;
}

FileWatch::FileWatch(std::string path, float poll, float settle)
    : watched(std::move(path)), pollSeconds(poll), settleSeconds(settle), seen(signatureOf(watched)), taken(seen)
{
}

bool FileWatch::poll(float dt)
{
    if (watched.empty())
        return false;
    sincePoll += dt;
    if (sincePoll < pollSeconds)
        return false;
    const FileSignature now = signatureOf(watched);
    if (now != seen)
    {
        seen = now;
        stillFor = 0.0f;
    }
    else
        stillFor += sincePoll;
    sincePoll = 0.0f;
    return (requested || seen != taken) && stillFor >= settleSeconds;
}

bool FileWatch::take(std::string& text, std::string& unreadable)
{
    text.clear();
    unreadable.clear();
    const FileSignature before = signatureOf(watched);
    try
    {
        text = readConfigText(watched);
    }
    catch (const Ogre::Exception& error)
    {
        unreadable = error.getDescription();
    }
    if (signatureOf(watched) != before || before != seen)
        return false;
    taken = before;
    requested = false;
    return true;
}

bool SystemVerdict::sound() const
{
    return firstError() == nullptr;
}

const Problem* SystemVerdict::firstError() const
{
    for (const Problem& problem : problems)
        if (problem.isError())
            return &problem;
    return nullptr;
}

SystemVerdict judgeSystemText(const std::string& fileName, const std::string& text,
                              const std::function<bool(const std::string&)>& meshExists)
{
    SystemVerdict verdict;
    Ogre::ConfigFile file;
    parseConfigText(file, text);
    registerBodies(file, *verdict.bodies);
    const std::vector<ConfigLine> lines = splitConfigLines(text);
    verdict.problems = checkSystemLines(fileName, lines, *verdict.bodies);

    // Thousands of bodies share a handful of models: ask about each once.
    std::unordered_map<std::string, bool> modelHasMesh;
    for (const auto& body : *verdict.bodies)
    {
        const std::string mesh = body->definition.Model + sceneNames::meshSuffix;
        const auto known = modelHasMesh.try_emplace(body->definition.Model, false);
        if (known.second)
            known.first->second = meshExists(mesh);
        if (known.first->second)
            continue;
        int line = 0;
        for (const ConfigLine& candidate : lines)
            if (candidate.section == body->sectionName && candidate.key == "Model")
                line = candidate.number;
        verdict.problems.push_back(Problem{fileName, line, body->sectionName, "unknown-model",
                                           "Model '" + body->definition.Model + "' names no mesh: there is no '" +
                                               mesh + "'",
                                           Problem::Error});
    }
    return verdict;
}

SettingsVerdict judgeSettingsText(const std::string& fileName, const std::string& text, const AppSettings& current)
{
    SettingsVerdict verdict;
    Ogre::ConfigFile file;
    parseConfigText(file, text);
    applySettings(file, verdict.read);
    verdict.problems = checkSettingsLines(fileName, splitConfigLines(text));
    for (const SettingsKey& key : settingsKeys())
    {
        if (!differs(key, verdict.read, current))
            continue;
        (key.takesEffectAtOnce ? verdict.atOnce : verdict.atNextStart).push_back(&key);
    }
    return verdict;
}
