#include "export/FrmStats.h"

#include "export/ExportRender.h"

#include "map/ToolPlacement.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace zd {

namespace {
constexpr qint64 kProgressAfterMs = 500;   // a count that takes longer shows its progress
}

FrmStats::FrmStats(MapHost& host) : QWidget(&host.window(), Qt::Tool), m_host(host)
{
    setObjectName(QStringLiteral("frmStats"));
    setWindowTitle(QStringLiteral("Статистика"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    fillRailways();
}

void FrmStats::buildControls()
{
    m_optFrame = new QRadioButton(QStringLiteral("Текущий кадр"));
    m_optFrame->setObjectName(QStringLiteral("optStatsFrame"));
    m_optRailway = new QRadioButton(QStringLiteral("Дорога:"));
    m_optRailway->setObjectName(QStringLiteral("optStatsRailway"));
    m_optFrame->setChecked(true);
    m_railway = new QComboBox;
    m_railway->setObjectName(QStringLiteral("cboStatsRailway"));
    auto* scope = new QHBoxLayout;
    scope->addWidget(m_optFrame);
    scope->addWidget(m_optRailway);
    scope->addWidget(m_railway, 1);
    m_scope = new QLabel;
    m_scope->setObjectName(QStringLiteral("lblStatsScope"));
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("prgStats"));
    m_progress->setRange(0, 0);   // SQLite tells no share of the work done
    m_progress->setFormat(QStringLiteral("Подсчёт…"));
    m_progress->hide();
    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("treStats"));
    m_tree->setHeaderLabels({QStringLiteral("Показатель"), QStringLiteral("Количество"), QStringLiteral("Км")});
    m_tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    QPushButton* copy = button("cmdStatsCopy", QStringLiteral("Копировать"));
    QPushButton* save = button("cmdStatsSave", QStringLiteral("Сохранить CSV…"));
    QPushButton* close = button("cmdStatsClose", QStringLiteral("Закрыть"));
    connect(copy, &QPushButton::clicked, this, &FrmStats::copyToClipboard);
    connect(save, &QPushButton::clicked, this, &FrmStats::saveClicked);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_optFrame, &QRadioButton::toggled, this, [this] { recount(); });
    connect(m_railway, &QComboBox::activated, this, [this] {
        if (m_optRailway->isChecked()) recount();
        else m_optRailway->setChecked(true);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addWidget(save);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* box = new QVBoxLayout(this);
    box->addLayout(scope);
    box->addWidget(m_scope);
    box->addWidget(m_progress);
    box->addWidget(m_tree, 1);
    box->addLayout(buttons);
    resize(520, 600);
}

void FrmStats::fillRailways()
{
    auto rows = m_host.database()->query(statsRailwaysSql() + QStringLiteral(" ORDER BY NazDor"));
    if (!rows) return m_host.reportFailure(rows.error());
    const int kd = rows->column(u"KodDor"), nd = rows->column(u"NazDor");
    for (int r = 0; r < rows->recordCount(); ++r) m_railway->addItem(rows->textAt(r, nd), rows->textAt(r, kd));
}

void FrmStats::LoadStats()
{
    if (!isVisible()) placeToolWindow(*this, m_host, 2);
    show();
    raise();
    recount();
}

bool FrmStats::keepGoing()
{
    if (m_counting.elapsed() >= kProgressAfterMs && !m_progress->isVisible()) m_progress->show();
    if (m_progress->isVisible()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return !m_host.ended();
}

void FrmStats::recount()
{
    if (m_busy || m_host.ended()) return;
    StatsScope scope;
    const Frame& k = m_host.state().kadr;
    scope.frame = FrameBounds{k.x1, k.y1, k.x2, k.y2};
    if (m_optRailway->isChecked() && m_railway->currentIndex() >= 0) {
        scope.kind = StatsScope::Railway;
        scope.kodDor = m_railway->currentData().toString();
    }
    m_busy = true;
    m_counting.start();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto counted = countStats(*m_host.database(), scope, scope.kind == StatsScope::Frame && m_host.state().rusMode == 1,
                              [this] { return keepGoing(); });
    QApplication::restoreOverrideCursor();
    m_progress->hide();
    m_busy = false;
    if (!counted) return m_host.reportFailure(counted.error());
    m_stats = std::move(*counted);
    showStats();
}

void FrmStats::showStats()
{
    m_tree->clear();
    auto item = [](QTreeWidgetItem* parent, const QString& label, qint64 n, std::optional<double> km) {
        auto* i = new QTreeWidgetItem(parent, {label, QString::number(n), km ? QString::number(*km, 'f', 1) : QString()});
        i->setTextAlignment(1, Qt::AlignRight);
        i->setTextAlignment(2, Qt::AlignRight);
        return i;
    };
    auto* total = new QTreeWidgetItem(m_tree, {QStringLiteral("Всего")});
    total->setFirstColumnSpanned(true);
    item(total, QStringLiteral("Станции"), m_stats.stations, std::nullopt);
    item(total, QStringLiteral("в т.ч. узловые"), m_stats.branching, std::nullopt);
    item(total, QStringLiteral("Перегоны"), m_stats.sections, m_stats.km);
    for (const StatGroup& g : m_stats.groups) {
        auto* group = new QTreeWidgetItem(m_tree, {g.title});
        group->setFirstColumnSpanned(true);
        for (const StatLine& l : g.lines) item(group, l.label, l.count, g.hasKm ? std::optional(l.km) : std::nullopt);
    }
    m_tree->expandAll();
    m_tree->resizeColumnToContents(1);
    m_tree->resizeColumnToContents(2);
    m_scope->setText(m_stats.scope + (m_host.state().rusMode == 1 && m_optFrame->isChecked() ? QStringLiteral(", только Россия") : QString()));
}

void FrmStats::copyToClipboard() const { QGuiApplication::clipboard()->setText(statsText(m_stats)); }

QString FrmStats::saveCsv(const QString& path) const
{
    auto saved = saveFile(path, statsCsv(m_stats).toUtf8());
    return saved ? QString() : saved.error().message();
}

void FrmStats::saveClicked()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить статистику"),
                                                      QDir::home().filePath(QStringLiteral("статистика.csv")),
                                                      QStringLiteral("Таблица CSV (*.csv)"));
    if (path.isEmpty()) return;
    if (const QString problem = saveCsv(path); !problem.isEmpty()) msgBox(problem, MsgIcon::Exclamation);
}

} // namespace zd
