#pragma once

#include "platform/x11/X11Display.h"

#include <optional>

namespace zova::x11 {

// Typed reads of window properties; each returns nothing when the property is
// missing, has another type, or the window has gone.
std::optional<QList<unsigned long>> cardinals(Display* d, Window w, const char* name, Atom type);
std::optional<unsigned long> cardinal(Display* d, Window w, const char* name, Atom type);
std::optional<QString> utf8Property(Display* d, Window w, const char* name);
// _NET_WM_NAME, else WM_NAME; absent when the window has neither.
std::optional<QString> windowTitle(Display* d, Window w);
// WM_CLASS as (instance, class).
std::optional<std::pair<QString, QString>> windowClass(Display* d, Window w);
bool hasProperty(Display* d, Window w, const char* name);

} // namespace zova::x11
