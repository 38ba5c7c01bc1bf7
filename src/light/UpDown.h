#pragma once
// An up-down control: two arrow buttons stepping a whole number within a range. It shows
// no number itself; a partner label does.
#include <QWidget>

class QToolButton;

namespace zd {

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    int value() const { return m_value; }
    void setValue(int value);                 // kept within the range
    void setRange(int minimum, int maximum);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    void stepBy(int steps);

    QToolButton& upButton() { return *m_up; }
    QToolButton& downButton() { return *m_down; }

signals:
    void valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void updateButtons();

    QToolButton* m_up;
    QToolButton* m_down;
    int m_value = 0, m_min = 0, m_max = 10;
};

} // namespace zd
