#include "core/digest.h"

#include <gtest/gtest.h>

#include <string>

#include "korvel.h"
#include "temp_dir.h"

namespace {

using korvel::testing::TempDir;

std::string OfText(const char *text) {
    char digest[korvel::kDigestSize];
    korvel::TextDigest(text, digest);
    return digest;
}

TEST(DigestTest, Rfc1321Suite) {
    struct Case {
        const char *text;
        const char *md5;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto &c : cases) EXPECT_EQ(OfText(c.text), c.md5) << '"' << c.text << '"';
    EXPECT_EQ(OfText(nullptr), OfText(""));
}

TEST(DigestTest, FilesAreDigestedWhole) {
    TempDir dir;
    for (size_t size : {size_t{0}, size_t{1}, size_t{1023}, size_t{1024}, size_t{1025}, size_t{70000}}) {
        std::string content;
        for (size_t i = 0; i < size; ++i) content.push_back(static_cast<char>(i * 7 + 3));
        std::string path = dir.Write("file" + std::to_string(size), content);
        char from_file[korvel::kDigestSize];
        char from_data[korvel::kDigestSize];
        ASSERT_EQ(korvel::FileDigest(path.c_str(), from_file), 0);
        korvel::DataDigest(content.data(), content.size(), from_data);
        EXPECT_STREQ(from_file, from_data) << size << " bytes";
    }
}

class CalcFileMd5Test : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ZR_QM_Init(), 0); }
    void TearDown() override { ZR_QM_DeInit(); }
    korvel::testing::WorkingDirectory cwd_;
};

TEST_F(CalcFileMd5Test, DigestOfAFile) {
    std::string path = cwd_.Write("image.bin", "abc");
    char md5[33] = {0};
    EXPECT_EQ(ZR_QM_CalcFileMD5(md5, path.c_str()), 0);
    EXPECT_STREQ(md5, "900150983cd24fb0d6963f7d28e17f72");
}

TEST_F(CalcFileMd5Test, FailuresLeaveTheBufferUnchanged) {
    char md5[33] = "untouched";
    EXPECT_EQ(ZR_QM_CalcFileMD5(md5, cwd_.File("missing.bin").c_str()), -1);
    EXPECT_STREQ(md5, "untouched");
    EXPECT_EQ(ZR_QM_CalcFileMD5(md5, cwd_.Path().c_str()), -1) << "a folder is no file";
    EXPECT_STREQ(md5, "untouched");
    EXPECT_EQ(ZR_QM_CalcFileMD5(md5, nullptr), ZR_QM_ERR_PARAM);
    EXPECT_EQ(ZR_QM_CalcFileMD5(nullptr, "x"), ZR_QM_ERR_PARAM);
    EXPECT_STREQ(md5, "untouched");
}

} // namespace
