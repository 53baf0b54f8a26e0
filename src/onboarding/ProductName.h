#pragma once

#include <QString>

namespace zova {

// The product's full name, shown under the title on the splash and the
// onboarding screen.
inline QString productFullName() { return QStringLiteral("Zero-Overhead Visual Assistant"); }

} // namespace zova
