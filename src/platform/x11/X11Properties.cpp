#include "platform/x11/X11Properties.h"

#include "platform/x11/X11Display.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace zova::x11 {

namespace {

struct RawProperty {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    XPtr<unsigned char> data;
};

std::optional<RawProperty> readRaw(Display* d, Window w, Atom property, Atom wanted)
{
    RawProperty p;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, property, 0, 1 << 20, False, wanted, &p.type, &p.format, &p.count, &after, &data)
        != Success)
        return std::nullopt;
    p.data.reset(data);
    if (p.type == None || (wanted != AnyPropertyType && p.type != wanted))
        return std::nullopt;
    return p;
}

} // namespace

std::optional<QList<unsigned long>> cardinals(Display* d, Window w, const char* name, Atom type)
{
    auto p = readRaw(d, w, atom(d, name), type);
    if (!p || p->format != 32)
        return std::nullopt;
    // Format-32 data is handed back as an array of long.
    const auto* values = reinterpret_cast<const unsigned long*>(p->data.get());
    return QList<unsigned long>(values, values + p->count);
}

std::optional<unsigned long> cardinal(Display* d, Window w, const char* name, Atom type)
{
    auto values = cardinals(d, w, name, type);
    if (!values || values->isEmpty())
        return std::nullopt;
    return values->first();
}

std::optional<QString> utf8Property(Display* d, Window w, const char* name)
{
    auto p = readRaw(d, w, atom(d, name), atom(d, "UTF8_STRING"));
    if (!p || p->format != 8)
        return std::nullopt;
    return QString::fromUtf8(reinterpret_cast<const char*>(p->data.get()), qsizetype(p->count));
}

std::optional<QString> windowTitle(Display* d, Window w)
{
    if (auto name = utf8Property(d, w, "_NET_WM_NAME"))
        return name;
    auto p = readRaw(d, w, XA_WM_NAME, AnyPropertyType);
    if (!p || p->format != 8)
        return std::nullopt;
    const QByteArray bytes(reinterpret_cast<const char*>(p->data.get()), qsizetype(p->count));
    if (p->type == XA_STRING)
        return QString::fromLatin1(bytes);
    if (p->type == atom(d, "UTF8_STRING"))
        return QString::fromUtf8(bytes);
    XTextProperty text { p->data.get(), p->type, p->format, p->count };
    char** list = nullptr;
    int n = 0;
    QString result;
    if (Xutf8TextPropertyToTextList(d, &text, &list, &n) >= Success && list) {
        for (int i = 0; i < n; ++i)
            result += QString::fromUtf8(list[i]);
        XFreeStringList(list);
        return result;
    }
    return QString::fromLatin1(bytes);
}

std::optional<std::pair<QString, QString>> windowClass(Display* d, Window w)
{
    XClassHint hint { nullptr, nullptr };
    if (!XGetClassHint(d, w, &hint))
        return std::nullopt;
    std::pair<QString, QString> result { QString::fromUtf8(hint.res_name ? hint.res_name : ""),
        QString::fromUtf8(hint.res_class ? hint.res_class : "") };
    XFree(hint.res_name);
    XFree(hint.res_class);
    return result;
}

bool hasProperty(Display* d, Window w, const char* name)
{
    return readRaw(d, w, atom(d, name), AnyPropertyType).has_value();
}

} // namespace zova::x11
