#include "core/digest.h"

#include <openssl/evp.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace korvel {
namespace {

struct ContextDeleter {
    void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
};

class Md5 {
public:
    Md5() : context_(EVP_MD_CTX_new()) {
        if (context_) EVP_DigestInit_ex(context_.get(), EVP_md5(), nullptr);
    }
    void Update(const void *data, size_t size) {
        if (context_ && size > 0) EVP_DigestUpdate(context_.get(), data, size);
    }
    void Finish(char (&digest)[kDigestSize]) {
        unsigned char raw[EVP_MAX_MD_SIZE] = {0};
        unsigned int length = 0;
        if (context_) EVP_DigestFinal_ex(context_.get(), raw, &length);
        static const char kHex[] = "0123456789abcdef";
        for (unsigned int i = 0; i < 16; ++i) {
            digest[2 * i] = kHex[raw[i] >> 4];
            digest[2 * i + 1] = kHex[raw[i] & 0x0f];
        }
        digest[32] = '\0';
    }

private:
    std::unique_ptr<EVP_MD_CTX, ContextDeleter> context_;
};

} // namespace

void DataDigest(const void *data, size_t size, char (&digest)[kDigestSize]) {
    Md5 md5;
    md5.Update(data, size);
    md5.Finish(digest);
}

void TextDigest(const char *text, char (&digest)[kDigestSize]) {
    if (text == nullptr) text = "";
    DataDigest(text, std::strlen(text), digest);
}

int FileDigest(const char *path, char (&digest)[kDigestSize]) {
    if (path == nullptr) {
        std::printf("parameter is null.\n");
        return -1;
    }
    // A folder opens for reading on some systems, and its reads then fail at
    // once: its "digest" would be that of an empty file, given as success.
    std::error_code error;
    const bool folder = std::filesystem::is_directory(path, error);
    std::FILE *file = folder ? nullptr : std::fopen(path, "rb");
    if (file == nullptr) {
        std::printf("open file %s fialed, reason:%s", path, std::strerror(folder ? EISDIR : errno));
        return -1;
    }
    Md5 md5;
    unsigned char piece[1024];
    size_t n = 0;
    // A read error ends the input like the end of the file.
    while ((n = std::fread(piece, 1, sizeof piece, file)) > 0) md5.Update(piece, n);
    std::fclose(file);
    md5.Finish(digest);
    return 0;
}

} // namespace korvel
