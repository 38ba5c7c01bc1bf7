#include "help/Help.h"
#include "platform/HelpViewer.h"
#include "platform/MsgBox.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace zd;

namespace {

const QString kShippedDir = QStringLiteral(ZD_SOURCE_DIR "/data/beside");
const QString kShippedFile = kShippedDir + QStringLiteral("/ZDHELP.HLP");

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override { setMsgHandler([this](const MsgRequest& r) { boxes.push_back(r); }); }
    void TearDown() override { setMsgHandler({}); }
    std::vector<MsgRequest> boxes;
};

QString readShipped()
{
    QFile f(kShippedFile);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QString::fromUtf8(f.readAll());
}

// The document as the viewer's own HTML engine reads it.
struct DocIndex {
    QSet<QString> anchors, links, headings;   // headings: anchors of the section titles
};

DocIndex indexDocument(const QString& html)
{
    QTextDocument doc;
    doc.setHtml(html);
    DocIndex idx;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            for (const QString& name : f.anchorNames()) {
                idx.anchors.insert(name);
                if (b.blockFormat().headingLevel() == 2) idx.headings.insert(name);
            }
            if (f.anchorHref().startsWith(QLatin1Char('#'))) idx.links.insert(f.anchorHref().mid(1));
        }
    return idx;
}

// The heading that carries the anchor, and where the viewer shows it (viewport pixels).
QRect anchorRect(QTextBrowser& b, const QString& anchor, QString* title)
{
    for (QTextBlock blk = b.document()->begin(); blk.isValid(); blk = blk.next())
        for (auto it = blk.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(anchor)) {
                *title = blk.text();
                QTextCursor c(b.document());
                c.setPosition(it.fragment().position());
                return b.cursorRect(c);
            }
    return {};
}

} // namespace

TEST(HelpPath, DirectoryAndNameJoinedByOneSeparator)
{
    const struct { const char* dir; const char* path; } cases[] = {
        {"/opt/zd", "/opt/zd/ZDHELP.HLP"},
        {"/opt/zd/", "/opt/zd/ZDHELP.HLP"},
        {"/", "/ZDHELP.HLP"},
        {"/opt/zd/  ", "/opt/zd/  ZDHELP.HLP"},   // trimmed for the test only
        {"  /opt/zd", "  /opt/zd/ZDHELP.HLP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dir);
        EXPECT_EQ(helpFilePath(QString::fromUtf8(c.dir)), QString::fromUtf8(c.path));
    }
}

TEST_F(HelpTest, MenuCommandsReportAMissingFileAndOpenNothing)
{
    QTemporaryDir dir;
    Help help;
    help.helpAbout(dir.path(), nullptr);
    help.helpInstr(dir.path() + QStringLiteral("/"), nullptr);
    ASSERT_EQ(boxes.size(), 2u);
    for (const MsgRequest& r : boxes) {
        EXPECT_EQ(r.text, QStringLiteral("Отсутствует файл справки ZdHelp.hlp"));
        EXPECT_EQ(r.icon, MsgIcon::None);
    }
    EXPECT_EQ(help.viewer(), nullptr);
    EXPECT_TRUE(help.helpFile().isEmpty());
}

TEST_F(HelpTest, HelpFileIsFoundWhateverTheCaseOfItsName)
{
    const char* names[] = {"ZDHELP.HLP", "ZdHelp.hlp", "zdhelp.hlp"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        const QString file = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(QFile::copy(kShippedFile, file));
        QWidget owner;
        Help help;
        help.helpAbout(dir.path() + QStringLiteral("/"), &owner);
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(help.helpOwner(), &owner);
        EXPECT_EQ(help.helpFile(), dir.path() + QStringLiteral("/ZDHELP.HLP"));
        ASSERT_NE(help.viewer(), nullptr);
        EXPECT_TRUE(help.viewer()->isVisible());
        EXPECT_EQ(help.viewer()->parentWidget(), &owner);
        EXPECT_EQ(help.viewer()->documentFile(), file);
    }
}

TEST_F(HelpTest, TopicOfAnUnreadableFileIsReportedByTheViewer)
{
    QTemporaryDir dir;
    Help help;
    help.HelpInit(nullptr, dir.path());
    help.HelpTopic(kHelpTopicFind);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Не удается открыть файл справки ") + dir.path() + QStringLiteral("/ZDHELP.HLP"));
    ASSERT_NE(help.viewer(), nullptr);
    EXPECT_FALSE(help.viewer()->isVisible());
}

TEST(HelpDocument, HasEveryTopicAndItsLinksResolve)
{
    const QString html = readShipped();
    const DocIndex idx = indexDocument(html);
    for (const char* topic : {"contents", "30", "70", "90", "100"})
        EXPECT_TRUE(idx.anchors.contains(QString::fromLatin1(topic))) << topic;
    for (const QString& link : idx.links)
        EXPECT_TRUE(idx.anchors.contains(link)) << "dangling link #" << link.toStdString();
    for (const QString& section : idx.headings)
        EXPECT_TRUE(idx.links.contains(section)) << "section not in the contents: " << section.toStdString();
    EXPECT_GE(idx.headings.size(), 10);

    QFile copy(QStringLiteral(ZD_BUILD_DIR "/ZDHELP.HLP"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly)) << "not copied beside the executable";
    EXPECT_EQ(QString::fromUtf8(copy.readAll()), html);
}

TEST_F(HelpTest, ViewerShowsTheSectionOfEachTopic)
{
    const struct { const char* anchor; const char* title; } cases[] = {
        {"30", "О программе"},
        {"70", "Выбор типа подсветки"},
        {"90", "Поиск станции"},
        {"100", "Поиск дороги"},
        {"contents", "Схема ж.д. сети СНГ. Содержание"},
    };
    QWidget owner;
    Help help;
    help.HelpInit(&owner, kShippedDir);
    HelpViewer* first = nullptr;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.anchor);
        const QString anchor = QString::fromLatin1(c.anchor);
        if (anchor == kHelpContentsAnchor) help.HelpContents();
        else help.HelpTopic(anchor.toInt());
        if (!first) first = help.viewer();
        ASSERT_EQ(help.viewer(), first);   // one viewer, reused
        QTextBrowser& b = help.viewer()->browser();
        QString title;
        const QRect r = anchorRect(b, anchor, &title);
        EXPECT_EQ(title, QString::fromUtf8(c.title));
        // The section's title stands at the top of the window.
        EXPECT_GE(r.top(), 0);
        EXPECT_LT(r.top(), b.viewport()->height() / 4);
    }
    EXPECT_TRUE(boxes.empty());
}
