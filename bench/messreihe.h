#pragma once
#include <QElapsedTimer>
#include <algorithm>
#include <functional>
#include <vector>

// Median and maximum, in milliseconds, of a measurement run repeatedly.
struct Messreihe {
    double median = 0;
    double max = 0;
};

inline Messreihe messen(int wiederholungen, const std::function<void()>& lauf) {
    std::vector<double> z;
    for (int i = 0; i < wiederholungen; ++i) {
        QElapsedTimer t;
        t.start();
        lauf();
        z.push_back(t.nsecsElapsed() / 1e6);
    }
    if (z.empty()) return {};
    std::sort(z.begin(), z.end());
    return {z[z.size() / 2], z.back()};
}
