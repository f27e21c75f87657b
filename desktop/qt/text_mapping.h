#pragma once
// Between a control's text (UTF-8 bytes; a multi-line box ends its lines in
// CR LF) and what a Qt edit widget holds (UTF-16; lines end in LF): the text
// itself and positions in it.
#include <QString>

#include <string>

namespace vask {

QString widget_text(const std::string& model_text, bool multi_line);
std::string model_text(const QString& widget_text, bool multi_line);

// A byte offset into the control's text as a position in the widget's text.
int widget_position(const std::string& model_text, int byte_offset, bool multi_line);
// A position in the widget's text as a byte offset into the control's text
// (never inside a character or between the CR and LF of a line end).
int model_position(const std::string& model_text, int widget_pos, bool multi_line);

// Converts a Qt key into the key code a key-down handler receives (the
// platform's virtual-key numbers: A = 65, Esc = 27, F1 = 112), or 0.
int key_code(int qt_key, bool keypad);

}  // namespace vask
