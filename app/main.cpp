// Process entry: answer --help and --version, or find the files, run the
// viewer and shut the engine down.

#include "OrvTestVersion.h"
#include "app/CommandLine.h"
#include "app/OrvTestApp.h"
#include "app/RunViewer.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <stdlib.h>
#include <windows.h>
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const int argc = __argc;
    char** const argv = __argv;
#else
int main(int argc, char** argv)
{
#endif
    const Result<CommandLine> read = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!read)
    {
        std::cerr << "orvtest: " << read.why() << "\n" << viewerUsage;
        return exitUsage;
    }
    const CommandLine& commandLine = *read;
    if (commandLine.help)
    {
        std::cout << viewerUsage;
        return exitSuccess;
    }
    if (commandLine.version)
    {
        std::cout << "orvtest " << orvtestVersion << "\n";
        return exitSuccess;
    }
    OrvTestApp app;
    return runViewer(app, commandLine);
}
