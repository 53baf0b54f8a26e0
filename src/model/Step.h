#pragma once

#include "model/Record.h"
#include "model/StepAnnotation.h"

#include <QByteArray>
#include <QDateTime>
#include <QPointer>
#include <QString>

#include <optional>

namespace zova {

class Guide;

// One click of a guide: its screenshot, hotspot and label.
class Step : public Record {
    Q_OBJECT
public:
    explicit Step(qint64 order = 0, const QString& screenshotFilename = {}, double clickX = 0, double clickY = 0);
    static Step* makeStored(QUuid id);

    qint64 order() const { return m_order; }
    QString screenshotFilename() const { return m_screenshotFilename; }
    double clickX() const { return m_clickX; }
    double clickY() const { return m_clickY; }
    std::optional<QString> ocrLabel() const { return m_ocrLabel; }
    std::optional<QString> userDescription() const { return m_userDescription; }
    std::optional<QByteArray> annotationsData() const { return m_annotationsData; }
    QDateTime capturedAt() const { return m_capturedAt; }
    std::optional<QString> videoBackgroundHex() const { return m_videoBackgroundHex; }
    Guide* guide() const { return m_guide; }

    void setOrder(qint64 v);
    void setScreenshotFilename(const QString& v);
    void setClickX(double v);
    void setClickY(double v);
    void setOcrLabel(const std::optional<QString>& v);
    void setUserDescription(const std::optional<QString>& v);
    void setAnnotationsData(const std::optional<QByteArray>& v);
    void setCapturedAt(const QDateTime& v);
    void setVideoBackgroundHex(const std::optional<QString>& v);
    // Moves the step into the guide's relation (and out of its old one). When the
    // guide lives in a context and the step does not yet, the step is inserted too.
    void setGuide(Guide* guide);

    // The user's description, else the OCR label, else "Step N" (order + 1).
    QString displayLabel() const;

    // Decoded annotationsData; unreadable data reads as none.
    QList<StepAnnotation> annotations() const;
    // Replaces annotationsData; an unencodable list is stored as none.
    void setAnnotations(const QList<StepAnnotation>& list);

signals:
    void orderChanged();
    void screenshotFilenameChanged();
    void clickXChanged();
    void clickYChanged();
    void ocrLabelChanged();
    void userDescriptionChanged();
    void annotationsDataChanged();
    void capturedAtChanged();
    void videoBackgroundHexChanged();
    void guideChanged();

private:
    friend class Guide;
    friend class ModelContext;
    struct StoredId {
        QUuid id;
    };
    explicit Step(StoredId stored);

    qint64 m_order = 0;
    QString m_screenshotFilename;
    double m_clickX = 0;
    double m_clickY = 0;
    std::optional<QString> m_ocrLabel;
    std::optional<QString> m_userDescription;
    std::optional<QByteArray> m_annotationsData;
    QDateTime m_capturedAt;
    std::optional<QString> m_videoBackgroundHex;
    Guide* m_guide = nullptr;
};

} // namespace zova
