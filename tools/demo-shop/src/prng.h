#pragma once

#include <QtGlobal>

namespace quillerby::demo {

// SplitMix64: tiny, fast and fully specified, so generated shops are the same on every platform and Qt
// version (std::rand and the standard distributions are not).
class Prng {
public:
    explicit Prng(quint64 seed) : m_state(seed) {}

    quint64 next() {
        quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // 0 <= result < bound (bound > 0); the tiny modulo bias does not matter for demo data.
    int below(int bound) { return int(next() % quint64(bound)); }
    qint64 below64(qint64 bound) { return qint64(next() % quint64(bound)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double p) { return uniform() < p; }
    template <typename T, size_t N> const T& pick(const T (&items)[N]) { return items[below(int(N))]; }
    // Index into `weights` (non-negative, not all zero), drawn in proportion to the weights.
    template <size_t N> int weighted(const int (&weights)[N]) {
        int total = 0;
        for (int w : weights)
            total += w;
        int r = below(total);
        for (size_t i = 0; i < N; ++i) {
            if (r < weights[i])
                return int(i);
            r -= weights[i];
        }
        return int(N - 1);
    }

    // A seed for an independent stream derived from a base seed and an index.
    static quint64 derive(quint64 base, quint64 index) {
        Prng p(base ^ (index * 0xd1342543de82ef95ULL));
        p.next();
        return p.next();
    }

private:
    quint64 m_state;
};

} // namespace quillerby::demo
