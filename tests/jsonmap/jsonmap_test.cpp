#include "jsonmap.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "core/json_schema.h"
#include "temp_dir.h"

namespace {

using korvel::testing::TempDir;

struct Inner {
    char name[8];
    int32_t value;
};

struct Outer {
    char title[6];
    int32_t number;
    Inner inner;
    int32_t item_count;
    Inner items[3];
};

const JsonFieldDesc kInner[] = {
    JM_TEXT(Inner, name, "name", JSONMAP_OPTIONAL),
    JM_INT(Inner, value, "value", JSONMAP_OPTIONAL),
    JM_END,
};

const JsonFieldDesc kInnerNeedsName[] = {
    JM_TEXT(Inner, name, "name", JSONMAP_REQUIRED),
    JM_END,
};

JsonFieldDesc kOuter[] = {
    JM_TEXT(Outer, title, "title", JSONMAP_OPTIONAL),
    JM_INT(Outer, number, "number", JSONMAP_OPTIONAL),
    JM_OBJECT(Outer, inner, "inner", JSONMAP_OPTIONAL, kInner),
    JM_INT(Outer, item_count, "count", JSONMAP_OPTIONAL),
    JM_ARRAY(Outer, items, Inner, "items", JSONMAP_OPTIONAL, kInner, 3),
    JM_END,
};

struct FreeDeleter {
    void operator()(char *p) const { std::free(p); }
};
using Text = std::unique_ptr<char, FreeDeleter>;

Outer Zeroed() {
    Outer o;
    std::memset(&o, 0, sizeof o);
    return o;
}

TEST(JsonMapTest, DescriptorHasNineNaturallyAlignedWords) {
    EXPECT_EQ(offsetof(JsonFieldDesc, record_size), 0u);
    EXPECT_EQ(offsetof(JsonFieldDesc, kind), 4u);
    EXPECT_EQ(offsetof(JsonFieldDesc, key), 8u);
    EXPECT_EQ(offsetof(JsonFieldDesc, sub) % alignof(void *), 0u);
    EXPECT_LT(offsetof(JsonFieldDesc, sub), offsetof(JsonFieldDesc, count));
    EXPECT_LT(offsetof(JsonFieldDesc, count), offsetof(JsonFieldDesc, element_kind));
    EXPECT_EQ(sizeof(JsonFieldDesc), sizeof(void *) == 8 ? 48u : 36u);
}

TEST(JsonMapTest, ReadFillsPresentKeysAndLeavesTheOthers) {
    Outer o = Zeroed();
    std::strcpy(o.title, "keep");
    o.number = 77;
    ASSERT_EQ(JsonString2Obj(kOuter, R"({"inner":{"name":"in","value":-5},"extra":[1,2]})", &o), 0);
    EXPECT_STREQ(o.title, "keep");
    EXPECT_EQ(o.number, 77);
    EXPECT_STREQ(o.inner.name, "in");
    EXPECT_EQ(o.inner.value, -5);
}

TEST(JsonMapTest, PresenceRules) {
    struct Case {
        const char *text;
        bool ok;
    } cases[] = {
        {R"({"name":"x"})", true},
        {R"({})", false},                 // required key missing
        {R"({"name":5})", false},         // wrong type counts as missing
        {R"({"name":null})", false},
        {R"({"Name":"x"})", false},       // keys match exactly
        {R"(["name"])", false},           // root must be an object
        {R"({"name":"x"} trailing)", false},
        {R"(  {"name":"x"}  )", true},
        {"", false},
        {"{\"name\":\"x\"", false},       // truncated
    };
    for (const auto &c : cases) {
        Inner in{};
        EXPECT_EQ(JsonString2Obj(kInnerNeedsName, c.text, &in) == 0, c.ok) << c.text;
    }
    Inner in{};
    EXPECT_LT(JsonString2Obj(kInnerNeedsName, nullptr, &in), 0);
    EXPECT_LT(JsonString2Obj(nullptr, "{}", &in), 0);
}

TEST(JsonMapTest, RequiredKeyInsideNestedObjectFailsTheWhole) {
    struct Wrap {
        Inner inner;
    };
    const JsonFieldDesc table[] = {JM_OBJECT(Wrap, inner, "inner", JSONMAP_OPTIONAL, kInnerNeedsName), JM_END};
    Wrap w{};
    EXPECT_EQ(JsonString2Obj(table, R"({"other":1})", &w), 0);           // optional object missing
    EXPECT_LT(JsonString2Obj(table, R"({"inner":{"value":1}})", &w), 0);  // present, lacks its key
    EXPECT_EQ(JsonString2Obj(table, R"({"inner":{"name":"ok"}})", &w), 0);
    EXPECT_STREQ(w.inner.name, "ok");
}

TEST(JsonMapTest, TextsLongerThanTheirFieldAreCut) {
    Outer o = Zeroed();
    std::memset(&o.number, 0x5a, sizeof o.number); // guard right after title
    ASSERT_EQ(JsonString2Obj(kOuter, R"({"title":"abcdefghij"})", &o), 0);
    EXPECT_STREQ(o.title, "abcde");
    int32_t guard;
    std::memset(&guard, 0x5a, sizeof guard);
    EXPECT_EQ(o.number, guard);
}

TEST(JsonMapTest, NumbersAreClampedAndTruncated) {
    struct Case {
        const char *text;
        int32_t expected;
    } cases[] = {
        {R"({"value":2147483647})", 2147483647},
        {R"({"value":2147483648})", 2147483647},
        {R"({"value":1e30})", 2147483647},
        {R"({"value":-2147483649})", -2147483647 - 1},
        {R"({"value":3.9})", 3},
        {R"({"value":-3.9})", -3},
    };
    for (const auto &c : cases) {
        Inner in{};
        ASSERT_EQ(JsonString2Obj(kInner, c.text, &in), 0) << c.text;
        EXPECT_EQ(in.value, c.expected) << c.text;
    }
    Inner in{};
    in.value = 9;
    ASSERT_EQ(JsonString2Obj(kInner, R"({"value":"12"})", &in), 0);
    EXPECT_EQ(in.value, 9); // a string is no number
}

TEST(JsonMapTest, ArrayReadStopsAtTheDescriptorCount) {
    Outer o = Zeroed();
    const char *text = R"({"items":[{"name":"a","value":1},{"name":"b"},7,{"name":"d"},{"name":"e"}]})";
    ASSERT_EQ(JsonString2Obj(kOuter, text, &o), 0);
    EXPECT_STREQ(o.items[0].name, "a");
    EXPECT_EQ(o.items[0].value, 1);
    EXPECT_STREQ(o.items[1].name, "b");
    EXPECT_STREQ(o.items[2].name, ""); // not an object: left as it was

    JsonFieldDesc table[] = {JM_ARRAY(Outer, items, Inner, "items", JSONMAP_OPTIONAL, kInner, 1), JM_END};
    Outer one = Zeroed();
    ASSERT_EQ(JsonString2Obj(table, text, &one), 0);
    EXPECT_STREQ(one.items[0].name, "a");
    EXPECT_STREQ(one.items[1].name, "");
}

TEST(JsonMapTest, WriteIsCompactInSchemaOrderAndBoundedByCount) {
    Outer o = Zeroed();
    std::strcpy(o.title, "t");
    o.number = -12;
    std::strcpy(o.inner.name, "in");
    o.item_count = 2;
    std::strcpy(o.items[0].name, "a");
    std::strcpy(o.items[1].name, "b");
    std::strcpy(o.items[2].name, "never");
    JsonFieldDesc table[6];
    std::memcpy(table, kOuter, sizeof table);
    table[4].count = 2;
    Text text(JsonObj2String(table, &o));
    ASSERT_TRUE(text);
    EXPECT_STREQ(text.get(), R"({"title":"t","number":-12,"inner":{"name":"in","value":0},"count":2,)"
                             R"("items":[{"name":"a","value":0},{"name":"b","value":0}]})");
}

TEST(JsonMapTest, WriteReadsNoFurtherThanAFullField) {
    Outer o = Zeroed();
    std::memcpy(o.title, "abcdef", 6); // no terminator inside the field
    o.number = 0x41414141;
    Text text(JsonObj2String(kOuter, &o));
    ASSERT_TRUE(text);
    EXPECT_NE(std::strstr(text.get(), R"("title":"abcdef")"), nullptr);
}

TEST(JsonMapTest, CodePage936BytesPassThroughBothWays) {
    // "默认分组" in code page 936, plus a trail byte 0x5C that looks like a backslash.
    const std::string gbk = "\xC4\xAC\xC8\xCF\xB7\xD6\xD7\xE9";
    const std::string tricky = "\x81\x5C\xFE";
    struct Rec {
        char a[32];
        char b[32];
    } rec{};
    const JsonFieldDesc table[] = {JM_TEXT(Rec, a, "a", JSONMAP_OPTIONAL), JM_TEXT(Rec, b, "b", JSONMAP_OPTIONAL),
                                   JM_END};
    std::strcpy(rec.a, gbk.c_str());
    std::strcpy(rec.b, tricky.c_str());
    Text text(JsonObj2String(table, &rec));
    ASSERT_TRUE(text);
    EXPECT_NE(std::string(text.get()).find(gbk), std::string::npos); // raw bytes, no \u escapes

    Rec back{};
    ASSERT_EQ(JsonString2Obj(table, text.get(), &back), 0);
    EXPECT_EQ(std::string(back.a), gbk);
    EXPECT_EQ(std::string(back.b), tricky);

    Rec raw{};
    std::string input = "{\"a\":\"" + gbk + "\"}";
    ASSERT_EQ(JsonString2Obj(table, input.c_str(), &raw), 0);
    EXPECT_EQ(std::string(raw.a), gbk);
}

TEST(JsonMapTest, FileRoundTripAndFailures) {
    TempDir dir;
    Outer o = Zeroed();
    std::strcpy(o.title, "file");
    o.number = 5;
    std::string path = dir.File("store.ini");
    ASSERT_EQ(JsonObj2File(path.c_str(), kOuter, &o), 0);
    EXPECT_NE(dir.Read("store.ini").find("\n"), std::string::npos); // indented text

    Outer back = Zeroed();
    ASSERT_EQ(JsonFile2Obj(path.c_str(), kOuter, &back), 0);
    EXPECT_STREQ(back.title, "file");
    EXPECT_EQ(back.number, 5);

    Outer dummy = Zeroed();
    EXPECT_NE(JsonFile2Obj(dir.File("missing.ini").c_str(), kOuter, &dummy), 0);
    EXPECT_NE(JsonFile2Obj(dir.Write("broken.ini", "{\"title\":").c_str(), kOuter, &dummy), 0);
    EXPECT_NE(JsonFile2Obj(dir.Write("binary.ini", std::string("{}\0\x01\x02", 5)).c_str(), kOuter, &dummy), 0);
    EXPECT_NE(JsonFile2Obj(dir.Write("empty.ini", "").c_str(), kOuter, &dummy), 0);
    EXPECT_NE(JsonFile2Obj(dir.Path().c_str(), kOuter, &dummy), 0); // a folder
}

TEST(JsonMapTest, FileIsReplacedAtomicallyWithOwnerOnlyPermissions) {
    TempDir dir;
    std::string path = dir.Write("store.ini", "old content");
    Outer o = Zeroed();
    std::strcpy(o.title, "new");
    ASSERT_EQ(JsonObj2File(path.c_str(), kOuter, &o), 0);
    EXPECT_EQ(dir.Read("store.ini").find("old"), std::string::npos);
    struct stat st{};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    int entries = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 1); // no temporary file left behind
}

TEST(JsonMapTest, FailedWriteLeavesTheOldFileWhole) {
    if (geteuid() == 0) {
        // Root ignores folder permissions; a missing folder shows the same.
        TempDir dir;
        Outer o = Zeroed();
        EXPECT_LT(JsonObj2File(dir.File("no/such/folder/store.ini").c_str(), kOuter, &o), 0);
        return;
    }
    TempDir dir;
    std::string path = dir.Write("store.ini", "old content");
    ASSERT_EQ(chmod(dir.Path().c_str(), 0500), 0);
    Outer o = Zeroed();
    EXPECT_LT(JsonObj2File(path.c_str(), kOuter, &o), 0);
    chmod(dir.Path().c_str(), 0700);
    EXPECT_EQ(dir.Read("store.ini"), "old content");
}

TEST(JsonMapTest, HostileInputFailsCleanly) {
    std::string deep(100000, '[');
    Outer o = Zeroed();
    EXPECT_LT(JsonString2Obj(kOuter, deep.c_str(), &o), 0);
    std::string deep_objects;
    for (int i = 0; i < 2000; ++i) deep_objects += "{\"inner\":";
    EXPECT_LT(JsonString2Obj(kOuter, deep_objects.c_str(), &o), 0);
    std::string huge = "{\"title\":\"" + std::string(1 << 20, 'x') + "\"}";
    EXPECT_EQ(JsonString2Obj(kOuter, huge.c_str(), &o), 0);
    EXPECT_STREQ(o.title, "xxxxx");
}

} // namespace
