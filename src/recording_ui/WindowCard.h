#pragma once

#include "engine/WindowPreviews.h"
#include "platform/DesktopSnapshot.h"
#include "recording_ui/TargetCard.h"

#include <QColor>
#include <QImage>
#include <QPointer>

#include <optional>

namespace zova {

class RecordingFeed;

// A window offered for recording: a thumbnail fetched off the GUI thread each
// time the card comes on screen, the window's title and its application. A
// window whose thumbnail cannot be taken shows its application's icon (or a
// window symbol when its client publishes none) and is marked as being on
// another workspace, or minimised.
class WindowCard final : public TargetCard {
    Q_OBJECT
public:
    enum class State { Fetching, Shown, Unavailable };

    static constexpr double thumbnailMaxDimension = 240;
    // The application icon's frame, in device-independent pixels.
    static constexpr int iconSide = 56;

    // The previews come from `feed`, which may go before the card.
    WindowCard(DesktopWindow window, RecordingFeed* feed, QWidget* parent = nullptr);
    ~WindowCard() override;

    const DesktopWindow& window() const { return m_window; }
    // The title, else the application's name, else "Untitled".
    static QString displayTitle(const DesktopWindow& window);
    // The application's name under the title; none when the title line already
    // shows it or there is no application.
    static std::optional<QString> applicationLine(const DesktopWindow& window);
    static QString anotherWorkspaceText();
    static QString minimizedText();
    // The badge of a card without a thumbnail: where the window is instead.
    QString unavailableBadgeText() const;

    QString displayTitle() const { return displayTitle(m_window); }
    const std::optional<QImage>& thumbnail() const { return m_thumbnail; }
    // The application's icon, shown while there is no thumbnail.
    const std::optional<QImage>& appIcon() const { return m_icon; }
    // The fetch asked for and not yet answered; none while no fetch runs.
    std::optional<quint64> fetchTicket() const { return m_ticket; }
    bool didFinishThumbnailFetch() const { return m_didFinishThumbnailFetch; }
    State state() const;
    bool showsAnotherWorkspaceBadge() const { return state() == State::Unavailable; }
    QColor previewBackground() const;

    // The grid reports whether the card lies in the visible part of the list:
    // coming on screen starts a fetch, leaving it cancels the fetch under way.
    // Neither clears what the card shows.
    void setOnScreen(bool onScreen);
    bool isOnScreen() const { return m_onScreen; }

signals:
    void thumbnailFetchFinished();

protected:
    void paintPreview(QPainter& painter, const QRectF& rect) override;
    void paintText(QPainter& painter, const QRectF& titleLine, const QRectF& secondLine) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void syncSpinner();
    void cancelFetch();
    void fetched(quint64 ticket, const WindowPreviews::Preview& preview);
    // The icon at its shown size and its shadow, made once per fetch.
    void prepareIcon();
    void paintIcon(QPainter& painter, const QRectF& rect);

    DesktopWindow m_window;
    QPointer<RecordingFeed> m_feed;
    std::optional<QImage> m_thumbnail;
    std::optional<QImage> m_icon;
    QImage m_iconPicture;
    QImage m_iconShadow;
    bool m_didFinishThumbnailFetch = false;
    bool m_onScreen = false;
    std::optional<quint64> m_ticket;
    class Spinner* m_spinner = nullptr;
};

} // namespace zova
