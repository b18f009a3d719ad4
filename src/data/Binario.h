#pragma once
// Little-endian numbers as the data files store them (DBF and DBC headers).
#include <cstdint>

namespace dorvan {

inline std::uint16_t Le16(const void* origem) {
    const auto* p = static_cast<const unsigned char*>(origem);
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t Le32(const void* origem) {
    const auto* p = static_cast<const unsigned char*>(origem);
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void Poe16(void* destino, unsigned v) {
    auto* p = static_cast<unsigned char*>(destino);
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline void Poe32(void* destino, std::uint32_t v) {
    auto* p = static_cast<unsigned char*>(destino);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

} // namespace dorvan
