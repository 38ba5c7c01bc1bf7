#pragma once
// The commands of export, print and statistics in the main window: "Файлы" → "Экспорт
// изображения…" (Ctrl+E), "Печать…" (Ctrl+P), "Предварительный просмотр…"; "Сервис" →
// "Статистика…", "Условные обозначения"; Ctrl+C on the map copies its picture.
#include "export/ExportRender.h"

#include <QObject>

class QAction;

namespace zd {

class FrmZdMain;

class ExportCommands : public QObject {
    Q_OBJECT
public:
    explicit ExportCommands(FrmZdMain& main);

    // What the map shows now, for an export or a print: its state, network and highlights.
    ExportScene scene() const;
    QString title() const;   // the frame's default title line
    // Why no scale bar can be drawn on this frame, or empty.
    QString scaleProblem() const;

    void mnuFiles_Export_Click();
    void mnuFiles_Print_Click();
    void mnuFiles_Preview_Click();
    void mnuService_Stats_Click();
    void mnuService_Legend_Click();
    void copyPicture();

private:
    QAction* item(const char* name, const QString& caption, void (ExportCommands::*handler)());
    bool mapReady() const;

    FrmZdMain& m_main;
    ExportOptions m_printOptions{true, true, QString()};
};

} // namespace zd
