#pragma once

// SHA-256 (OpenSSL's libcrypto) of bytes given in parts: a fingerprint that other bytes cannot
// be made to match.

#include <array>
#include <string_view>

struct evp_md_ctx_st;

class Sha256 {
  public:
    using Digest = std::array<unsigned char, 32>;

    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void add(std::string_view bytes);
    // The digest of everything added; nothing more may be added after.
    Digest finish();

    static Digest of(std::string_view bytes);

  private:
    evp_md_ctx_st* context_;
};
