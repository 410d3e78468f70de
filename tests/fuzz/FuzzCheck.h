#pragma once
// What every fuzz target shares: a failed invariant aborts, so libFuzzer (or
// the replay driver) keeps the input that broke it.
#include <cstdio>
#include <cstdlib>

#define QS_FUZZ_CHECK(condition)                                                              \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)
