/* sha256.cpp -- SHA-256 (FIPS 180-4) over a file (see sha256.h). No state
 * beyond the caller's Sha256_t.
 */
#include "config/sha256.h"

#include <cstdio>

static constexpr std::uint32_t K[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

static std::uint32_t rotr(std::uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

static void compress(Sha256_t *s)
{
    std::uint32_t w[64];
    for (int i = 0; i < 16; i++)
        w[i] = static_cast<std::uint32_t>(s->Block[4 * i]) << 24 |
               static_cast<std::uint32_t>(s->Block[4 * i + 1]) << 16 |
               static_cast<std::uint32_t>(s->Block[4 * i + 2]) << 8 | s->Block[4 * i + 3];
    for (int i = 16; i < 64; i++) {
        const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = s->H[0], b = s->H[1], c = s->H[2], d = s->H[3];
    std::uint32_t e = s->H[4], f = s->H[5], g = s->H[6], h = s->H[7];
    for (int i = 0; i < 64; i++) {
        const std::uint32_t t1 =
            h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + K[i] + w[i];
        const std::uint32_t t2 =
            (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    s->H[0] += a;
    s->H[1] += b;
    s->H[2] += c;
    s->H[3] += d;
    s->H[4] += e;
    s->H[5] += f;
    s->H[6] += g;
    s->H[7] += h;
}

void SHA256_Init(Sha256_t *s)
{
    static constexpr std::uint32_t Start[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                               0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    for (int i = 0; i < 8; i++)
        s->H[i] = Start[i];
    s->Bytes = 0;
}

void SHA256_Update(Sha256_t *s, const void *data, std::size_t n)
{
    const auto *p = static_cast<const unsigned char *>(data);
    for (std::size_t i = 0; i < n; i++) {
        s->Block[s->Bytes % 64] = p[i];
        if (++s->Bytes % 64 == 0) compress(s);
    }
}

void SHA256_FinalHex(Sha256_t *s, char (&hex)[SHA256_HEX_LEN])
{
    const std::uint64_t bits = s->Bytes * 8;
    const unsigned char one = 0x80, zero = 0;
    SHA256_Update(s, &one, 1);
    while (s->Bytes % 64 != 56)
        SHA256_Update(s, &zero, 1);
    for (int i = 7; i >= 0; i--) {
        const auto b = static_cast<unsigned char>(bits >> (8 * i));
        SHA256_Update(s, &b, 1);
    }
    for (int i = 0; i < 8; i++)
        std::snprintf(hex + 8 * i, 9, "%08x", static_cast<unsigned>(s->H[i]));
}

int SHA256_File(const char *path, char (&hex)[SHA256_HEX_LEN])
{
    std::FILE *f = std::fopen(path, "rb");
    if (f == nullptr) return -1;
    Sha256_t s;
    SHA256_Init(&s);
    unsigned char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        SHA256_Update(&s, buf, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return -1;
    SHA256_FinalHex(&s, hex);
    return 0;
}
