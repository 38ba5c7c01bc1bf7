#include "platform/HelpViewer.h"

#include "platform/FileLookup.h"
#include "platform/MsgBox.h"

#include <QFile>
#include <QHBoxLayout>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace zd {

namespace {

QToolButton* makeButton(QWidget* parent, const char* name, const QString& text, const char* icon)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setIcon(QIcon::fromTheme(QString::fromLatin1(icon)));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    return b;
}

bool isReadable(const QString& file)
{
    QFile f(file);
    return !file.isEmpty() && f.open(QIODevice::ReadOnly);
}

} // namespace

HelpViewer::HelpViewer(QWidget* owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Справка — ") + kAppTitle);

    auto* contents = makeButton(this, "cmdHelp_Contents", QStringLiteral("Содержание"), "go-home");
    m_back = makeButton(this, "cmdHelp_Back", QStringLiteral("Назад"), "go-previous");
    m_fore = makeButton(this, "cmdHelp_Fore", QStringLiteral("Вперед"), "go-next");
    m_back->setEnabled(false);
    m_fore->setEnabled(false);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setOpenExternalLinks(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(contents);
    bar->addWidget(m_back);
    bar->addWidget(m_fore);
    bar->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(m_browser);

    connect(contents, &QToolButton::clicked, this, [this] { showDocument(m_file); });
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_fore, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_fore, &QWidget::setEnabled);
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
}

bool HelpViewer::showDocument(const QString& path, const QString& anchor)
{
    const QString file = findFile(path);
    if (!isReadable(file)) {
        const QString shown = path.isEmpty() ? QStringLiteral("ZDHELP.HLP") : path;
        msgBox(QStringLiteral("Не удается открыть файл справки ") + shown, MsgIcon::Exclamation);
        return false;
    }
    placeBesideOwner();
    show();
    raise();
    activateWindow();
    QUrl url = QUrl::fromLocalFile(file);
    url.setFragment(anchor.isEmpty() ? kHelpContentsAnchor : anchor);
    if (file != m_file)
        m_browser->clearHistory();
    m_file = file;
    m_browser->setSource(url, QTextDocument::HtmlResource);
    return true;
}

// On first show the viewer stands at the left of the owner's window, where the tool windows
// (which open at the right edge of the map) do not cover it.
void HelpViewer::placeBesideOwner()
{
    if (m_placed) return;
    m_placed = true;
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(qMin(720, area.width() * 3 / 5), qMin(760, area.height() * 4 / 5));
    const QPoint origin = parentWidget() ? parentWidget()->frameGeometry().topLeft() : area.topLeft();
    move(origin + QPoint(40, 80));
}

} // namespace zd
