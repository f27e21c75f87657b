// Between the controls' text (UTF-8, CR LF line ends) and Qt's (UTF-16, LF).
#include <gtest/gtest.h>

#include <Qt>

#include "desktop/qt/text_mapping.h"

namespace vask {
namespace {

TEST(TextMapping, MultiLineTextTurnsCrLfIntoLfAndBack) {
    EXPECT_EQ(widget_text("one\r\ntwo\r\n", true), "one\ntwo\n");
    EXPECT_EQ(model_text("one\ntwo\n", true), "one\r\ntwo\r\n");
    EXPECT_EQ(widget_text("a\r\nb", false), "a\r\nb");  // a single-line box keeps what it holds
    EXPECT_EQ(model_text(QString::fromUtf8("gr\xc3\xbc\xc3\x9f"), false), "gr\xc3\xbc\xc3\x9f");
}

TEST(TextMapping, PositionsCountCharactersNotBytesAndNeverSplitALineEnd) {
    // "a é CRLF 😀 b": bytes a=0, é=1..2, CR LF=3..4, 😀=5..8, b=9
    const std::string text = "a\xc3\xa9\r\n\xf0\x9f\x98\x80"
                             "b";
    const int bytes[] = {0, 1, 3, 5, 9, 10};
    const int units[] = {0, 1, 2, 3, 5, 6};  // 😀 is a surrogate pair in the widget
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(widget_position(text, bytes[i], true), units[i]) << "byte " << bytes[i];
        EXPECT_EQ(model_position(text, units[i], true), bytes[i]) << "unit " << units[i];
    }
    EXPECT_EQ(widget_position(text, 4, true), 2);  // between CR and LF: before the line end
    EXPECT_EQ(widget_position(text, 5, false), 4);  // single-line: CR and LF are two characters
    EXPECT_EQ(model_position("\xff" "a", 1, false), 1);  // a stray byte is one character
}

TEST(TextMapping, KeyCodesAreThePlatformsVirtualKeys) {
    EXPECT_EQ(key_code(Qt::Key_Escape, false), 27);
    EXPECT_EQ(key_code(Qt::Key_Return, false), 13);
    EXPECT_EQ(key_code(Qt::Key_A, false), 65);
    EXPECT_EQ(key_code(Qt::Key_5, false), 53);
    EXPECT_EQ(key_code(Qt::Key_5, true), 101);
    EXPECT_EQ(key_code(Qt::Key_F1, false), 112);
    EXPECT_EQ(key_code(Qt::Key_Delete, false), 46);
    EXPECT_EQ(key_code(Qt::Key_Left, false), 37);
}

}  // namespace
}  // namespace vask
