#pragma once
// One stop of the route window ("Откуда", "Через", "Куда"): the station search's combo box
// over the shared station list, a button that picks the station on the map instead, and
// for a via station a button that removes it.
#include <QWidget>

class QLabel;
class QToolButton;

namespace zd {

class DbCombo;
class StnListModel;

class StopField : public QWidget {
    Q_OBJECT
public:
    StopField(const QString& caption, StnListModel& model, bool removable, QWidget* parent = nullptr);

    // The station as the route engine looks it up: the code of the entry chosen in the list
    // or on the map while its name stands unedited in the text box, else the text typed
    // (a name, in any case, or a code).
    QString station() const;
    QString text() const;
    void setStation(const QString& code, const QString& name);

    DbCombo& combo() { return *m_combo; }
    QToolButton& pickButton() { return *m_pick; }

signals:
    void pickToggled(bool on);
    void removeClicked();

private:
    StnListModel& m_model;
    DbCombo* m_combo;
    QToolButton* m_pick;
    QString m_code;
};

} // namespace zd
