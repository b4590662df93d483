// The IP address entry: dotted text in and out, the blank state, the range of
// a field, and moving between fields from the keyboard.
#include <gtest/gtest.h>

#include "qt_printers.h"

#include <QLineEdit>
#include <QTest>

#include "common/ip_address_edit.h"

namespace talvo {
namespace {

// Types `keys` one at a time into whichever field has the focus.
void Type(const QString &keys) {
    for (QChar key : keys) QTest::keyClicks(QApplication::focusWidget(), QString(key));
}

TEST(IpAddressEditTest, TakesDottedAddressesAndRefusesEverythingElse) {
    IpAddressEdit edit;
    EXPECT_TRUE(edit.IsBlank());
    EXPECT_EQ(edit.Text(), QString());

    struct Case {
        const char *in;
        const char *out; // "" for blank
    };
    const Case cases[] = {
        {"192.168.1.10", "192.168.1.10"}, {"0.0.0.0", "0.0.0.0"},  {"255.255.255.255", "255.255.255.255"},
        {" 10.0.0.1 ", "10.0.0.1"},       {"256.1.1.1", ""},       {"1.2.3", ""},
        {"1.2.3.4.5", ""},                {"a.b.c.d", ""},         {"1.-2.3.4", ""},
        {"", ""},                         {"1..3.4", ""},          {"1000.1.1.1", ""},
    };
    for (const Case &c : cases) {
        edit.SetText(QStringLiteral("9.9.9.9"));
        edit.SetText(QString::fromUtf8(c.in));
        EXPECT_EQ(edit.Text(), QString::fromUtf8(c.out)) << c.in;
        EXPECT_EQ(edit.IsBlank(), *c.out == '\0') << c.in;
    }
}

TEST(IpAddressEditTest, EmptyFieldsReadAsZeroOnceAnyFieldIsFilled) {
    IpAddressEdit edit;
    edit.Field(0)->setText(QStringLiteral("10"));
    edit.Field(3)->setText(QStringLiteral("7"));
    EXPECT_FALSE(edit.IsBlank());
    EXPECT_EQ(edit.Text(), QStringLiteral("10.0.0.7"));
    EXPECT_EQ(edit.Fields(), (std::array<int, 4>{10, 0, 0, 7}));
    edit.Clear();
    EXPECT_TRUE(edit.IsBlank());
}

TEST(IpAddressEditTest, TypingStaysWithinRangeAndMovesBetweenFields) {
    IpAddressEdit edit;
    edit.show();
    edit.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    edit.Field(0)->setFocus();
    Type(QStringLiteral("192.168.1.10"));
    EXPECT_EQ(edit.Text(), QStringLiteral("192.168.1.10"));

    // A field takes no value above 255 and no fourth digit; three digits move on.
    edit.Clear();
    edit.Field(1)->setFocus();
    Type(QStringLiteral("256"));
    EXPECT_EQ(edit.Field(1)->text(), QStringLiteral("25"));
    Type(QStringLiteral("5"));
    EXPECT_EQ(edit.Field(1)->text(), QStringLiteral("255"));
    EXPECT_EQ(QApplication::focusWidget(), edit.Field(2));
    // Backspace in an empty field goes back to the one before.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    EXPECT_EQ(QApplication::focusWidget(), edit.Field(1));
    // A dot in an empty field stays there.
    edit.Field(3)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Period);
    EXPECT_EQ(QApplication::focusWidget(), edit.Field(3));
}

} // namespace
} // namespace talvo
