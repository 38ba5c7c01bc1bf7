#pragma once
// The help viewer: a top-level window that shows the help document (an HTML file) at one
// of its named anchors, with "Содержание", "Назад" and "Вперед" above the text.
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace zd {

// The anchor of the contents section of the help document.
inline const QString kHelpContentsAnchor = QStringLiteral("contents");

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // owner: the window the viewer belongs to (it closes with it); may be null.
    explicit HelpViewer(QWidget* owner = nullptr);

    // Shows the window with the document at path (the name matched case-insensitively),
    // scrolled to the anchor, or to the contents when the anchor is empty. A document that
    // cannot be read is reported in a message box; the window is then not shown and the
    // result is false.
    bool showDocument(const QString& path, const QString& anchor = {});

    QTextBrowser& browser() const { return *m_browser; }
    // The file shown, as found on disk; empty before the first document.
    const QString& documentFile() const { return m_file; }

private:
    void placeBesideOwner();

    QTextBrowser* m_browser = nullptr;
    QToolButton* m_back = nullptr;
    QToolButton* m_fore = nullptr;
    QString m_file;
    bool m_placed = false;
};

} // namespace zd
