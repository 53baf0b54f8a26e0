#include "engine/EngineLog.h"

Q_LOGGING_CATEGORY(lcCapture, "zova.CaptureService")
Q_LOGGING_CATEGORY(lcClickTracking, "zova.ClickTracking")
Q_LOGGING_CATEGORY(lcRecording, "zova.Recording")
