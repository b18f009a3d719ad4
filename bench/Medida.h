#pragma once

#include <sys/resource.h>

#include <chrono>

namespace dorvan::bench {

// The process's peak resident memory so far, in KB.
inline long PicoMemoriaKB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Seconds from inicio until now.
inline double Segundos(std::chrono::steady_clock::time_point inicio) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
}

} // namespace dorvan::bench
