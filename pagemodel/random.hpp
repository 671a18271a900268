// The generator behind seeded problems and the Random policy: SplitMix64, whose numbers depend
// only on the seed, so that a seed gives the same problem with every compiler and C++ library
// (the standard distributions do not promise that).
#pragma once

#include <cstdint>

namespace pagemodel {

class Generator {
public:
    explicit Generator(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = state_ += 0x9e3779b97f4a7c15U;
        z = (z ^ (z >> 30U)) * 0xbf58476d1ce4e5b9U;
        z = (z ^ (z >> 27U)) * 0x94d049bb133111ebU;
        return z ^ (z >> 31U);
    }

    // A number from 0 to bound - 1, each as likely: draws that would favour the low numbers
    // (the last 2^64 mod bound values) are drawn again.
    std::uint64_t below(std::uint64_t bound) {
        const std::uint64_t skipped = (0 - bound) % bound;
        std::uint64_t drawn = next();
        while (drawn < skipped) drawn = next();
        return drawn % bound;
    }

private:
    std::uint64_t state_;
};

}  // namespace pagemodel
