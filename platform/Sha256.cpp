#include "platform/Sha256.h"

#include <new>
#include <openssl/evp.h>

Sha256::Sha256() : context_(EVP_MD_CTX_new()) {
    if (context_ == nullptr || EVP_DigestInit_ex(context_, EVP_sha256(), nullptr) != 1) {
        EVP_MD_CTX_free(context_);
        throw std::bad_alloc();
    }
}

Sha256::~Sha256() {
    EVP_MD_CTX_free(context_);
}

void Sha256::add(std::string_view bytes) {
    EVP_DigestUpdate(context_, bytes.data(), bytes.size());
}

Sha256::Digest Sha256::finish() {
    Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_, digest.data(), &length);
    return digest;
}

Sha256::Digest Sha256::of(std::string_view bytes) {
    Sha256 sha;
    sha.add(bytes);
    return sha.finish();
}
