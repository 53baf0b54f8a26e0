#pragma once

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

// What an export may find at its destination once the user chose to replace it:
// a symbolic link to a file elsewhere, or a write-protected earlier export.
namespace destinations {

enum class Occupant { SymbolicLink, WriteProtectedFile };
constexpr Occupant occupants[] = { Occupant::SymbolicLink, Occupant::WriteProtectedFile };
inline const QByteArray outsideBytes("a file outside the export");

inline const char* nameOf(Occupant o) { return o == Occupant::SymbolicLink ? "symbolic link" : "write-protected"; }

inline void occupy(const QString& path, const QString& outside, Occupant o)
{
    QFile::remove(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(zova::test::writeFile(outside, outsideBytes));
    if (o == Occupant::SymbolicLink) {
        ASSERT_TRUE(QFile::link(outside, path));
    } else {
        ASSERT_TRUE(zova::test::writeFile(path, "earlier export"));
        ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadOther));
    }
}

// The path itself holds the new export; the link's target is untouched.
inline void expectReplaced(const QString& path, const QString& outside, const QByteArray& starts, Occupant o)
{
    EXPECT_FALSE(QFileInfo(path).isSymLink()) << nameOf(o);
    EXPECT_TRUE(QFileInfo(path).isFile()) << nameOf(o);
    EXPECT_TRUE(zova::test::readFile(path).startsWith(starts)) << nameOf(o);
    EXPECT_EQ(zova::test::readFile(outside), outsideBytes) << nameOf(o);
}

} // namespace destinations
