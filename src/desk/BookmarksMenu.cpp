#include "desk/BookmarksMenu.h"

#include "desk/Desk.h"
#include "mainwin/FrmZdMain.h"
#include "platform/MsgBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include <cmath>

namespace zd {

namespace {
const QString kOutside = QStringLiteral("Кадр лежит вне схемы: закладка не добавлена");
} // namespace

BookmarksMenu::BookmarksMenu(FrmZdMain& main, Desk& desk)
    : m_main(main), m_desk(desk), m_menu(&main.extraMenu(QStringLiteral("mnuBookmarks")))
{
    m_menu->setTitle(QStringLiteral("&Закладки"));
    m_add = m_menu->addAction(QStringLiteral("&Добавить закладку…"), this, &BookmarksMenu::addCurrent);
    m_add->setObjectName(QStringLiteral("mnuBookmarks_Add"));
    m_add->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    m_menu->addSeparator();
    m_listEnd = m_menu->addSeparator();
    m_organise = m_menu->addAction(QStringLiteral("&Упорядочить…"), this, &BookmarksMenu::organise);
    m_organise->setObjectName(QStringLiteral("mnuBookmarks_Organise"));
    rebuildMenu();
}

BookmarksMenu::~BookmarksMenu() = default;

void BookmarksMenu::networkOpened()
{
    m_list.clear();
    if (QSettings* s = m_desk.settings()) m_list = BookmarkStore(*s, m_main.dbPath()).load(m_main.state().scheme);
    rebuildMenu();
}

void BookmarksMenu::setList(std::vector<Bookmark> list)
{
    m_list = std::move(list);
    if (QSettings* s = m_desk.settings()) BookmarkStore(*s, m_main.dbPath()).save(m_list);
    rebuildMenu();
}

void BookmarksMenu::rebuildMenu()
{
    for (QAction* a : m_items) delete a;
    m_items.clear();
    for (int i = 0; i < static_cast<int>(m_list.size()); ++i) {
        auto* a = new QAction(QString(m_list[static_cast<size_t>(i)].name).replace(u'&', QStringLiteral("&&")), m_menu);
        a->setObjectName(QStringLiteral("mnuBookmarks_Item%1").arg(i));
        connect(a, &QAction::triggered, this, [this, i] { showBookmark(i); });
        m_menu->insertAction(m_listEnd, a);
        m_items.push_back(a);
    }
    m_listEnd->setVisible(!m_list.empty());
    m_organise->setEnabled(!m_list.empty());
}

// The name of the frame's most important station nearest its centre.
QString BookmarksMenu::suggestedName() const
{
    const RowSet& rows = m_main.frameStations();
    const int name = rows.column(u"NazStn"), tip = rows.column(u"TipStn");
    const int x = rows.column(u"StnX"), y = rows.column(u"StnY");
    const Frame& k = m_main.state().kadr;
    const double cx = (double(k.x1) + k.x2) / 2, cy = (double(k.y1) + k.y2) / 2;
    QString best;
    double bestTip = -1, bestDistance = 0;
    for (int r = 0; name >= 0 && r < rows.recordCount(); ++r) {
        const QString n = rows.textAt(r, name).trimmed();
        if (n.isEmpty()) continue;
        const double t = rows.numberAt(r, tip), d = std::hypot(rows.numberAt(r, x) - cx, rows.numberAt(r, y) - cy);
        if (t < bestTip || (t == bestTip && d >= bestDistance)) continue;
        best = n;
        bestTip = t;
        bestDistance = d;
    }
    return best.isEmpty() ? QStringLiteral("Закладка %1").arg(m_list.size() + 1) : best;
}

void BookmarksMenu::addCurrent()
{
    if (!bookmarkable(m_main.state().kadr, m_main.state().scheme)) {
        msgBox(kOutside, MsgIcon::Exclamation);
        return;
    }
    auto* dlg = new QInputDialog(&m_main);
    dlg->setObjectName(QStringLiteral("dlgBookmarkName"));
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->setWindowTitle(QStringLiteral("Новая закладка"));
    dlg->setLabelText(QStringLiteral("Название закладки:"));
    dlg->setOkButtonText(QStringLiteral("Добавить"));
    dlg->setCancelButtonText(QStringLiteral("Отмена"));
    dlg->setTextValue(suggestedName());
    connect(dlg, &QInputDialog::textValueSelected, this, [this](const QString& name) { add(name); });
    dlg->open();
}

bool BookmarksMenu::add(const QString& name)
{
    const Frame& f = m_main.state().kadr;
    if (!bookmarkable(f, m_main.state().scheme)) {
        msgBox(kOutside, MsgIcon::Exclamation);
        return false;
    }
    const QString trimmed = name.trimmed();
    std::vector<Bookmark> list = m_list;
    list.push_back({trimmed.isEmpty() ? suggestedName() : trimmed, f, m_main.state().rusMode});
    setList(std::move(list));
    return true;
}

// The frame first, so that a change of mode renders it once, in the bookmark's mode.
void BookmarksMenu::showBookmark(int index)
{
    if (index < 0 || index >= static_cast<int>(m_list.size()) || !m_desk.canNavigate()) return;
    const Bookmark b = m_list[static_cast<size_t>(index)];
    static const char* const modeItems[] = {"mnuZdLight_RusAll", "mnuZdLight_RusOnly", "mnuZdLight_RusBlank"};
    if (b.rusMode == m_main.state().rusMode) {
        m_main.showFrame(b.frame, 1);
        return;
    }
    m_main.state().kadr = b.frame;
    m_main.setKadrZoomed(1);
    m_main.menuItem(QLatin1String(modeItems[b.rusMode]))->trigger();
}

void BookmarksMenu::organise()
{
    auto* dlg = new DlgBookmarks(m_list, &m_main);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    connect(dlg, &QDialog::accepted, this, [this, dlg] { setList(dlg->result()); });
    dlg->open();
}

DlgBookmarks::DlgBookmarks(const std::vector<Bookmark>& list, QWidget* parent) : QDialog(parent), m_list(list)
{
    setObjectName(QStringLiteral("dlgBookmarks"));
    setWindowTitle(QStringLiteral("Закладки"));
    m_names = new QListWidget(this);
    m_names->setObjectName(QStringLiteral("lstBookmarks"));
    for (const Bookmark& b : m_list) {
        auto* item = new QListWidgetItem(b.name, m_names);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    if (!m_list.empty()) m_names->setCurrentRow(0);
    auto* rename = new QPushButton(QStringLiteral("&Переименовать"), this);
    rename->setObjectName(QStringLiteral("cmdBookmarks_Rename"));
    connect(rename, &QPushButton::clicked, this, [this] {
        if (QListWidgetItem* item = m_names->currentItem()) m_names->editItem(item);
    });
    auto* remove = new QPushButton(QStringLiteral("&Удалить"), this);
    remove->setObjectName(QStringLiteral("cmdBookmarks_Delete"));
    connect(remove, &QPushButton::clicked, this, &DlgBookmarks::deleteCurrent);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* side = new QVBoxLayout;
    side->addWidget(rename);
    side->addWidget(remove);
    side->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(m_names, 1);
    row->addLayout(side);
    auto* all = new QVBoxLayout(this);
    all->addLayout(row);
    all->addWidget(buttons);
}

void DlgBookmarks::deleteCurrent()
{
    const int row = m_names->currentRow();
    if (row < 0 || row >= static_cast<int>(m_list.size())) return;
    delete m_names->takeItem(row);
    m_list.erase(m_list.begin() + row);
}

// A name emptied in editing keeps the old one.
std::vector<Bookmark> DlgBookmarks::result() const
{
    std::vector<Bookmark> out = m_list;
    for (int i = 0; i < static_cast<int>(out.size()); ++i) {
        const QString n = m_names->item(i)->text().trimmed();
        if (!n.isEmpty()) out[static_cast<size_t>(i)].name = n;
    }
    return out;
}

} // namespace zd
