#include "routewin/StopField.h"

#include "stnfind/DbCombo.h"
#include "stnfind/StnListModel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QToolButton>

namespace zd {

namespace {
constexpr int kListRows = 6;   // entries the list shows at once

QToolButton* toolButton(QWidget* parent, const char* name, const QString& text, const QString& tip)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    b->setToolTip(tip);
    b->setAutoRaise(true);
    return b;
}
} // namespace

StopField::StopField(const QString& caption, StnListModel& model, bool removable, QWidget* parent)
    : QWidget(parent), m_model(model), m_combo(new DbCombo(model, this))
{
    auto* label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("lblCaption"));
    label->setBuddy(&m_combo->textBox());
    m_combo->setObjectName(QStringLiteral("dbcStn"));
    m_combo->setToolTip(QStringLiteral("Введите название или выберите станцию из списка"));
    QListView& list = m_combo->list();
    list.setFixedHeight(list.fontMetrics().height() * kListRows + 2 * list.frameWidth());
    m_pick = toolButton(this, "cmdPick", QStringLiteral("На схеме"), QStringLiteral("Выбрать станцию щелчком на схеме (Esc — отмена)"));
    m_pick->setCheckable(true);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    grid->addWidget(label, 0, 0);
    grid->setColumnStretch(0, 1);
    grid->addWidget(m_pick, 0, 1);
    if (removable) {
        QToolButton* remove = toolButton(this, "cmdRemove", QStringLiteral("✕"), QStringLiteral("Убрать эту станцию из маршрута"));
        grid->addWidget(remove, 0, 2);
        connect(remove, &QToolButton::clicked, this, &StopField::removeClicked);
    }
    grid->addWidget(m_combo, 1, 0, 1, removable ? 3 : 2);

    connect(m_pick, &QToolButton::toggled, this, &StopField::pickToggled);
    // An entry chosen in the list (pointer, keys, Enter) is the station; typing makes the
    // text the station again.
    connect(list.selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& i) {
        m_code = i.isValid() ? m_model.boundText(i.row()) : QString();
    });
    connect(&m_combo->textBox(), &QLineEdit::textEdited, this, [this] { m_code.clear(); });
    connect(m_combo, &DbCombo::rowActivated, this, [this](int row) {
        if (row >= 0) m_code = m_model.boundText(row);
    });
}

QString StopField::text() const { return m_combo->text().trimmed(); }

// A name typed in another case than the list's is taken as the list writes it (the
// look-up is exact); a name that several stations share is still reported as such. A text
// that begins no name (another spelling, a word inside the name) is the station the name
// matcher selected for it.
QString StopField::station() const
{
    if (!m_code.isEmpty()) return m_code;
    const int row = m_combo->selectedRow();
    if (row < 0) return text();
    const QString listed = m_model.name(row).trimmed();
    if (listed.compare(text(), Qt::CaseInsensitive) == 0) return listed;
    return listed.startsWith(text(), Qt::CaseInsensitive) ? text() : m_model.boundText(row);
}

void StopField::setStation(const QString& code, const QString& name)
{
    m_combo->setText(name);
    m_combo->selectByText();   // the list shows the name's place
    m_code = code;
}

} // namespace zd
