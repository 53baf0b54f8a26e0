#include "editor/EditorLog.h"

Q_LOGGING_CATEGORY(lcEditor, "zova.editor")
