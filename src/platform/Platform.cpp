#include "platform/Platform.h"

Q_LOGGING_CATEGORY(lcPlatform, "zova.platform")
