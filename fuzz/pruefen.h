#pragma once
// Shared by the fuzz targets: a broken invariant ends the run at once, under
// libFuzzer (which keeps the input) as in the corpus replay of the tests.
#include <cstdio>
#include <cstdlib>

#define PRUEFE(bedingung)                                                                 \
    do {                                                                                  \
        if (!(bedingung)) {                                                               \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #bedingung); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)
