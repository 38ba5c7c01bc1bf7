#pragma once
// The help requests of the program: the help document ZDHELP.HLP in the program directory,
// opened at a topic or at its contents in the help viewer. The main window owns one Help
// object, registers itself as the owner with HelpInit, and hands the object to the tool
// windows for their F1 key.
#include <QPointer>
#include <QString>
#include <cstdint>

class QWidget;

namespace zd {

class HelpViewer;

// Topics of the help document.
enum : std::int32_t {
    kHelpTopicAbout = 30,   // "О программе"
    kHelpTopicLight = 70,   // the highlight-by-criteria window
    kHelpTopicFind = 90,    // the station search window
    kHelpTopicDor = 100,    // the railway search window
    kHelpTopicRoute = 110,  // the route window
};

// The help-file path for a program directory: the directory and "ZDHELP.HLP", with a "/"
// between them unless the directory (blanks trimmed) already ends in one.
QString helpFilePath(const QString& programDir);

class Help {
public:
    Help();
    ~Help();
    Help(const Help&) = delete;
    Help& operator=(const Help&) = delete;

    // Registers the window that owns the help viewer and the directory of the help file.
    void HelpInit(QWidget* owner, const QString& programDir);
    // Opens the help document at a topic (30, 70, 90, 100), or at its contents. A file that
    // cannot be read is reported by the viewer.
    void HelpTopic(std::int32_t topic);
    void HelpContents();

    // The commands "О программе" and "Инструкция" of the "Справка" menu: they check for the
    // help file first and report it missing.
    void helpAbout(const QString& programDir, QWidget* owner);
    void helpInstr(const QString& programDir, QWidget* owner);

    QWidget* helpOwner() const { return m_owner; }
    const QString& helpFile() const { return m_file; }
    // The viewer window once it has been opened; null before.
    HelpViewer* viewer() const;

private:
    void open(const QString& anchor);
    bool helpFilePresent(const QString& programDir) const;

    QPointer<QWidget> m_owner;
    QString m_file;
    QPointer<HelpViewer> m_viewer;
};

} // namespace zd
