#pragma once
// The splay-tree code as a plain loop over memory buffers: the yardstick the
// coder's speed is measured against. Not used by the program.

#include <cstddef>
#include <cstdint>

namespace qrp::bench {

struct ReferenceTree {
    std::uint16_t Left[256], Right[256];
    std::uint8_t Up[513];

    ReferenceTree()
    {
        for (unsigned i = 1; i <= 512; ++i)
            Up[i] = static_cast<std::uint8_t>((i - 1) / 2);
        for (unsigned i = 0; i < 256; ++i) {
            Left[i] = static_cast<std::uint16_t>(2 * i + 1);
            Right[i] = static_cast<std::uint16_t>(2 * i + 2);
        }
    }

    void Splay(unsigned x)
    {
        while (x != 0) {
            const unsigned p = Up[x];
            if (p == 0)
                return;
            const unsigned g = Up[p];
            unsigned s = Left[g];
            if (p == s) {
                s = Right[g];
                Right[g] = static_cast<std::uint16_t>(x);
            } else {
                Left[g] = static_cast<std::uint16_t>(x);
            }
            if (x == Left[p])
                Left[p] = static_cast<std::uint16_t>(s);
            else
                Right[p] = static_cast<std::uint16_t>(s);
            Up[x] = static_cast<std::uint8_t>(g);
            Up[s] = static_cast<std::uint8_t>(p);
            x = g;
        }
    }
};

// Returns the code length in bytes; out must hold 33 bytes per input byte.
inline std::size_t ReferenceEncode(const std::uint8_t* in, std::size_t n, std::uint8_t* out)
{
    ReferenceTree t;
    std::size_t o = 0;
    unsigned bit = 0, acc = 0;
    bool path[256];
    for (std::size_t k = 0; k < n; ++k) {
        unsigned depth = 0;
        unsigned x = in[k] + 256u;
        do {
            const unsigned p = t.Up[x];
            path[depth++] = t.Right[p] == x;
            x = p;
        } while (x != 0);
        while (depth > 0) {
            acc |= static_cast<unsigned>(path[--depth]) << bit;
            if (++bit == 8) {
                out[o++] = static_cast<std::uint8_t>(acc);
                bit = 0;
                acc = 0;
            }
        }
        t.Splay(in[k] + 256u);
    }
    if (bit != 0)
        out[o++] = static_cast<std::uint8_t>(acc);
    return o;
}

inline void ReferenceDecode(const std::uint8_t* in, std::uint8_t* out, std::size_t n)
{
    ReferenceTree t;
    unsigned bit = 7, byte = 0;
    for (std::size_t k = 0; k < n; ++k) {
        unsigned i = 0;
        do {
            if (bit == 7) {
                byte = *in++;
                bit = 0;
            } else {
                ++bit;
            }
            i = (byte >> bit) & 1 ? t.Right[i] : t.Left[i];
        } while (i < 256);
        out[k] = static_cast<std::uint8_t>(i - 256);
        t.Splay(i);
    }
}

}  // namespace qrp::bench
