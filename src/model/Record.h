#pragma once

#include "base/NotifyingProperty.h"

#include <QObject>
#include <QUuid>

namespace zova {

class ModelContext;

// The 36-character upper-case text of a UUID, as stored.
QString uuidText(const QUuid& id);

// Base of the persistent records. A record belongs to at most one context; once
// removed from it, isDeleted() is true for the rest of its life and the context
// keeps the object alive, so holders of a pointer can still ask.
class Record : public QObject {
    Q_OBJECT
public:
    QUuid id() const { return m_id; }
    ModelContext* context() const { return m_context; }
    bool isDeleted() const { return m_deleted; }

signals:
    // Emitted after any stored field of this record changed.
    void changed();

protected:
    explicit Record(QUuid id);
    // Notifies the field signal and the context; only call when the value changed.
    void fieldChanged();
    // The setter of a stored field: assigns, and on a real change emits `signal` and tells the context.
    template <typename R, typename T, typename U> void setField(T& field, U&& value, void (R::*signal)())
    {
        if (setNotifying(static_cast<R*>(this), field, std::forward<U>(value), signal))
            fieldChanged();
    }
    QUuid m_id;

private:
    friend class ModelContext;
    ModelContext* m_context = nullptr;
    bool m_deleted = false;
    bool m_loading = false; // set while the store fills the fields
    bool m_persisted = false; // its row exists in the context's file
};

} // namespace zova
