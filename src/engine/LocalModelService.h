#pragma once

#include "base/Expected.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace zova {

// The on-device language model (a local chat server): whether it can be used,
// tidying recognised step labels, and rewriting descriptions in a tone. Lives on
// the GUI thread; answers arrive later on the same thread.
class LocalModelService : public QObject {
    Q_OBJECT
    Q_PROPERTY(Status status READ status NOTIFY statusChanged)
public:
    enum class Status { Available, DeviceNotEligible, ServerNotRunning, ModelNotReady, Unknown };
    Q_ENUM(Status)

    enum class Tone { Professional, Friendly, Concise, Plain };
    static QList<Tone> allTones();
    static QString rawValue(Tone tone);
    static std::optional<Tone> toneFromRawValue(const QString& raw);
    static QString stylePhrase(Tone tone);

    struct AIError {
        enum class Kind { Unavailable, ModelFailed };
        Kind kind = Kind::Unavailable;
        QString message;
        // The message itself for Unavailable; "AI request failed: " and it for ModelFailed.
        QString description() const;
    };
    using RewriteResult = Expected<QString, AIError>;

    // The instructions given to the model.
    static QString labelCleanupInstructions();
    static QString rewriteInstructions(Tone tone);
    // What the user is told about a status; empty for Available.
    static QString userVisibleText(Status status);

    // Starts with Unknown, then takes the model's status at once.
    explicit LocalModelService(QObject* parent = nullptr);

    Status status() const { return m_status; }
    // Takes the process-wide cached status now and asks the server again in the
    // background; the answer updates `status` when it arrives.
    void refreshStatus();

    // The label tidied by the model, or `label` itself when it is blank, the model
    // is not available, the request fails or the answer is blank. While the
    // status is Unknown it first waits for a look at the server (bounded by the
    // look's time-out). `done` runs on the GUI thread, unless this service is
    // destroyed first.
    void cleanAutoLabel(const QString& label, std::function<void(QString)> done);

    // `text` rewritten in the tone: Unavailable with the status's text when the
    // model is not available, ModelFailed when the request fails, the empty text
    // for blank input (without asking). `done` as above.
    void rewriteStepDescription(const QString& text, Tone tone, std::function<void(RewriteResult)> done);

signals:
    void statusChanged(zova::LocalModelService::Status status);

private:
    void followClientStatus();
    void tidyLabel(const QString& label, std::function<void(QString)> done);
    void setStatus(Status status);

    Status m_status = Status::Unknown;
};

} // namespace zova
