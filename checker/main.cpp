// orvtest-check: explains what the viewer will do with its settings and system files.

#include "checker/Checker.h"

#include <iostream>

int main(int argc, char** argv)
{
    return runChecker(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
