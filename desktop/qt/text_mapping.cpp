#include "desktop/qt/text_mapping.h"

#include <Qt>

#include <algorithm>

namespace vask {

namespace {

// One character of the control's text as the widget holds it: how many bytes
// it takes in the text and how many UTF-16 units in the widget. A CR LF line
// end of a multi-line box is one character; a byte that is no valid UTF-8
// stands for itself (the widget shows a replacement character for it).
struct Char {
    size_t bytes;
    int units;
};

Char char_at(const std::string& text, size_t i, bool multi_line) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (multi_line && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') return {2, 1};
    if (c < 0x80) return {1, 1};
    size_t length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
    if (i + length > text.size()) return {1, 1};
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return {1, 1};
    return {length, length == 4 ? 2 : 1};
}

}  // namespace

QString widget_text(const std::string& model_text, bool multi_line) {
    QString text = QString::fromStdString(model_text);
    if (multi_line) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return text;
}

std::string model_text(const QString& widget_text, bool multi_line) {
    if (!multi_line) return widget_text.toStdString();
    QString text = widget_text;
    text.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text.toStdString();
}

int widget_position(const std::string& model_text, int byte_offset, bool multi_line) {
    size_t end = std::min(model_text.size(), size_t(std::max(byte_offset, 0)));
    int pos = 0;
    for (size_t i = 0; i < end;) {
        Char c = char_at(model_text, i, multi_line);
        if (i + c.bytes > end) break;  // an offset inside a character counts as before it
        pos += c.units;
        i += c.bytes;
    }
    return pos;
}

int model_position(const std::string& model_text, int widget_pos, bool multi_line) {
    int pos = 0;
    size_t i = 0;
    while (i < model_text.size() && pos < widget_pos) {
        Char c = char_at(model_text, i, multi_line);
        pos += c.units;
        i += c.bytes;
    }
    return int(i);
}

int key_code(int qt_key, bool keypad) {
    if (keypad && qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return 96 + (qt_key - Qt::Key_0);
    if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return qt_key;  // 65..90 in both
    if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return qt_key;  // 48..57 in both
    if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24) return 112 + (qt_key - Qt::Key_F1);
    switch (qt_key) {
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
        case Qt::Key_Clear: return 12;
        case Qt::Key_Return: case Qt::Key_Enter: return 13;
        case Qt::Key_Shift: return 16;
        case Qt::Key_Control: return 17;
        case Qt::Key_Alt: return 18;
        case Qt::Key_Pause: return 19;
        case Qt::Key_CapsLock: return 20;
        case Qt::Key_Escape: return 27;
        case Qt::Key_Space: return 32;
        case Qt::Key_PageUp: return 33;
        case Qt::Key_PageDown: return 34;
        case Qt::Key_End: return 35;
        case Qt::Key_Home: return 36;
        case Qt::Key_Left: return 37;
        case Qt::Key_Up: return 38;
        case Qt::Key_Right: return 39;
        case Qt::Key_Down: return 40;
        case Qt::Key_Print: return 44;
        case Qt::Key_Insert: return 45;
        case Qt::Key_Delete: return 46;
        case Qt::Key_Help: return 47;
        case Qt::Key_Asterisk: return keypad ? 106 : 0;
        case Qt::Key_Plus: return keypad ? 107 : 0;
        case Qt::Key_Minus: return keypad ? 109 : 189;
        case Qt::Key_Period: return keypad ? 110 : 190;
        case Qt::Key_Slash: return keypad ? 111 : 191;
        case Qt::Key_NumLock: return 144;
        case Qt::Key_ScrollLock: return 145;
        case Qt::Key_Semicolon: return 186;
        case Qt::Key_Equal: return 187;
        case Qt::Key_Comma: return 188;
        default: return 0;
    }
}

}  // namespace vask
