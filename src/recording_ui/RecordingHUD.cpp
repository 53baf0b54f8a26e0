#include "recording_ui/RecordingHUD.h"

#include "recording_ui/RecordingFeed.h"
#include "recording_ui/StatusMarkView.h"
#include "style/CircleButton.h"
#include "style/Shapes.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QBitmap>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace zova {

namespace {

constexpr qreal plateRadius = 18;
constexpr qreal rowWidth = 246.5;
constexpr qreal rowHeight = 46; // the 30-point buttons with 8 above and below

QColor white(qreal opacity) { return Shapes::withAlpha(Qt::white, opacity); }

// A 0.5-wide, 26-high line of white at 0.18, with 6 on either side.
class Separator final : public QWidget {
public:
    explicit Separator(QWidget* parent)
        : QWidget(parent)
    {
        setFixedSize(13, 26);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(QRectF(6, 0, 0.5, 26), white(0.18));
    }
};

} // namespace

RecordingHUD::RecordingHUD(RecordingFeed& recording, Action onStop, Action onCancel, bool translucent, QWidget* parent)
    : QWidget(parent)
    , m_recording(&recording)
    , m_onStop(std::move(onStop))
    , m_onCancel(std::move(onCancel))
    , m_translucent(translucent)
{
    setObjectName(QStringLiteral("recordingHUD"));
    setFixedSize(panelSize);

    auto* row = new QHBoxLayout(this);
    row->setSpacing(0);
    // The row's fixed widths, centred in the panel.
    const int side = int((panelSize.width() - rowWidth) / 2) + 10;
    row->setContentsMargins(side, 0, side - 10, 0);

    m_mark = new StatusMarkView(this);
    row->addWidget(m_mark);

    auto* clock = new QWidget(this);
    clock->setFixedWidth(96);
    auto* lines = new QVBoxLayout(clock);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(1);
    m_time = new TextLine(
        {}, Typography::font(14, QFont::Bold, Typography::Design::Monospaced), [] { return QColor(Qt::white); }, clock);
    m_time->setObjectName(QStringLiteral("timeLabel"));
    m_steps = new TextLine(
        {}, Typography::font(10), [] { return white(0.65); }, clock);
    m_steps->setObjectName(QStringLiteral("stepsLabel"));
    lines->addStretch(1);
    lines->addWidget(m_time);
    lines->addWidget(m_steps);
    lines->addStretch(1);
    row->addWidget(clock);
    row->addWidget(new Separator(this));

    CircleButton::Look pause;
    pause.fill = [](const QRectF&) { return QBrush(white(0.12)); };
    pause.border = [] { return white(0.22); };
    pause.symbol = QStringLiteral("pause.fill");
    m_pause = new CircleButton(pause, this);
    m_pause->setObjectName(QStringLiteral("pauseButton"));
    connect(m_pause, &QAbstractButton::clicked, this, &RecordingHUD::togglePause);
    row->addWidget(m_pause);

    CircleButton::Look stop;
    stop.fill = [](const QRectF& circle) { return QBrush(ZOVAGradient::record(circle)); };
    stop.border = [] { return white(0.35); };
    stop.symbol = QStringLiteral("stop.fill");
    stop.shadow = Shapes::withAlpha(ZOVAColor::magenta(), 0.5);
    m_stop = new CircleButton(stop, this);
    m_stop->setObjectName(QStringLiteral("stopButton"));
    m_stop->setToolTip(QStringLiteral("Stop and save recording"));
    connect(m_stop, &QAbstractButton::clicked, this, [this] {
        if (m_onStop)
            m_onStop();
    });
    row->addWidget(m_stop);

    row->addSpacing(4);
    CircleButton::Look cancel;
    cancel.frame = 22;
    cancel.diameter = 22;
    cancel.fill = [](const QRectF&) { return QBrush(white(0.08)); };
    cancel.symbol = QStringLiteral("xmark");
    cancel.symbolSize = 9;
    cancel.symbolColor = [] { return white(0.7); };
    m_cancel = new CircleButton(cancel, this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setToolTip(QStringLiteral("Cancel \u2014 discard this recording"));
    connect(m_cancel, &QAbstractButton::clicked, this, [this] {
        if (m_onCancel)
            m_onCancel();
    });
    row->addWidget(m_cancel);
    row->addStretch(1);

    connect(&recording, &RecordingFeed::recordingChanged, this, &RecordingHUD::sync);
    sync();
}

QString RecordingHUD::timeLabel(double elapsed)
{
    const qint64 total = std::isfinite(elapsed) && elapsed > 0 ? qint64(std::trunc(elapsed)) : 0;
    const qint64 minutes = total / 60;
    const qint64 seconds = total - 60 * minutes;
    return QStringLiteral("%1:%2").arg(minutes, 2, 10, QLatin1Char('0')).arg(seconds, 2, 10, QLatin1Char('0'));
}

QString RecordingHUD::stepsLabel(int stepCount, bool clickTrackingActive)
{
    if (!clickTrackingActive)
        return QStringLiteral("Clicks not tracking");
    return QStringLiteral("%1 step%2").arg(stepCount).arg(stepCount == 1 ? QString() : QStringLiteral("s"));
}

QString RecordingHUD::trackingWarningToolTip()
{
    return QStringLiteral("Clicks aren't being tracked. Z.O.V.A needs an X11 session with XInput 2.1 or later.");
}

QString RecordingHUD::windowClosedLabel() { return QStringLiteral("Window closed"); }

QString RecordingHUD::windowClosedToolTip(int stepCount)
{
    return QStringLiteral("The recorded window was closed. Stop to keep the %1 step%2 recorded so far.")
        .arg(stepCount)
        .arg(stepCount == 1 ? QString() : QStringLiteral("s"));
}

QString RecordingHUD::timeText() const { return m_time->text(); }

QString RecordingHUD::stepsText() const { return m_steps->text(); }

QColor RecordingHUD::stepsColor() const { return m_steps->color(); }

RecordingHUD::StatusMark RecordingHUD::statusMark() const
{
    return m_mark->isWarning() ? StatusMark::TrackingWarning : StatusMark::RecordingDot;
}

QString RecordingHUD::statusToolTip() const { return m_mark->toolTip(); }

qreal RecordingHUD::ringOpacity() const { return m_mark->ringOpacity(); }

void RecordingHUD::togglePause()
{
    if (!m_recording)
        return;
    switch (m_recording->phase()) {
    case RecordingFeed::Phase::Armed: m_recording->pauseRecording(); break;
    case RecordingFeed::Phase::Paused: m_recording->resumeRecording(); break;
    case RecordingFeed::Phase::Idle:
    case RecordingFeed::Phase::Picking:
    case RecordingFeed::Phase::Finishing: break;
    }
}

void RecordingHUD::sync()
{
    if (!m_recording)
        return;
    const RecordingFeed::Phase phase = m_recording->phase();
    const bool tracking = m_recording->clickTrackingActive();
    const bool paused = phase == RecordingFeed::Phase::Paused;
    const bool dot = tracking || paused;
    m_mark->setState(!dot, phase == RecordingFeed::Phase::Armed ? 1.0 : 0.2);
    m_mark->setToolTip(dot ? QStringLiteral("Recording in progress") : trackingWarningToolTip());
    m_time->setText(timeLabel(m_recording->elapsed()));
    const bool closed = m_recording->targetWindowClosed();
    m_steps->setText(closed ? windowClosedLabel() : stepsLabel(m_recording->stepCount(), tracking));
    m_steps->setToolTip(closed ? windowClosedToolTip(m_recording->stepCount()) : QString());
    if (tracking && !closed)
        m_steps->setColor([] { return white(0.65); });
    else
        m_steps->setColor(ZOVAColor::amber);
    m_pause->setSymbol(paused ? QStringLiteral("play.fill") : QStringLiteral("pause.fill"));
    m_pause->setToolTip(paused ? QStringLiteral("Resume recording") : QStringLiteral("Pause recording"));
}

QRectF RecordingHUD::plateRect() const
{
    QRectF plate(0, 0, rowWidth, rowHeight);
    plate.moveCenter(QRectF(rect()).center());
    return plate;
}

void RecordingHUD::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plate = plateRect();
    const QPainterPath shape = Shapes::roundedRect(plate, plateRadius);
    if (m_translucent) {
        Shapes::paintShadow(painter, shape, Shapes::withAlpha(Qt::black, 0.25), 16, QPointF(0, 6));
    } else {
        // Without a compositor nothing shows through: the glass lies on the window colour.
        painter.fillPath(shape, Shapes::windowBackground());
    }
    painter.fillPath(shape, Shapes::withAlpha(Qt::black, 0.75));
    Shapes::strokeInside(painter, plate, plateRadius, white(0.15), 0.5);
}

void RecordingHUD::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_translucent || !isWindow())
        return;
    // Shape the window to the plate so its corners do not show black.
    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillPath(Shapes::roundedRect(plateRect(), plateRadius), Qt::color1);
    painter.end();
    setMask(mask);
}

void RecordingHUD::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (isWindow() && event->button() == Qt::LeftButton)
        m_dragOffset = event->globalPosition().toPoint() - pos();
}

void RecordingHUD::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (m_dragOffset && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - *m_dragOffset);
}

void RecordingHUD::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    m_dragOffset.reset();
}

} // namespace zova
