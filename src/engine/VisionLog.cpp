#include "engine/VisionLog.h"

// Debug messages list every word read, which costs a click's label time: they
// are off unless QT_LOGGING_RULES asks for them.
Q_LOGGING_CATEGORY(lcVision, "zova.engine.vision", QtInfoMsg)
