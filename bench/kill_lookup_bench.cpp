// The lookups of one kill tick: 100 window titles searched in kill lists of
// 10, 1,000 and 10,000 entries. Prints the median time per tick.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "kill_lookup.h"
#include "model/unitProcessKillList.h"

namespace {
std::string Title(const char* kind, int n)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s window %05d - Special offer, click here!", kind, n);
    return text;
}

// The first tick meets every title for the first time; later ticks see the
// same titles again, as the kill timer does while the desktop stays the same.
double MedianTickMicroseconds(const TWindowList& list, const std::vector<std::string>& titles, int& hits,
                              double& firstTick)
{
    std::vector<double> samples;
    for (int round = 0; round < 201; ++round) {
        int found = 0;
        const auto start = std::chrono::steady_clock::now();
        for (const std::string& title : titles)
            found += IsInKillList(list, title) ? 1 : 0;
        const auto stop = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
        if (round == 0)
            firstTick = samples.back();
        hits = found;
    }
    std::nth_element(samples.begin(), samples.begin() + 100, samples.end());
    return samples[100];
}
}  // namespace

int main()
{
    std::printf("comparison: %s\n", KillListCompareName());
    for (int size : {10, 1000, 10000}) {
        TWindowList list(KillListCompare());
        for (int i = 0; i < size; ++i)
            list.Add(Title("Popup", i * 2));
        // Every other title is listed (in another letter case), the rest are not.
        std::vector<std::string> titles;
        for (int i = 0; i < 100; ++i) {
            std::string title = Title(i % 2 ? "Editor" : "POPUP", (i * 2) % (size * 2));
            titles.push_back(title);
        }
        int hits = 0;
        double first = 0;
        const double micros = MedianTickMicroseconds(list, titles, hits, first);
        std::printf("kill list %5d entries: 100 lookups per tick, %3d hits, first tick %8.2f us, median %8.2f us\n",
                    size, hits, first, micros);
    }
    return 0;
}
