// Command-line options of the benchmark programs: "--name value" pairs.
#pragma once

#include <cstdlib>
#include <cstring>

namespace korvel::bench {

// The value given for `name`, or `fallback`.
inline int IntOption(int argc, char **argv, const char *name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return std::atoi(argv[i + 1]);
    return fallback;
}

} // namespace korvel::bench
