#include "export/ExportLog.h"

Q_LOGGING_CATEGORY(lcExport, "zova.export")
