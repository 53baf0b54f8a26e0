#pragma once

#include "platform/DesktopSnapshot.h"
#include "recording_ui/TargetCard.h"

#include <QColor>
#include <QImage>

#include <functional>
#include <optional>

namespace zova {

// A window offered for recording: a thumbnail fetched once each time the card
// comes on screen, the window's title and its application. A window whose
// thumbnail cannot be taken is marked as being on another workspace.
class WindowCard final : public TargetCard {
    Q_OBJECT
public:
    using ThumbnailFetch = std::function<std::optional<QImage>(const DesktopWindow& window, double maxDimension)>;
    enum class State { Fetching, Shown, Unavailable };

    static constexpr double thumbnailMaxDimension = 240;

    WindowCard(DesktopWindow window, ThumbnailFetch fetch, QWidget* parent = nullptr);

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
    bool didFinishThumbnailFetch() const { return m_didFinishThumbnailFetch; }
    State state() const;
    bool showsAnotherWorkspaceBadge() const { return state() == State::Unavailable; }
    QColor previewBackground() const;

    // The grid reports whether the card lies in the visible part of the list:
    // coming on screen starts a fetch, leaving it cancels a fetch not yet run.
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
    void fetchThumbnail(quint64 generation);

    DesktopWindow m_window;
    ThumbnailFetch m_fetch;
    std::optional<QImage> m_thumbnail;
    bool m_didFinishThumbnailFetch = false;
    bool m_onScreen = false;
    quint64 m_generation = 0;
    class Spinner* m_spinner = nullptr;
};

} // namespace zova
