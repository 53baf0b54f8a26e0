#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <optional>

namespace zova {

class Settings;

// The first-run tip tour: which tip shows, and whether the tour was ever finished.
class CoachMarksService : public QObject {
    Q_OBJECT
public:
    enum class Tip { Welcome, NewGuide, RightClickCard, ReorderSteps, Appearance, HelpMenu };
    static constexpr std::array<Tip, 6> allTips
        = { Tip::Welcome, Tip::NewGuide, Tip::RightClickCard, Tip::ReorderSteps, Tip::Appearance, Tip::HelpMenu };
    static QString rawValue(Tip tip);
    static std::optional<Tip> tipFromRaw(const QString& raw);

    explicit CoachMarksService(Settings& settings, QObject* parent = nullptr);

    bool hasSeenTour() const { return m_hasSeenTour; }
    void setHasSeenTour(bool seen);
    std::optional<Tip> activeTip() const { return m_activeTip; }
    void setActiveTip(std::optional<Tip> tip);

    // The next tip, or finish() after the last one (or with no tip showing).
    void advance();
    // Hides the tip, marks the tour seen and stores the time of this finish.
    void finish();
    // "Tip 1 of 6"; empty with no tip showing.
    QString positionLabel() const;

signals:
    void hasSeenTourChanged(bool seen);
    void activeTipChanged();

private:
    QPointer<Settings> m_settings;
    bool m_hasSeenTour = false;
    std::optional<Tip> m_activeTip;
};

} // namespace zova
