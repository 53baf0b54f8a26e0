#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCapture)
Q_DECLARE_LOGGING_CATEGORY(lcClickTracking)
Q_DECLARE_LOGGING_CATEGORY(lcRecording)
