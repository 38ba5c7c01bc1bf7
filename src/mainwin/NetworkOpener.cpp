#include "mainwin/NetworkOpener.h"

#include "data/NetworkLoad.h"
#include "desk/Desk.h"
#include "mainwin/FrmZdMain.h"
#include "platform/MsgBox.h"

#include <QAction>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <atomic>

namespace zd {

namespace {
constexpr int kTickMs = 50;       // the progress shown anew, and so the window repainted
constexpr int kRecentCount = 8;
const QString kRecentKey = QStringLiteral("recentDatabases");
const QString kFileFilter = QStringLiteral("Базы данных сети (*.mdb *.accdb *.db *.sqlite *.sqlite3);;"
                                           "Базы данных Access (*.mdb *.accdb);;Базы данных SQLite (*.db *.sqlite *.sqlite3);;"
                                           "Все файлы (*)");

// The dialog of a load that has taken longer than the delay: the progress and "Отмена".
std::unique_ptr<QProgressDialog> progressDialog(QWidget& parent, NetworkLoad& job)
{
    auto dlg = std::make_unique<QProgressDialog>(job.progress().text(), QStringLiteral("Отмена"), 0, 0, &parent);
    dlg->setObjectName(QStringLiteral("dlgLoad"));
    dlg->setWindowTitle(kAppTitle);
    dlg->setWindowModality(Qt::ApplicationModal);
    dlg->setMinimumDuration(0);
    dlg->setAutoClose(false);
    dlg->setAutoReset(false);
    QObject::connect(dlg.get(), &QProgressDialog::canceled, dlg.get(), [&job] { job.cancel(); });
    dlg->show();
    return dlg;
}

// A bar counts in thousands where the rows would pass an int.
void setBar(QProgressBar& bar, const LoadProgress& p)
{
    const long long total = p.total();
    const int scale = total > 1'000'000'000 ? 1000 : 1;
    bar.setMaximum(static_cast<int>(total / scale));
    bar.setValue(static_cast<int>(std::min(p.row(), total) / scale));
}

// The progress in the status bar, whose bar is drawn anew at every tick, so that the window
// shows it goes on also while one index takes seconds; and in the dialog once it is shown.
void showProgress(QStatusBar& status, QProgressBar& bar, QProgressDialog* dlg, const LoadProgress& p)
{
    const QString text = p.text();
    status.showMessage(text);
    setBar(bar, p);
    bar.update();
    if (!dlg || dlg->wasCanceled()) return;
    dlg->setLabelText(text);
    dlg->setMaximum(bar.maximum());
    dlg->setValue(bar.value());
}

std::function<QString()>& chooserOverride()
{
    static std::function<QString()> chooser;
    return chooser;
}
} // namespace

void setNetworkFileChooser(std::function<QString()> chooser) { chooserOverride() = std::move(chooser); }

QString chooseNetworkFile(QWidget* parent, const QString& caption)
{
    if (chooserOverride()) return chooserOverride()();
    // Where message boxes are recorded (a test or a report run) no dialog waits for a user.
    if (msgBoxesRecorded()) return {};
    return QFileDialog::getOpenFileName(parent, caption, QString(), kFileFilter);
}

NetworkOpener::NetworkOpener(FrmZdMain& main) : QObject(&main), m_main(main)
{
    // Children of "Файлы", so that they are found by name as the menu's items.
    auto* files = main.menuBar()->findChild<QMenu*>(QStringLiteral("mnuFiles"), Qt::FindDirectChildrenOnly);
    auto* open = new QAction(QStringLiteral("&Открыть базу…"), files);
    open->setObjectName(QStringLiteral("mnuFiles_Open"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, &NetworkOpener::chooseAndOpen);
    main.addFileItem(open);
    m_recent = new QMenu(QStringLiteral("Последние &базы"), files);
    m_recent->setObjectName(QStringLiteral("mnuFiles_Recent"));
    m_recent->menuAction()->setObjectName(QStringLiteral("mnuFiles_Recent"));
    main.addFileItem(m_recent->menuAction());
    connect(m_recent, &QMenu::aboutToShow, this, &NetworkOpener::rebuildRecentMenu);
    rebuildRecentMenu();
}

NetworkOpener::Loaded NetworkOpener::load(const QString& path)
{
    m_loading = true;
    emit loadStarted();
    QEventLoop loop;
    std::atomic<bool> done{false};
    NetworkLoad job(path, {}, [&loop, &done] {
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    std::unique_ptr<QProgressDialog> dlg;
    QStatusBar& status = *m_main.statusBar();
    auto bar = std::make_unique<QProgressBar>();
    bar->setObjectName(QStringLiteral("prbLoad"));
    bar->setMaximumWidth(240);
    // No taller than a line of the status bar: the map keeps the height the frame is drawn for.
    bar->setMaximumHeight(status.fontMetrics().height());
    bar->setTextVisible(false);
    status.addPermanentWidget(bar.get());
    QTimer tick;
    connect(&tick, &QTimer::timeout, &loop, [&] { showProgress(status, *bar, dlg.get(), job.progress()); });
    tick.start(kTickMs);
    showProgress(status, *bar, nullptr, job.progress());
    if (m_dialogDelay > 0) {
        QTimer::singleShot(m_dialogDelay, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!done && !m_main.ended()) {
        dlg = progressDialog(m_main, job);
        while (!done && !m_main.ended()) loop.exec();
        if (dlg->wasCanceled()) job.cancel();
    }
    tick.stop();
    status.clearMessage();
    m_loading = false;
    emit loadEnded();
    // The program ending in the middle, or "Отмена" even after the last row: nothing opens.
    if (!done || m_main.ended() || job.cancelled()) return {};
    Expected<std::shared_ptr<Database>> db = job.result();
    if (!db) return {nullptr, db.error()};
    return {*db, std::nullopt};
}

void NetworkOpener::chooseAndOpen()
{
    const QString path = chooseNetworkFile(&m_main, QStringLiteral("Открыть базу данных сети"));
    if (!path.isEmpty()) m_main.openNetwork(path);
}

QStringList NetworkOpener::recentFiles() const
{
    QSettings* s = m_main.desk().settings();
    return s ? s->value(kRecentKey).toStringList() : QStringList();
}

void NetworkOpener::addRecent(const QString& path)
{
    QSettings* s = m_main.desk().settings();
    if (!s) return;
    QStringList list = recentFiles();
    const QString full = QFileInfo(path).absoluteFilePath();
    list.removeAll(full);
    list.prepend(full);
    while (list.size() > kRecentCount) list.removeLast();
    s->setValue(kRecentKey, list);
    // The menu is made anew when it opens: the item being triggered may be the caller.
    m_recent->menuAction()->setEnabled(true);
}

void NetworkOpener::rebuildRecentMenu()
{
    m_recent->clear();
    const QStringList list = recentFiles();
    for (int i = 0; i < list.size(); ++i) {
        const QString path = list[i];
        QAction* a = m_recent->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        a->setObjectName(QStringLiteral("mnuFiles_Recent%1").arg(i + 1));
        connect(a, &QAction::triggered, this, [this, path] { m_main.openNetwork(path); });
    }
    m_recent->menuAction()->setEnabled(!list.isEmpty());
}

} // namespace zd
