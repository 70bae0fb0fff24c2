#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the run as a finding when an invariant does not hold; libFuzzer then keeps the input
// that broke it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
