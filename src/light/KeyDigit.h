#pragma once
// Key filter of the numeric text boxes: digits, one decimal separator, an optional sign.
#include <QString>

class QLineEdit;

namespace zd {

inline constexpr char16_t kKeyBack = 8;   // backspace

// Decides what a typed character does to a box holding `text` with the caret at `caret`.
// Returns the character to accept (the separator in place of "," or "."), or 0 when the
// key is dropped. A box holding just "0" is emptied first (`text` is changed then).
// maxLen: the longest text that still takes a character, 0 for no limit; a key refused
// for the length sets `beep`.
char16_t KeyDigit(char16_t key, int maxLen, QString& text, int caret, bool sign, QChar separator,
                  bool* beep = nullptr);

// The same on a text box: empties a lone "0" in it and beeps when the length refuses the key.
char16_t KeyDigit(char16_t key, int maxLen, QLineEdit& box, bool sign, QChar separator);

} // namespace zd
