#include "style/StyleLog.h"

Q_LOGGING_CATEGORY(lcStyle, "zova.style")
