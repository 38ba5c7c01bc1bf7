#include "help/Help.h"

#include "platform/FileLookup.h"
#include "platform/HelpViewer.h"
#include "platform/MsgBox.h"

namespace zd {

QString helpFilePath(const QString& programDir)
{
    if (programDir.trimmed().endsWith(QLatin1Char('/')))
        return programDir + QStringLiteral("ZDHELP.HLP");
    return programDir + QStringLiteral("/ZDHELP.HLP");
}

Help::Help() = default;

// The viewer is usually a child of the owner; deleting it here first is safe either way.
Help::~Help() { delete m_viewer.data(); }

void Help::HelpInit(QWidget* owner, const QString& programDir)
{
    m_owner = owner;
    if (m_viewer && m_viewer->parentWidget() != owner)
        m_viewer->setParent(owner, Qt::Window);
    m_file = helpFilePath(programDir);
}

void Help::HelpTopic(std::int32_t topic) { open(QString::number(topic)); }

void Help::HelpContents() { open(kHelpContentsAnchor); }

HelpViewer* Help::viewer() const { return m_viewer; }

void Help::open(const QString& anchor)
{
    if (!m_viewer)
        m_viewer = new HelpViewer(m_owner);
    m_viewer->showDocument(m_file, anchor);
}

// The menu commands look for the file under the name "ZdHelp.hlp", always joined with "/".
bool Help::helpFilePresent(const QString& programDir) const
{
    if (fileExists(programDir + QStringLiteral("/ZdHelp.hlp"))) return true;
    msgBox(QStringLiteral("Отсутствует файл справки ZdHelp.hlp"));
    return false;
}

void Help::helpAbout(const QString& programDir, QWidget* owner)
{
    if (!helpFilePresent(programDir)) return;
    HelpInit(owner, programDir);
    HelpTopic(kHelpTopicAbout);
}

void Help::helpInstr(const QString& programDir, QWidget* owner)
{
    if (!helpFilePresent(programDir)) return;
    HelpInit(owner, programDir);
    HelpContents();
}

} // namespace zd
