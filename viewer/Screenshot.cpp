#include "viewer/Screenshot.h"

#include <sys/stat.h>

std::string screenshotName(long number)
{
    return "screenshot_" + std::to_string(number) + ".png";
}

long firstFreeScreenshotNumber(long from)
{
    long number = from;
    struct stat status;
    while (::lstat(screenshotName(number).c_str(), &status) == 0)
        ++number;
    return number;
}
