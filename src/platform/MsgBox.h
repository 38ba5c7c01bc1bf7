#pragma once
// Message boxes of the program. Every box goes through msgBox(), so that tests can
// read the text, icon and caption and answer without a modal loop.
#include <QString>
#include <functional>

namespace zd {

enum class MsgIcon { None, Critical, Information, Exclamation, Question };

struct MsgRequest {
    QString text;
    QString caption;   // empty: the application's title
    MsgIcon icon = MsgIcon::None;
};

// The application's title: the caption of boxes that have the default caption.
inline const QString kAppTitle = QStringLiteral("Схема ж.д. сети СНГ");

// Shows a modal box with an OK button (or hands it to the installed handler).
void msgBox(const MsgRequest& request);
inline void msgBox(const QString& text, MsgIcon icon = MsgIcon::None, const QString& caption = {})
{
    msgBox(MsgRequest{text, caption, icon});
}

// Tests install a handler that records the box instead of showing it; an empty
// function puts the real message box back.
using MsgHandler = std::function<void(const MsgRequest&)>;
void setMsgHandler(MsgHandler handler);
// Whether a handler records the boxes (no user is there to answer a dialog).
bool msgBoxesRecorded();

} // namespace zd
