#pragma once
// The popup "Информация на курсоре": one text picture, printed line by line from the top.
#include <QWidget>

namespace zd {

class PictureBox;

class FrmKursInf : public QWidget {
    Q_OBJECT
public:
    explicit FrmKursInf(QWidget* owner = nullptr);

    // Heights in twips: the window's and its text picture's. The widths are fixed.
    void setLayoutTwips(int windowHeight, int textHeight);
    int windowHeightTwips() const { return m_windowHeight; }
    int windowWidthTwips() const;
    PictureBox& text() { return *m_text; }

    // Top-left corner on the screen, in twips.
    void placeTwips(double left, double top);

private:
    PictureBox* m_text;
    int m_windowHeight = 1650;
};

} // namespace zd
