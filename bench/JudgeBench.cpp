// Judging a large system file as a reload does, sound and refused: a file of
// 30,000 bodies, then the same file with every Model misspelt, so that every
// body is an error. Judging must stay linear in the file: the refusal takes
// no longer than judging the sound file.
//
//   orvtest-bench-judge [bodies] [repeats]   (scripts/bench runs it)

#include "config/SettingsJudge.h"
#include "config/SystemJudge.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
std::string systemText(int bodies, const char* model)
{
    std::string text;
    for (int i = 0; i < bodies; ++i)
    {
        char section[512];
        std::snprintf(section, sizeof section,
                      "[B%06d]\nName=b%d\nParent=Sun\nModel=%s\nMaterial=default\nSize=1\nOrbitRadius=%d\n"
                      "OrbitPeriod=1\nPitchPeriod=0\nYawPeriod=0.5\nRollPeriod=0\n",
                      i, i, model, 1000 + i % 500);
        text += section;
    }
    return text;
}

double judgeMs(const std::string& text, int repeats, std::size_t& problems)
{
    std::vector<double> ms;
    for (int n = 0; n < repeats; ++n)
    {
        const auto start = std::chrono::steady_clock::now();
        const SystemVerdict verdict = judgeSystemText("bench.cfg", text, [](const std::string& mesh) {
            return mesh == "SphereMesh_4x6.Mesh";
        });
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        problems = verdict.problems.size();
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}
}

int main(int argc, char** argv)
{
    const int bodies = argc > 1 ? std::atoi(argv[1]) : 30000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 3;
    std::size_t soundProblems = 0;
    std::size_t refusedProblems = 0;
    const double sound = judgeMs(systemText(bodies, "SphereMesh_4x6"), repeats, soundProblems);
    const double refused = judgeMs(systemText(bodies, "SphereMesh_4x5"), repeats, refusedProblems);
    std::printf("| file of %d bodies | judged in ms | problems |\n|---|---:|---:|\n", bodies);
    std::printf("| sound | %.0f | %zu |\n| every Model misspelt | %.0f | %zu |\n", sound, soundProblems, refused,
                refusedProblems);
    return 0;
}
