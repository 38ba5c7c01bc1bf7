// Exports of the map window's frame: the PNG at the map's size is the map's picture, the
// SVG holds names as text, the PDF is one page of the size chosen, a failed write leaves
// nothing behind.
#include "MapWindow.h"
#include "export/ExportCommands.h"
#include "light/FrmLight.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTabWidget>
#include <QXmlStreamReader>
#include <csignal>
#include <sys/resource.h>

using namespace zd;

namespace {

class MapExport : public zdtest::MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        start();
        ASSERT_TRUE(w->startDone());
        commands = w->findChild<ExportCommands*>();
        ASSERT_NE(commands, nullptr);
    }
    Expected<ExportDrawn> write(const QString& name, QSize size, ExportOptions o = {})
    {
        ExportTarget t;
        t.path = dir.filePath(name);
        t.pixels = size;
        return writeExport(t, commands->scene(), o);
    }
    void lightClick(const char* name) { w->lightWindow()->findChild<QAbstractButton*>(QLatin1String(name))->click(); }
    ExportCommands* commands = nullptr;
};

QStringList svgTexts(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    QStringList texts;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    return texts;
}

} // namespace

TEST_F(MapExport, PngAtTheMapsSizeIsTheMapsPicture)
{
    struct Case {
        const char* name;
        std::function<void()> set;
    };
    const Case cases[] = {
        {"whole scheme", [] {}},
        {"zoomed in, section lengths printed", [&] { showFrame({0, 0, 10000, 5000}); }},
        {"CIS marking", [&] { trigger("mnuZdLight_RusBlank"); }},
        {"sections and stations highlighted",
         [&] {
             showFrame({0, 0, 10000, 5000});
             trigger("mnuZdLight_Peregon");
             lightClick("cmdLight_Enter");
             w->lightWindow()->findChild<QTabWidget*>(QStringLiteral("tabLight"))->setCurrentIndex(1);
             lightClick("chkStn(2)");
             lightClick("cmdLight_Enter");
             w->RenderKadr(pic());   // the highlights drawn again by a render, as after any frame command
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.set();
        QApplication::processEvents();
        auto drawn = write(QStringLiteral("map.png"), pic().size());
        ASSERT_TRUE(drawn) << drawn.error().message().toStdString();
        EXPECT_EQ(drawn->map, QRect(QPoint(0, 0), pic().size()));
        const QImage png(dir.filePath("map.png"));
        const QImage screen = pic().image().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(png.size(), screen.size());
        EXPECT_TRUE(png.convertToFormat(QImage::Format_RGB32) == screen);
    }
    EXPECT_TRUE(takeBoxes().isEmpty());
}

TEST_F(MapExport, SvgHoldsTheNamesAsText)
{
    ExportOptions o;
    o.legend = true;
    o.title = QStringLiteral("Общая схема");
    auto drawn = write(QStringLiteral("map.svg"), QSize(1000, 500), o);
    ASSERT_TRUE(drawn) << drawn.error().message().toStdString();
    QSvgRenderer svg(dir.filePath("map.svg"));
    EXPECT_TRUE(svg.isValid());
    const QStringList texts = svgTexts(dir.filePath("map.svg"));
    for (const char* name : {"Санкт-Петербург", "Минск", "Центр дороги", "Перегон", "Общая схема"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(name))) << name;
}

TEST_F(MapExport, PdfIsOnePageOfTheSizeChosen)
{
    struct Case {
        QPageSize::PageSizeId page;
        QPageLayout::Orientation orientation;
        double width, height;   // points
    };
    for (const Case& c : {Case{QPageSize::A4, QPageLayout::Landscape, 841.9, 595.3},
                          Case{QPageSize::A4, QPageLayout::Portrait, 595.3, 841.9},
                          Case{QPageSize::A3, QPageLayout::Landscape, 1190.6, 841.9}}) {
        ExportTarget t{dir.filePath("map.pdf"), QSize(), c.page, c.orientation};
        ExportOptions o{true, true, QStringLiteral("Общая схема")};
        auto drawn = writeExport(t, commands->scene(), o);
        ASSERT_TRUE(drawn) << drawn.error().message().toStdString();
        QFile f(t.path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString pdf = QString::fromLatin1(f.readAll());
        EXPECT_EQ(pdf.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 1);
        const auto box = QRegularExpression(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)")).match(pdf);
        ASSERT_TRUE(box.hasMatch());
        EXPECT_NEAR(box.captured(1).toDouble(), c.width, 1);
        EXPECT_NEAR(box.captured(2).toDouble(), c.height, 1);
        // The frame keeps the map's proportions on the page.
        const double mapAspect = double(pic().width()) / pic().height();
        EXPECT_NEAR(double(drawn->map.width()) / drawn->map.height(), mapAspect, 0.02);
    }
}

TEST_F(MapExport, AFailedWriteLeavesNoFile)
{
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    struct Case {
        const char* file;
        QSize size;
        const char* message;
    };
    const Case cases[] = {
        {"map.bmp", QSize(100, 50), "Неизвестный формат файла «map.bmp»"},
        {"map.png", QSize(0, 50), "Недопустимый размер изображения 0×50"},
        {"map.svg", QSize(20001, 50), "Недопустимый размер изображения 20001×50"},
        {"plain/map.png", QSize(100, 50), "Не удалось записать файл"},
    };
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto drawn = write(QString::fromUtf8(c.file), c.size);
        ASSERT_FALSE(drawn);
        EXPECT_TRUE(drawn.error().message().startsWith(QString::fromUtf8(c.message))) << drawn.error().message().toStdString();
    }
    // A full disk: the file may grow to a few bytes only.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 256;
    setrlimit(RLIMIT_FSIZE, &small);
    auto full = write(QStringLiteral("full.png"), QSize(1600, 800));
    setrlimit(RLIMIT_FSIZE, &saved);
    ASSERT_FALSE(full);
    EXPECT_TRUE(full.error().message().startsWith(QStringLiteral("Не удалось записать файл"))) << full.error().message().toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before);
}

TEST_F(MapExport, CopyPutsTheMapsPictureOnTheClipboard)
{
    auto* copy = w->findChild<QObject*>(QStringLiteral("keyCopyPicture"));
    ASSERT_NE(copy, nullptr);
    commands->copyPicture();
    EXPECT_TRUE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32)
                == pic().image().convertToFormat(QImage::Format_RGB32));
}
