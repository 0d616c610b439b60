#pragma once

#include <QStringList>

#include <QElapsedTimer>
#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

// The works run in turn, round after round; per round, the microseconds per call of each.
// Short rounds taken in turn let a load on the machine that comes and goes weigh on all the
// works alike, and a ratio is then taken within each round.
using Rounds = std::vector<std::vector<double>>;

inline Rounds measure(const std::vector<std::function<void()>>& works, int calls,
                      int roundCount = 31) {
    Rounds rounds;
    for (int r = 0; r < roundCount; ++r) {
        std::vector<double>& round = rounds.emplace_back();
        for (const std::function<void()>& work : works) {
            QElapsedTimer timer;
            timer.start();
            for (int i = 0; i < calls; ++i) work();
            round.push_back(double(timer.nsecsElapsed()) / 1000.0 / calls);
        }
    }
    return rounds;
}

// As measure, each call timed on its own after an untimed step of its work's own (emptying a
// cache, say).
inline Rounds measureEach(const std::vector<std::function<void()>>& works,
                          const std::vector<std::function<void()>>& before, int calls,
                          int roundCount = 31) {
    Rounds rounds;
    for (int r = 0; r < roundCount; ++r) {
        std::vector<double>& round = rounds.emplace_back();
        for (size_t w = 0; w < works.size(); ++w) {
            qint64 nanoseconds = 0;
            for (int i = 0; i < calls; ++i) {
                before[w]();
                QElapsedTimer timer;
                timer.start();
                works[w]();
                nanoseconds += timer.nsecsElapsed();
            }
            round.push_back(double(nanoseconds) / 1000.0 / calls);
        }
    }
    return rounds;
}

// Keeps both cores of the machine busy while it lives: a load for the figures that must hold
// on a busy machine.
class BusyCores {
public:
    BusyCores() {
        for (int i = 0; i < 2; ++i)
            m_loops.emplace_back([this] {
                volatile unsigned long n = 0;
                while (m_busy.load(std::memory_order_relaxed)) n = n + 1;
            });
    }
    ~BusyCores() {
        m_busy = false;
        for (std::thread& t : m_loops) t.join();
    }

private:
    std::atomic<bool> m_busy{true};
    std::vector<std::thread> m_loops;
};

// The median over the rounds of what the function makes of one round.
inline double median(const Rounds& rounds,
                     const std::function<double(const std::vector<double>&)>& of) {
    std::vector<double> values;
    for (const std::vector<double>& round : rounds) values.push_back(of(round));
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One work's median, and the median of the ratio of two works within a round.
inline double medianOf(const Rounds& rounds, size_t work) {
    return median(rounds, [work](const std::vector<double>& r) { return r[work]; });
}
inline double medianRatio(const Rounds& rounds, size_t over, size_t under) {
    return median(rounds, [=](const std::vector<double>& r) { return r[over] / r[under]; });
}

// Runs statement texts in turn on a database, one per call; `full` says whether an answer is
// the page it should be, and a wrong one ends the benchmark.
template <class Database, class Full>
struct TextCaller {
    Database& db;
    QStringList texts;
    Full full;
    qsizetype next = 0;

    void operator()() {
        const QString& text = texts[next++ % texts.size()];
        if (!full(db.execute(text))) qFatal("not the page it should be: %s", qPrintable(text));
    }
};
