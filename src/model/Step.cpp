#include "model/Step.h"

#include "model/Guide.h"
#include "model/ModelContext.h"

namespace zova {

Step::Step(qint64 order, const QString& screenshotFilename, double clickX, double clickY)
    : Record(QUuid::createUuid())
    , m_order(order)
    , m_screenshotFilename(screenshotFilename)
    , m_clickX(clickX)
    , m_clickY(clickY)
    , m_capturedAt(QDateTime::currentDateTimeUtc())
{
}

Step::Step(StoredId stored)
    : Record(stored.id)
{
}

Step* Step::makeStored(QUuid id) { return new Step(StoredId { id }); }

void Step::setOrder(qint64 v) { setField(m_order, v, &Step::orderChanged); }
void Step::setScreenshotFilename(const QString& v)
{
    setField(m_screenshotFilename, v, &Step::screenshotFilenameChanged);
}
void Step::setClickX(double v) { setField(m_clickX, v, &Step::clickXChanged); }
void Step::setClickY(double v) { setField(m_clickY, v, &Step::clickYChanged); }
void Step::setOcrLabel(const std::optional<QString>& v) { setField(m_ocrLabel, v, &Step::ocrLabelChanged); }
void Step::setUserDescription(const std::optional<QString>& v)
{
    setField(m_userDescription, v, &Step::userDescriptionChanged);
}
void Step::setAnnotationsData(const std::optional<QByteArray>& v)
{
    setField(m_annotationsData, v, &Step::annotationsDataChanged);
}
void Step::setCapturedAt(const QDateTime& v) { setField(m_capturedAt, v, &Step::capturedAtChanged); }
void Step::setVideoBackgroundHex(const std::optional<QString>& v)
{
    setField(m_videoBackgroundHex, v, &Step::videoBackgroundHexChanged);
}

void Step::setGuide(Guide* guide)
{
    if (m_guide == guide)
        return;
    if (m_guide)
        m_guide->detachStep(this);
    m_guide = guide;
    if (guide) {
        guide->attachStep(this);
        if (!context() && guide->context() && !guide->isDeleted())
            guide->context()->insert(this);
    }
    emit guideChanged();
    fieldChanged();
}

QString Step::displayLabel() const
{
    if (m_userDescription && !m_userDescription->isEmpty())
        return *m_userDescription;
    if (m_ocrLabel && !m_ocrLabel->isEmpty())
        return *m_ocrLabel;
    return QStringLiteral("Step ") + QString::number(m_order + 1);
}

QList<StepAnnotation> Step::annotations() const
{
    if (!m_annotationsData)
        return {};
    return StepAnnotation::decodeList(*m_annotationsData);
}

void Step::setAnnotations(const QList<StepAnnotation>& list) { setAnnotationsData(StepAnnotation::encodeList(list)); }

} // namespace zova
