#include "light/KeyDigit.h"

#include <QApplication>
#include <QLineEdit>

namespace zd {

char16_t KeyDigit(char16_t key, int maxLen, QString& text, int caret, bool sign, QChar separator, bool* beep)
{
    if (beep) *beep = false;
    if (text == QLatin1String("0")) {
        text.clear();
        caret = 0;
    }
    if (key == kKeyBack) return key;
    if (maxLen > 0 && text.trimmed().size() >= maxLen) {
        if (beep) *beep = true;
        return 0;
    }
    if (key == u'+' || key == u'-') return sign && caret == 0 ? key : 0;
    if (key == u',' || key == u'.') return text.contains(separator) ? 0 : separator.unicode();
    if (key < u'0' || key > u'9') return 0;
    return key;
}

char16_t KeyDigit(char16_t key, int maxLen, QLineEdit& box, bool sign, QChar separator)
{
    QString text = box.text();
    bool beep = false;
    const char16_t accepted = KeyDigit(key, maxLen, text, box.cursorPosition(), sign, separator, &beep);
    if (text != box.text()) box.setText(text);
    if (beep) QApplication::beep();
    return accepted;
}

} // namespace zd
