// Process entry: read the settings, read the system, run the viewer, free the
// bodies, shut the engine down.

#include "app/OrvTestApp.h"
#include "app/RunViewer.h"

#ifdef _WIN32
#include <windows.h>
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
#else
int main()
#endif
{
    OrvTestApp app;
    return runViewer(app);
}
