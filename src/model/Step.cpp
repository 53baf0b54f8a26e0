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

Step* Step::makeStored(QUuid id)
{
    auto* s = new Step();
    s->m_id = id;
    return s;
}

#define ZOVA_SETTER(Type, name, member, signal)                                                                        \
    void Step::name(Type v)                                                                                            \
    {                                                                                                                  \
        if (!assignIfChanged(member, v))                                                                               \
            return;                                                                                                    \
        emit signal();                                                                                                 \
        fieldChanged();                                                                                                \
    }

ZOVA_SETTER(qint64, setOrder, m_order, orderChanged)
ZOVA_SETTER(const QString&, setScreenshotFilename, m_screenshotFilename, screenshotFilenameChanged)
ZOVA_SETTER(double, setClickX, m_clickX, clickXChanged)
ZOVA_SETTER(double, setClickY, m_clickY, clickYChanged)
ZOVA_SETTER(const std::optional<QString>&, setOcrLabel, m_ocrLabel, ocrLabelChanged)
ZOVA_SETTER(const std::optional<QString>&, setUserDescription, m_userDescription, userDescriptionChanged)
ZOVA_SETTER(const std::optional<QByteArray>&, setAnnotationsData, m_annotationsData, annotationsDataChanged)
ZOVA_SETTER(const QDateTime&, setCapturedAt, m_capturedAt, capturedAtChanged)
ZOVA_SETTER(const std::optional<QString>&, setVideoBackgroundHex, m_videoBackgroundHex, videoBackgroundHexChanged)

#undef ZOVA_SETTER

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
