// Little- and big-endian fields of the binary formats (BMP, shapefile),
// independent of the machine's own byte order.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace byte_order {

inline std::uint32_t get_le32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int32_t get_le32_signed(const unsigned char* p)
{
    return static_cast<std::int32_t>(get_le32(p));
}

inline std::uint16_t get_le16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t get_be32(const unsigned char* p)
{
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

inline double get_le_double(const unsigned char* p)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline float get_le_float(const unsigned char* p)
{
    const std::uint32_t bits = get_le32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void put_le16(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline void put_le32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

inline void put_be32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * (3 - i)));
}

inline void put_le_double(unsigned char* p, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(bits >> (8 * i));
}

inline void put_le_float(unsigned char* p, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    put_le32(p, bits);
}

// Appending forms, for building a file's bytes in memory.
inline void append_le32(std::vector<unsigned char>& out, std::uint32_t v)
{
    const std::size_t o = out.size();
    out.resize(o + 4);
    put_le32(out.data() + o, v);
}

inline void append_be32(std::vector<unsigned char>& out, std::uint32_t v)
{
    const std::size_t o = out.size();
    out.resize(o + 4);
    put_be32(out.data() + o, v);
}

inline void append_le_double(std::vector<unsigned char>& out, double v)
{
    const std::size_t o = out.size();
    out.resize(o + 8);
    put_le_double(out.data() + o, v);
}

}  // namespace byte_order
