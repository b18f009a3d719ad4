#pragma once

#include <sys/resource.h>

namespace dorvan::bench {

// The process's peak resident memory so far, in KB.
inline long PicoMemoriaKB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace dorvan::bench
