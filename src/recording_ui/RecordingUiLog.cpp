#include "recording_ui/RecordingUiLog.h"

Q_LOGGING_CATEGORY(lcRecordingUi, "zova.recording_ui")
