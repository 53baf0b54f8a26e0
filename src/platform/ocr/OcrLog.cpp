#include "platform/ocr/OcrLog.h"

Q_LOGGING_CATEGORY(lcOcr, "zova.platform.ocr")
