#pragma once

#include <QString>

namespace zova {

// The file and folder name stem of an export, from a guide's title: lower case,
// spaces as "-", only letters, marks, digits, "-" and "_" kept, at most
// maxSlugBytes of UTF-8 cut between characters; "vorne-export" when nothing is left.
QString slugFor(const QString& title);

constexpr qsizetype maxSlugBytes = 200;

} // namespace zova
