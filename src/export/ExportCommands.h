#pragma once
// The commands of export and print of the map: "Экспорт изображения…" (Ctrl+E), "Печать…"
// (Ctrl+P), "Предварительный просмотр…", given to the main window as its "Файлы" items;
// Ctrl+C on the map copies its picture.
#include "export/ExportRender.h"

#include <QList>
#include <QObject>

class QAction;

namespace zd {

class MapHost;

class ExportCommands : public QObject {
    Q_OBJECT
public:
    ExportCommands(MapHost& host, QObject* parent);

    // The "Файлы" items in their order, the separator that ends them last.
    const QList<QAction*>& fileItems() const { return m_fileItems; }

    // What the map shows now, for an export or a print: its state, network and highlights.
    ExportScene scene() const;
    QString title() const;   // the frame's default title line
    // Why no scale bar can be drawn on this frame, or empty.
    QString scaleProblem() const;

    void mnuFiles_Export_Click();
    void mnuFiles_Print_Click();
    void mnuFiles_Preview_Click();
    void copyPicture();

private:
    QAction* item(const char* name, const QString& caption, void (ExportCommands::*handler)());

    MapHost& m_host;
    QList<QAction*> m_fileItems;
    ExportOptions m_printOptions{true, true, QString()};
};

} // namespace zd
