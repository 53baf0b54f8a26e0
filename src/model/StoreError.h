#pragma once

#include <QString>

namespace zova {

// Why the store could not be opened, read or written.
struct StoreError {
    enum class Code {
        None,
        OpenFailed,
        NotADatabase,
        ForeignFile,
        UnsupportedVersion,
        IncompatibleSchema,
        ReadOnly,
        ReadFailed,
        WriteFailed
    };

    Code code = Code::None;
    QString detail; // the database engine's own words, when it gave any

    // Fixed English text, followed by the detail in parentheses.
    QString description() const;
};

} // namespace zova
