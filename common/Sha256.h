/*
 * SHA-256 (FIPS 180-4) of a byte string, written out here so that the core
 * needs no cryptographic library: the payment journal records the digest
 * of each payment file as it was put in place, so that a file found later
 * can be told to be, or not to be, the one the bank was sent.
 */
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace paylode {

// The digest of bytes fed in pieces.
class CSha256 {
public:
    CSha256();
    void Update(std::string_view bytes);
    // The digest of every byte fed, as 64 lower-case hexadecimal digits. The
    // object is spent afterwards.
    std::string HexDigest();

private:
    void Compress(const unsigned char* block);

    std::array<std::uint32_t, 8> state_;
    std::array<unsigned char, 64> block_ = {};
    std::size_t blockUsed_ = 0;
    std::uint64_t totalBytes_ = 0;
};

// The digest of `bytes`, as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace paylode
