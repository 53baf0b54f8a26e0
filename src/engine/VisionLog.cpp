#include "engine/VisionLog.h"

Q_LOGGING_CATEGORY(lcVision, "zova.engine.vision")
