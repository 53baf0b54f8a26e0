#include "platform/llm/LocalModelError.h"

namespace zova::llm {

QString LocalModelError::message() const
{
    switch (code) {
    case Code::NoServer: return QStringLiteral("No on-device language model server is running.");
    case Code::TimedOut: return QStringLiteral("The on-device language model did not answer in time.");
    case Code::TooLarge: return QStringLiteral("The on-device language model sent an answer that was too long.");
    case Code::HttpStatus: {
        QString text = QStringLiteral("The on-device language model answered with HTTP %1.").arg(httpStatus);
        if (!detail.isEmpty())
            text += QLatin1Char(' ') + detail;
        return text;
    }
    case Code::Network:
        return detail.isEmpty() ? QStringLiteral("Could not reach the on-device language model.")
                                : QStringLiteral("Could not reach the on-device language model: %1").arg(detail);
    case Code::BadAnswer: return QStringLiteral("The on-device language model sent an answer that could not be read.");
    }
    return {};
}

} // namespace zova::llm
