#pragma once
// A combo box whose list is always shown: a text box over a list of the rows of a
// StnListModel. Typing selects the first entry that starts with the typed text (or, when
// none does, the row a fallback finds for it, such as the name matcher's best); a click
// or the arrow keys take the entry's name into the text box; a double click on an entry
// or in the text box, or Enter, reports the selected row.
#include <QWidget>
#include <functional>

class QLineEdit;
class QListView;
class QModelIndex;

namespace zd {

class StnListModel;

class DbCombo : public QWidget {
    Q_OBJECT
public:
    explicit DbCombo(StnListModel& model, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);   // the list's selection stays as it is

    int selectedRow() const;             // -1 when no entry is selected
    void selectRow(int row);             // shows it at the top of the list; -1 clears, list at its start
    QString boundText() const;           // KodStn of the selected entry
    void selectByText();                 // selects the first entry starting with the text
    // The row for a text that begins no name of the list, or -1.
    void setFallback(std::function<int(const QString&)> find) { m_fallback = std::move(find); }

    QLineEdit& textBox() { return *m_edit; }
    QListView& list() { return *m_list; }

signals:
    void textChanged(const QString& text);
    void rowActivated(int row);          // -1 when no entry is selected

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeCurrent(const QModelIndex& current);
    void activateSelected();
    bool forwardToList(QEvent* event);

    StnListModel& m_model;
    QLineEdit* m_edit;
    QListView* m_list;
    bool m_searching = false;
    std::function<int(const QString&)> m_fallback;
};

} // namespace zd
