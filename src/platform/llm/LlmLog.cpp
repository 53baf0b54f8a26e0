#include "platform/llm/LlmLog.h"

Q_LOGGING_CATEGORY(lcLlm, "zova.platform.llm")
