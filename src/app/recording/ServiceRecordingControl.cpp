#include "app/recording/ServiceRecordingControl.h"

namespace zova {

ServiceRecordingControl::ServiceRecordingControl(RecordingService& service, QObject* parent)
    : RecordingControl(parent)
    , m_service(service)
{
    connect(&service, &RecordingService::phaseChanged, this, &RecordingControl::phaseChanged);
}

} // namespace zova
