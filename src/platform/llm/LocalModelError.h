#pragma once

#include <QString>

namespace zova::llm {

// Why a chat request gave no answer.
struct LocalModelError {
    enum class Code { NoServer, TimedOut, TooLarge, HttpStatus, Network, BadAnswer };

    Code code = Code::NoServer;
    int httpStatus = 0;
    QString detail; // the server's or the network's own words, when there are any

    // Fixed English text, with the detail where it helps.
    QString message() const;
};

} // namespace zova::llm
