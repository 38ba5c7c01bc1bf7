#pragma once
// While a frame is drawn the window keeps answering its events, but a press, a key, a wheel
// turn or a shortcut would start a command in the middle of the drawing. The gate holds such
// input, from the first of it on in the order it came, and says that the frame is superseded;
// when the drawing has stopped and its command has returned, the held input is posted back
// and runs as if it had come after the frame.
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

class QEvent;

namespace zd {

class RenderGate : public QObject {
public:
    // Keys that only type into a text field of `main` are answered at once; the fields of the
    // tool windows may choose a station and draw on the map, so theirs are held too.
    explicit RenderGate(QWidget& main) : QObject(&main), m_main(&main) {}
    ~RenderGate() override;

    void open();                  // a frame begins: input is watched from now on
    // The frame has stopped: the held input goes back to the event queue, in order.
    void close();
    bool active() const { return m_active; }
    bool superseded() const { return !m_held.empty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_main;
    bool m_active = false;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_held;
};

} // namespace zd
