/* sha256.h -- the SHA-256 digest of a file, as the production record names
 * the configuration file that was programmed: whoever reads the log can tell
 * which version of the file each device got.
 */
#pragma once

#include <cstddef>
#include <cstdint>

/* Hex digits of a digest and the closing NUL. */
constexpr int SHA256_HEX_LEN = 65;

struct Sha256_t {
    std::uint32_t H[8];
    std::uint64_t Bytes;     /* taken in so far */
    unsigned char Block[64]; /* the block being filled */
};

void SHA256_Init(Sha256_t *s);
void SHA256_Update(Sha256_t *s, const void *data, std::size_t n);
/* Ends the digest and writes it as 64 lower-case hex digits. */
void SHA256_FinalHex(Sha256_t *s, char (&hex)[SHA256_HEX_LEN]);
/* The digest of the file at path; 0, or -1 (errno set) when it cannot be read. */
int SHA256_File(const char *path, char (&hex)[SHA256_HEX_LEN]);
