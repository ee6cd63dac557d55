#pragma once

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <vector>

// The median of repeated runs; each run returns its own figure, so that what
// a run prepares stays outside the time it reports.
template<typename Run>
double MedianOf(int runs, Run &&run)
{
    std::vector<double> figures;
    figures.reserve(runs);
    for (int i = 0; i < runs; ++i)
        figures.push_back(run(i));
    std::sort(figures.begin(), figures.end());
    const size_t middle = figures.size() / 2;
    return figures.size() % 2 ? figures[middle] : (figures[middle - 1] + figures[middle]) / 2;
}

// Milliseconds that the given work takes.
template<typename Work>
double TimeMs(Work &&work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// One result line: operation, number of entries, median, unit.
inline void Report(const char *operation, int entries, double median, const char *unit)
{
    std::printf("%s %d %.*f %s\n", operation, entries, median < 10 ? 2 : median < 100 ? 1 : 0, median, unit);
    std::fflush(stdout);
}

// Progress goes to standard error, so that standard output holds the result
// lines only.
void Progress(const QString &text);

// Why the benchmark cannot go on. Thrown from the benchmark's own code only,
// never through Qt's, and caught in main(), so that the temporary files and
// the X server go away with it.
struct BenchFailure {
    QString reason;
};

[[noreturn]] inline void Fail(const QString &reason)
{
    throw BenchFailure{reason};
}
