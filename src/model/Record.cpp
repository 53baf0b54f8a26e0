#include "model/Record.h"

#include "model/ModelContext.h"

namespace zova {

QString uuidText(const QUuid& id) { return id.toString(QUuid::WithoutBraces).toUpper(); }

Record::Record(QUuid id)
    : m_id(id)
{
}

void Record::fieldChanged()
{
    if (m_loading)
        return;
    emit changed();
    if (m_context && !m_deleted)
        m_context->recordChanged(this);
}

} // namespace zova
