// The program's foundation: the code page 936 boundary, durations, the five
// cell comparisons with the list's sorting, the file dialog filter and the
// real message boxes behind the prompt seam.
#include <gtest/gtest.h>

#include "qt_printers.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstring>

#include "app/cell_compare.h"
#include "app/device_list_model.h"
#include "common/cp936.h"
#include "common/file_chooser.h"
#include "common/prompt.h"

namespace talvo {
namespace {

TEST(Cp936Test, ConvertsBothWaysAsTheLibraryStoresTexts) {
    struct Case {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral("默认分组"), QByteArray("\xC4\xAC\xC8\xCF\xB7\xD6\xD7\xE9")},
        {QStringLiteral("1天01:01:01"), QByteArray("1\xCC\xEC" "01:01:01")},
        {QStringLiteral("Room 1"), QByteArray("Room 1")},
        {QStringLiteral("€"), QByteArray("\x80")},
        {QString(), QByteArray()},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ToCp936(c.text), c.bytes) << c.text.toStdString();
        EXPECT_EQ(FromCp936(c.bytes), c.text) << c.text.toStdString();
    }
}

TEST(Cp936Test, UnconvertibleInputIsMarkedNotDropped) {
    // A character outside CP936 becomes '?'; the text around it stays.
    EXPECT_EQ(ToCp936(QStringLiteral("a😀b")), QByteArray("a?b"));
    // An invalid byte pair and a cut-off lead byte each become U+FFFD.
    EXPECT_EQ(FromCp936(QByteArray("a\xFF\x20" "b")), QStringLiteral("a\uFFFD b"));
    EXPECT_EQ(FromCp936(QByteArray("ab\xC4")), QStringLiteral("ab\uFFFD"));
}

TEST(Cp936Test, FieldsAreReadAndWrittenWithinTheirWidth) {
    char field[6];
    std::memset(field, 'x', sizeof field);
    // Five bytes of room: "ab" and two double-byte characters would need six.
    EXPECT_FALSE(WriteField(field, ToCp936(QStringLiteral("ab默认"))));
    EXPECT_EQ(QByteArray(field), QByteArray("ab\xC4\xAC"));
    EXPECT_EQ(field[4], '\0');
    EXPECT_EQ(field[5], '\0');
    EXPECT_TRUE(WriteField(field, QStringLiteral("abc")));
    EXPECT_EQ(FieldText(field), QStringLiteral("abc"));

    // A field without a terminator is read up to its end and no further.
    char full[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(FieldBytes(full), QByteArray("abcd"));
}

TEST(DurationTest, FormatsBelowAndFromOneDay) {
    struct Case {
        std::uint32_t seconds;
        const char *text;
    };
    const Case cases[] = {
        {0, "00:00:00"},        {3599, "00:59:59"},        {86399, "23:59:59"},
        {86400, "1天00:00:00"}, {90061, "1天01:01:01"},     {172800, "2天00:00:00"},
        {4294967295u, "49710天06:28:15"},
    };
    for (const Case &c : cases) EXPECT_EQ(FormatDuration(c.seconds), QString::fromUtf8(c.text)) << c.seconds;
}

int Compare(CompareKind kind, const char *a, const char *b) {
    return CompareCells(kind, ToCp936(QString::fromUtf8(a)), ToCp936(QString::fromUtf8(b)));
}

TEST(CellCompareTest, OrdersEachKindOfColumn) {
    struct Case {
        CompareKind kind;
        const char *first; // sorts before `second` in ascending order
        const char *second;
    };
    const Case cases[] = {
        {CompareKind::Text, "TALVO_HX", "TALVO_JX"},
        {CompareKind::Text, "B", "a"}, // byte-wise, capitals first
        {CompareKind::Text, "默认分组", "新建分组0"}, // code page 936 byte order
        {CompareKind::Ipv4, "192.168.1.9", "192.168.1.10"},
        {CompareKind::Ipv4, "9.255.255.255", "10.0.0.0"},
        {CompareKind::Ipv4, "", "0.0.0.1"},
        {CompareKind::VersionThenText, "1.3.9", "1.3.10"},
        {CompareKind::VersionThenText, "V1.3.4", "1.4.0"},
        {CompareKind::VersionThenText, "TALVO_JX-V2.1.0", "TALVO_HX-V2.1.1"},
        {CompareKind::VersionThenText, "TALVO_HX-V2.1.0", "TALVO_JX-V2.1.0"}, // equal versions: by text
        {CompareKind::Duration, "23:59:59", "1天00:00:00"},
        {CompareKind::Duration, "1天23:59:59", "2天00:00:00"},
        {CompareKind::Duration, "9天00:00:00", "10天00:00:00"},
        {CompareKind::Duration, "00:59:59", "01:00:00"},
        {CompareKind::Integer, "9", "10"},
        {CompareKind::Integer, "", "1"},
    };
    for (const Case &c : cases) {
        EXPECT_LT(Compare(c.kind, c.first, c.second), 0) << c.first << " / " << c.second;
        EXPECT_GT(Compare(c.kind, c.second, c.first), 0) << c.second << " / " << c.first;
    }
    EXPECT_EQ(Compare(CompareKind::Ipv4, "10.0.0.1", "10.0.0.1"), 0);
    EXPECT_EQ(Compare(CompareKind::Integer, "007", "7"), 0);
    EXPECT_EQ(Compare(CompareKind::VersionThenText, "1.3.4", "1.3.4"), 0);
}

// A text that is no version sorts before the versions and, among such texts,
// by text, whichever way round two cells are compared; a comparison that
// called both sides "less" would leave the sort's order undefined.
TEST(CellCompareTest, TextsThatAreNoVersionKeepAConsistentOrder) {
    const char *no_versions[] = {"", "1.3", "1.2.3.4", "unknown"};
    for (const char *text : no_versions) {
        EXPECT_LT(Compare(CompareKind::VersionThenText, text, "1.0.0"), 0) << text;
        EXPECT_GT(Compare(CompareKind::VersionThenText, "1.0.0", text), 0) << text;
    }
    EXPECT_LT(Compare(CompareKind::VersionThenText, "1.3", "unknown"), 0);
    EXPECT_GT(Compare(CompareKind::VersionThenText, "unknown", "1.3"), 0);
    EXPECT_EQ(Compare(CompareKind::VersionThenText, "1.3", "1.3"), 0);
}

DeviceInfo Device(const char *mac, const char *version, std::uint32_t run_time) {
    DeviceInfo info{};
    std::strcpy(info.Wired_MacAddr, mac);
    std::strcpy(info.Device_Ver, version);
    info.RunTime = run_time;
    return info;
}

QList<QByteArray> Macs(const DeviceListModel &model) {
    QList<QByteArray> macs;
    for (int row = 0; row < model.rowCount(); ++row) macs << model.Mac(row);
    return macs;
}

TEST(DeviceListModelTest, SortsByColumnKeepingEqualRowsInOrderAndTicksWithTheirRows) {
    DeviceListModel model;
    const DeviceInfo devices[] = {
        Device("A", "1.3.10", 86400), Device("B", "1.3.9", 86399), Device("C", "1.3.9", 3600),
        Device("D", "1.3.10", 90061),
    };
    model.SetDevices(devices, 4);
    model.SetTicked(0, true);

    model.Sort(DeviceListModel::kVersionColumn, true);
    EXPECT_EQ(Macs(model), (QList<QByteArray>{"B", "C", "A", "D"}));
    model.Sort(DeviceListModel::kVersionColumn, false);
    EXPECT_EQ(Macs(model), (QList<QByteArray>{"A", "D", "B", "C"}));
    model.Sort(DeviceListModel::kRunTimeColumn, true);
    EXPECT_EQ(Macs(model), (QList<QByteArray>{"C", "B", "A", "D"}));
    EXPECT_EQ(model.TickedRows(), QList<int>{2}); // "A" is still the ticked one
    model.Sort(DeviceListModel::kTickColumn, true); // not sortable
    EXPECT_EQ(Macs(model), (QList<QByteArray>{"C", "B", "A", "D"}));
}

TEST(FileChooserTest, TurnsTheFilterIntoTheDialogsForm) {
    EXPECT_EQ(DialogFilter(QStringLiteral("image files ( *.jpg; ) |*.jpg;  | All Files (*.*) |*.*||")),
              QStringLiteral("image files ( *.jpg; ) (*.jpg);;All Files (*.*) (*.*)"));
    EXPECT_EQ(DialogFilter(QStringLiteral("kernel (*.img)|*.img;*.bin||")),
              QStringLiteral("kernel (*.img) (*.img *.bin)"));
}

// The real message boxes: caption, icon and buttons of each kind, and the
// answer read from the button pressed.
TEST(PromptTest, MessageBoxesShowTheirKindAndReturnTheAnswer) {
    struct Case {
        std::function<bool()> show;
        const char *caption;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton press;
        bool answer;
    };
    const Case cases[] = {
        {[] { Notice(nullptr, QStringLiteral("用户或密码错误！")); return true; }, "TALVO controller",
         QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok, true},
        {[] { PlainNotice(nullptr, QStringLiteral("删除失败！")); return true; }, "TALVO controller",
         QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok, true},
        {[] { return ConfirmOkCancel(nullptr, QStringLiteral("确认要退出吗?")); }, "提示", QMessageBox::NoIcon,
         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, false},
        {[] { return ConfirmYesNo(nullptr, QStringLiteral("请再次确认是否进行此操作？")); }, "TALVO controller",
         QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, true},
    };
    for (const Case &c : cases) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->windowTitle(), QString::fromUtf8(c.caption));
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->standardButtons(), c.buttons);
            box->button(c.press)->click();
        });
        EXPECT_EQ(c.show(), c.answer) << c.caption;
        EXPECT_TRUE(seen);
    }
}

} // namespace
} // namespace talvo
