#pragma once
// Opening a network file from the window: the load runs on a thread of its own while the
// window repaints, with its progress in the status bar at once and in a dialog ("Загрузка
// сети: Stn 420 000 из 2 000 000", a bar, "Отмена") once it has taken half a second. Also
// the items "Открыть базу…" and "Последние базы" of "Файлы".
#include "data/Database.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QWidget;

namespace zd {

class FrmZdMain;

class NetworkOpener : public QObject {
    Q_OBJECT
public:
    explicit NetworkOpener(FrmZdMain& main);

    struct Loaded {
        std::shared_ptr<Database> db;   // null: cancelled or failed
        std::optional<DbError> error;   // why it failed; none when cancelled or opened
        bool cancelled() const { return !db && !error; }
    };
    // Loads the network, returning when it is loaded, failed or cancelled. User input
    // waits until the dialog is shown; the dialog is modal.
    Loaded load(const QString& path);
    bool loading() const { return m_loading; }

    // Milliseconds before the dialog shows (half a second by default).
    void setDialogDelay(int ms) { m_dialogDelay = ms; }

    // "Открыть базу…": the file dialog, then the main window's opening of the file.
    void chooseAndOpen();
    // The recent files, newest first, kept in the desk's settings.
    QStringList recentFiles() const;
    void addRecent(const QString& path);

signals:
    void loadStarted();
    void loadEnded();

private:
    void rebuildRecentMenu();

    FrmZdMain& m_main;
    QMenu* m_recent = nullptr;
    int m_dialogDelay = 500;
    bool m_loading = false;
};

// The file the user chooses to open, or empty. Tests put a chooser of their own.
QString chooseNetworkFile(QWidget* parent, const QString& caption);
void setNetworkFileChooser(std::function<QString()> chooser);

} // namespace zd
