#pragma once
// The dialog of "Экспорт изображения…" and "Печать…": the file and its size or page, the
// legend, the scale bar and the title line; then the file is written, or the frame printed
// or previewed.
#include "export/ExportRender.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QSpinBox;

namespace zd {

class FrmExport : public QDialog {
    Q_OBJECT
public:
    enum Mode { Export, Print };
    // scene: what the map shows now; mapPixels: the map's size, the default and the aspect
    // ratio of an image; scaleProblem: why no scale bar can be drawn, or empty.
    FrmExport(Mode mode, ExportScene scene, QSize mapPixels, const QString& scaleProblem, QWidget* parent);

    void setTitle(const QString& title);
    ExportOptions options() const;
    ExportTarget target() const;

    // Writes the file of the settings; a failure is shown and false returned.
    bool save();
    // The frame on the printer's page with the settings.
    void printOn(QPrinter& printer);

private:
    void buildControls(const QString& scaleProblem);
    void widthChanged(int w);
    void heightChanged(int h);
    void fileChanged(const QString& path);
    void browse();
    void printClicked();
    void previewClicked();

    Mode m_mode;
    ExportScene m_scene;
    QSize m_map;
    QLineEdit* m_file = nullptr;
    QSpinBox *m_width = nullptr, *m_height = nullptr;
    QCheckBox *m_keepAspect = nullptr, *m_legend = nullptr, *m_scaleBar = nullptr, *m_title = nullptr;
    QLineEdit* m_titleText = nullptr;
    QComboBox *m_page = nullptr, *m_orientation = nullptr;
    bool m_syncing = false;
};

// The frame on the printer's page: what the dialog prints and previews.
Expected<ExportDrawn> printScene(QPrinter& printer, const ExportScene& scene, const ExportOptions& o);

} // namespace zd
