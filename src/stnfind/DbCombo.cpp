#include "stnfind/DbCombo.h"

#include "stnfind/StnListModel.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QVBoxLayout>

namespace zd {

DbCombo::DbCombo(StnListModel& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_edit(new QLineEdit(this)), m_list(new QListView(this))
{
    m_edit->setObjectName(QStringLiteral("text"));
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setModel(&m_model);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFocusProxy(m_edit);   // a click in the list leaves the typing in the text box
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(m_edit);
    box->addWidget(m_list, 1);
    setFocusProxy(m_edit);

    connect(m_edit, &QLineEdit::textChanged, this, &DbCombo::textChanged);
    connect(m_edit, &QLineEdit::textEdited, this, &DbCombo::selectByText);
    connect(m_edit, &QLineEdit::returnPressed, this, &DbCombo::activateSelected);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &DbCombo::takeCurrent);
    connect(m_list, &QListView::doubleClicked, this, [this](const QModelIndex& i) { emit rowActivated(i.row()); });
    m_edit->installEventFilter(this);
}

QString DbCombo::text() const { return m_edit->text(); }

void DbCombo::setText(const QString& text)
{
    m_searching = true;
    m_edit->setText(text);
    m_searching = false;
}

int DbCombo::selectedRow() const
{
    const QModelIndex i = m_list->currentIndex();
    return i.isValid() && m_list->selectionModel()->isSelected(i) ? i.row() : -1;
}

void DbCombo::selectRow(int row)
{
    const bool searching = m_searching;
    m_searching = true;
    const QModelIndex i = m_model.index(row, 0);
    if (i.isValid()) {
        m_list->setCurrentIndex(i);
        m_list->scrollTo(i, QAbstractItemView::PositionAtTop);
    } else {
        m_list->selectionModel()->clear();
        m_list->scrollToTop();
    }
    m_searching = searching;
}

QString DbCombo::boundText() const
{
    const int row = selectedRow();
    return row < 0 ? QString() : m_model.boundText(row);
}

void DbCombo::selectByText()
{
    const QString typed = m_edit->text();
    int row = typed.isEmpty() ? -1 : m_model.firstStartingWith(typed);
    if (row < 0 && !typed.isEmpty() && m_fallback) row = m_fallback(typed);
    selectRow(row);
}

// An entry picked in the list (pointer or keys) shows its name in the text box.
void DbCombo::takeCurrent(const QModelIndex& current)
{
    if (!m_searching && current.isValid()) setText(m_model.name(current.row()));
}

void DbCombo::activateSelected()
{
    const int row = selectedRow();
    if (row >= 0) setText(m_model.name(row));
    emit rowActivated(row);
}

bool DbCombo::forwardToList(QEvent* event)
{
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_PageUp: case Qt::Key_PageDown:
        QCoreApplication::sendEvent(m_list, event);
        return true;
    default:
        return false;
    }
}

bool DbCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit) {
        if (event->type() == QEvent::MouseButtonDblClick) emit rowActivated(selectedRow());
        if (event->type() == QEvent::KeyPress && forwardToList(event)) return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zd
