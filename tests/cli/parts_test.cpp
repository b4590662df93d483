// talvoctl's parts that need no receiver: the code page 936 boundary, the
// terminal layout of tables, durations, the argument parser, the JPEG frame
// header reader and the screen image rules.
#include <gtest/gtest.h>

#include <cstring>

#include "common/args.h"
#include "common/device_text.h"
#include "common/encoding.h"
#include "common/failure.h"
#include "common/file_rules.h"
#include "common/progress.h"
#include "common/table.h"

namespace talvoctl {
namespace {

TEST(Encoding, ConvertsBetweenUtf8AndCodePage936BothWays) {
    const std::string utf8 = "默认分组 A1";
    const std::string cp936 = "\xC4\xAC\xC8\xCF\xB7\xD6\xD7\xE9 A1";
    ASSERT_EQ(Utf8ToCp936(utf8), cp936);
    EXPECT_EQ(Cp936ToUtf8(cp936), utf8);
}

TEST(Encoding, RefusesWhatCodePage936CannotHoldInsteadOfChangingIt) {
    EXPECT_FALSE(Utf8ToCp936("smile \xF0\x9F\x98\x80"));   // an emoji
    EXPECT_FALSE(Utf8ToCp936("broken \xE4\xBD"));          // UTF-8 cut in the middle
    EXPECT_FALSE(Utf8ToCp936("\xFF\xFE"));                 // no UTF-8 at all
    try {
        ArgumentToCp936("\xF0\x9F\x98\x80", "the alias", 127);
        FAIL() << "no failure";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.Name(), "ZR_QM_ERR_PARAM");
        EXPECT_EQ(failure.ExitStatus(), kExitUsage);
    }
}

TEST(Encoding, ArgumentsLongerThanTheirFieldAreRefusedWhole) {
    char field[8];
    std::memset(field, 'x', sizeof field);
    ArgumentToField(field, "会议室", "the group"); // six bytes and the terminator fit
    EXPECT_STREQ(field, "\xBB\xE1\xD2\xE9\xCA\xD2");
    EXPECT_THROW(ArgumentToField(field, "会议室A1", "the group"), Failure);
    EXPECT_STREQ(field, "\xBB\xE1\xD2\xE9\xCA\xD2") << "a refused argument leaves the field as it was";
}

TEST(Encoding, FieldsAreReadUpToTheirWidthAndBrokenBytesShowAsReplacement) {
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(FieldToUtf8(unterminated, sizeof unterminated), "abcd");
    // A lead byte without its pair (a blank is no trail byte), then a byte of no character.
    const char broken[5] = {'\xC4', ' ', 'a', '\xFF', '\0'};
    EXPECT_EQ(FieldToUtf8(broken, sizeof broken), "\xEF\xBF\xBD a\xEF\xBF\xBD");
}

TEST(Table, AlignsColumnsByTheirWidthOnATerminal) {
    Table table({{"group", "GROUP"}, {"reboots", "REBOOTS"}, {"hidden", ""}, {"mac", "MAC"}});
    table.Add({"会议室", Value(3), "json only", "02:54:56:00:00:01"});
    table.Add({"lab", Value(12), "json only", "02:54:56:00:00:02"});
    EXPECT_EQ(table.Render(),
              "GROUP   REBOOTS  MAC\n"
              "会议室        3  02:54:56:00:00:01\n"
              "lab          12  02:54:56:00:00:02\n");
    EXPECT_EQ(DisplayWidth("会议室"), 6u);
    EXPECT_EQ(DisplayWidth("e\xCC\x81"), 1u); // e and a combining accent
}

TEST(Durations, ReadAsTheDesktopProgramShowsThem) {
    const std::pair<unsigned, const char *> cases[] = {
        {0, "00:00:00"}, {3599, "00:59:59"}, {86399, "23:59:59"}, {86400, "1天00:00:00"},
        {90061, "1天01:01:01"}, {4294967295u, "49710天06:28:15"},
    };
    for (const auto &[seconds, text] : cases) EXPECT_EQ(FormatDuration(seconds), text) << seconds;
}

TEST(Arguments, GlobalOptionsGoBeforeOrAfterTheCommandWords) {
    std::vector<OptionDef> global = {{"json", 'j', "", ""}, {"user", 'u', "NAME", ""}};
    std::vector<OptionDef> own = global;
    own.push_back({"group", 'g', "NAME", ""});
    ParsedArgs parsed;
    std::vector<std::string> rest = TakeGlobalOptions({"-u", "admin", "reboot", "--group=会议室", "--json", "--",
                                                       "-x"},
                                                      global, parsed);
    ASSERT_EQ(rest.front(), "reboot");
    ParseArguments({rest.begin() + 1, rest.end()}, own, parsed);
    EXPECT_EQ(parsed.Value("user"), "admin");
    EXPECT_EQ(parsed.Value("group"), "会议室");
    EXPECT_TRUE(parsed.Has("json"));
    EXPECT_EQ(parsed.Words(), std::vector<std::string>{"-x"}) << "-- ends the options";
}

TEST(Arguments, MistakesAreUsageFailures) {
    std::vector<OptionDef> options = {{"group", 'g', "NAME", ""}, {"all", 'a', "", ""}};
    for (const std::vector<std::string> &args : std::vector<std::vector<std::string>>{
             {"--what"}, {"--group"}, {"--all=yes"}, {"-z"}}) {
        ParsedArgs parsed;
        try {
            ParseArguments(args, options, parsed);
            ADD_FAILURE() << args[0] << " was taken";
        } catch (const Failure &failure) {
            EXPECT_EQ(failure.ExitStatus(), kExitUsage) << args[0];
        }
    }
    ParsedArgs parsed;
    parsed.AddWord("one");
    EXPECT_THROW(parsed.Exactly(0, 2, "alias MAC TEXT"), Failure);
    EXPECT_EQ(parsed.AtLeast(0, 1, "x").size(), 1u);
}

// A JPEG head: SOI, an APP0 segment, then a baseline frame header.
std::string JpegHead(int width, int height, unsigned frame_marker = 0xC0) {
    std::string bytes = "\xFF\xD8\xFF\xE0";
    bytes += std::string("\x00\x10", 2) + "JFIF" + std::string(10, '\0');
    bytes += "\xFF";
    bytes += static_cast<char>(frame_marker);
    bytes += std::string("\x00\x11\x08", 3);
    bytes += static_cast<char>(height >> 8);
    bytes += static_cast<char>(height & 0xFF);
    bytes += static_cast<char>(width >> 8);
    bytes += static_cast<char>(width & 0xFF);
    bytes += std::string(10, '\x01');
    return bytes;
}

TEST(Images, FrameHeaderGivesTheSizeAndBadBytesGiveNone) {
    ImageSize size = JpegSize(JpegHead(1920, 1080));
    EXPECT_EQ(size.width, 1920);
    EXPECT_EQ(size.height, 1080);
    EXPECT_EQ(JpegSize(JpegHead(800, 600, 0xC2)).width, 800) << "progressive frames count too";
    std::string head = JpegHead(800, 600);
    for (std::size_t cut = 0; cut < head.size() - 10; ++cut) {
        EXPECT_EQ(JpegSize(head.substr(0, cut)).width, 0) << "cut at " << cut;
    }
    EXPECT_EQ(JpegSize("GIF89a....").width, 0);
    std::string zero_length = "\xFF\xD8\xFF\xE0";
    zero_length += std::string(2, '\0');
    EXPECT_EQ(JpegSize(zero_length).width, 0);
}

TEST(Images, ScreenRulesFollowTheModel) {
    struct Case {
        const char *model;
        ScreenKind kind;
        std::uint64_t bytes;
        ImageSize size;
        bool fits;
    };
    const Case cases[] = {
        {"TALVO_JX", ScreenKind::Startup, 2097152, {1920, 1080}, true},
        {"TALVO_JX", ScreenKind::Startup, 2097153, {1920, 1080}, false},
        {"TALVO_HX", ScreenKind::Startup, 300000, {800, 600}, false},
        {"TALVO_HX", ScreenKind::Startup, 262144, {800, 600}, true},
        {"TALVO_SX", ScreenKind::Startup, 100000, {1024, 768}, false},
        {"TALVO_TX", ScreenKind::Startup, 100000, {1920, 1080}, true},
        {"TALVO_JX", ScreenKind::Standby, 5u << 20, {3840, 2160}, true},
        {"TALVO_JX", ScreenKind::Standby, 5u << 20, {3841, 2160}, false},
        {"TALVO_NX", ScreenKind::Standby, 600 * 1024, {1280, 720}, false},
        {"TALVO_MX", ScreenKind::Standby, 1000, {0, 0}, false}, // no readable image
        {"TALVO_QX", ScreenKind::Standby, 99u << 20, {0, 0}, true},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(!ScreenRuleViolation(c.model, c.kind, c.bytes, c.size), c.fits)
            << c.model << " " << c.bytes << " " << c.size.width << "x" << c.size.height;
    }
    EXPECT_EQ(ExtensionOf("/tmp/a.b/startup.JPG"), "JPG");
    EXPECT_EQ(ExtensionOf("/tmp/a.b/startup"), "");
    EXPECT_EQ(FileNameOf("/srv/files/uImage-HX.bin"), "uImage-HX.bin");
}

TEST(Progress, LineShowsTheShareDone) {
    EXPECT_EQ(ProgressBar::Line("reboot", 0.5, "15/30 done"),
              "reboot  [###############---------------]   50%  15/30 done");
    EXPECT_EQ(ProgressBar::Line("x", 2.0, ""), "x  [##############################]  100%");
}

} // namespace
} // namespace talvoctl
