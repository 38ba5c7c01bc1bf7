#include "platform/MsgBox.h"

#include <QMessageBox>

namespace zd {

namespace {
MsgHandler& handler()
{
    static MsgHandler h;
    return h;
}

QMessageBox::Icon toQt(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void setMsgHandler(MsgHandler h) { handler() = std::move(h); }
bool msgBoxesRecorded() { return static_cast<bool>(handler()); }

void msgBox(const MsgRequest& request)
{
    MsgRequest r = request;
    if (r.caption.isEmpty())
        r.caption = kAppTitle;
    if (handler()) {
        handler()(r);
        return;
    }
    QMessageBox box(toQt(r.icon), r.caption, r.text, QMessageBox::Ok);
    box.exec();
}

} // namespace zd
