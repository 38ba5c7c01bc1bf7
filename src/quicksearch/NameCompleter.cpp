#include "quicksearch/NameCompleter.h"

#include "map/MapHost.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>

namespace zd {

NameCompleter::NameCompleter(MapHost& host, QLineEdit& edit, int limit)
    : QObject(&edit), m_host(host), m_edit(edit), m_limit(limit), m_model(new PlaceModel(this)),
      m_completer(new QCompleter(m_model, this))
{
    // The index ranks the places itself: the popup shows them as they come, unfiltered.
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setMaxVisibleItems(limit);
    m_completer->setWidget(&edit);
    // Installed after the completer's own filter, so it sees Enter and Esc first.
    m_completer->popup()->installEventFilter(this);
    m_edit.installEventFilter(this);
    connect(&edit, &QLineEdit::textEdited, this, &NameCompleter::lookUp);
    connect(&edit, &QLineEdit::returnPressed, this, &NameCompleter::chooseBest);
    connect(m_completer, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this](const QModelIndex& i) { choose(i.row()); });
    m_host.whenNameIndexReady(this, [this] {
        if (!m_edit.text().isEmpty() && m_edit.hasFocus()) lookUp(m_edit.text());
    });
}

void NameCompleter::refill(const QString& text)
{
    const std::shared_ptr<const search::NameIndex> index = m_host.nameIndex();
    std::vector<search::Place> places;
    if (index) {
        const search::Filter filter = m_filter ? m_filter() : search::Filter{};
        for (const search::Hit& hit : index->find(text, m_limit, filter)) places.push_back(index->place(hit.entry));
    }
    m_model->setPlaces(std::move(places));
}

void NameCompleter::lookUp(const QString& text)
{
    refill(text);
    if (m_model->rowCount() > 0) showPopup();
    else m_completer->popup()->hide();
}

// Enter in the text box: the best place for the text as it stands, which a choice or a
// change of the marking may have made other than what the popup offered last.
void NameCompleter::chooseBest()
{
    refill(m_edit.text());
    choose(0);
}

// Below the text box and as wide as its longest line, so that the railways and types show.
void NameCompleter::showPopup()
{
    QAbstractItemView& popup = *m_completer->popup();
    const int lines = popup.sizeHintForColumn(0) + 2 * popup.frameWidth() + popup.verticalScrollBar()->sizeHint().width();
    m_completer->complete(QRect(0, 0, std::max(m_edit.width(), lines), m_edit.height()));
}

void NameCompleter::choose(int row)
{
    m_completer->popup()->hide();
    if (row < 0 || row >= m_model->rowCount()) return;
    const search::Place place = m_model->place(row);
    m_edit.setText(place.name);
    emit chosen(place);
}

// Enter and Esc in the popup, before the completer, which would hand Enter to the text
// box as well and so choose twice.
bool NameCompleter::popupKey(int key)
{
    QAbstractItemView& popup = *m_completer->popup();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const QModelIndex current = popup.currentIndex();
        choose(current.isValid() ? current.row() : 0);
        return true;
    }
    case Qt::Key_Escape:
        popup.hide();
        emit escaped();
        return true;
    default:
        return false;
    }
}

bool NameCompleter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == m_completer->popup()) return popupKey(key);
    if (watched == &m_edit && key == Qt::Key_Escape) {
        emit escaped();
        return true;
    }
    if (watched == &m_edit && key == Qt::Key_Down && m_model->rowCount() > 0 && !m_completer->popup()->isVisible()) {
        showPopup();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zd
