#include "platform/Keyboard.h"

#include <QGuiApplication>

#ifdef ZD_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <cstring>
#endif

namespace zd {

#ifdef ZD_HAVE_X11
namespace {
Display* x11Display()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

// The XKB group whose name starts with the language name, or -1.
int findGroup(Display* dpy, const char* language)
{
    XkbDescPtr kb = XkbAllocKeyboard();
    if (!kb) return -1;
    int found = -1;
    if (XkbGetNames(dpy, XkbGroupNamesMask, kb) == Success && kb->names) {
        for (int g = 0; g < XkbNumKbdGroups && found < 0; ++g) {
            if (!kb->names->groups[g]) continue;
            char* name = XGetAtomName(dpy, kb->names->groups[g]);
            if (name && std::strncmp(name, language, std::strlen(language)) == 0) found = g;
            if (name) XFree(name);
        }
    }
    XkbFreeKeyboard(kb, 0, True);
    return found;
}
} // namespace

void SetKbdLayout(std::int16_t english)
{
    Display* dpy = x11Display();
    if (!dpy) return;
    const int group = findGroup(dpy, english != 0 ? "English" : "Russian");
    if (group < 0) return;
    XkbLockGroup(dpy, XkbUseCoreKbd, static_cast<unsigned>(group));
    XFlush(dpy);
}
#else
void SetKbdLayout(std::int16_t) {}
#endif

} // namespace zd
