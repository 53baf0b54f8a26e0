#include "engine/EngineLog.h"

Q_LOGGING_CATEGORY(lcCapture, "zova.engine.capture")
Q_LOGGING_CATEGORY(lcClickTracking, "zova.engine.clicks")
Q_LOGGING_CATEGORY(lcRecording, "zova.engine.recording")
