#pragma once

#include "base/Delay.h"
#include "export/NarratorService.h"
#include "style/SelectableCard.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class QVBoxLayout;

namespace zova {

class Settings;
class TextLine;
class VoiceRow;

// The Settings window's Voice tab: the automatic row ("ZOVA default") and one row
// per installed voice; the chosen row's voice identifier is stored under
// zovaNarratorVoiceID (the empty string for the automatic row). Each row but the
// automatic one previews its voice. "Refresh Voices" reads the installed voices again.
class VoiceSettingsView : public QWidget {
    Q_OBJECT
public:
    using Voice = NarratorService::Voice;
    // How long a row shows its preview icon after the preview started.
    static constexpr int previewIconMs = 4000;

    // The settings outlive the view; a null narrator is the real one.
    // The preview icon's time is waited through `delay` (empty: a timer).
    explicit VoiceSettingsView(Settings& settings, std::unique_ptr<NarratorService> narrator = {}, Delay delay = {},
        QWidget* parent = nullptr);
    ~VoiceSettingsView() override;

    NarratorService* narrator() const { return m_narrator; }
    // The identifier of the chosen row; empty for the automatic row.
    QString selectedID() const { return m_selectedID; }
    // Selects a row; a real change is stored at once.
    void setSelectedID(const QString& id);
    std::optional<QString> previewingID() const { return m_previewingID; }
    // Previews a voice and shows its row's preview icon for previewIconMs.
    void preview(const Voice& voice);
    // Reads the installed voices again and rebuilds the list.
    void refreshVoices();

    // The rows in list order, the automatic row first.
    QList<VoiceRow*> rows() const { return m_rows; }
    TextLine* currentVoiceLine() const { return m_current; }
    QWidget* refreshButton() const { return m_refresh; }

    // "English (United States) · Premium quality"; the language in the current
    // locale's words, or its code when the locale has no name for it.
    static QString voiceSubtitle(const Voice& voice);
    // "Currently: NAME", or the text for no voice at all.
    QString autoPickSubtitle() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildFooter();
    void rebuildRows();
    void refreshTexts();
    void refreshRows();

    Settings& m_settings;
    NarratorService* m_narrator;
    Delay m_delay;
    QString m_selectedID;
    std::optional<QString> m_previewingID;
    QList<Voice> m_voices;
    QList<VoiceRow*> m_rows;
    QVBoxLayout* m_list = nullptr;
    TextLine* m_current = nullptr;
    QWidget* m_currentRow = nullptr;
    TextLine* m_autoPicked = nullptr;
    QWidget* m_refresh = nullptr;
};

// One row of the voice list: selection mark, title (with the badge on the
// automatic row), subtitle and, for a voice, the preview button.
class VoiceRow : public SelectableCard {
    Q_OBJECT
public:
    VoiceRow(QString id, QString title, QString subtitle, bool isAutoPick, QWidget* parent = nullptr);

    QString id() const { return m_id; }
    QString title() const { return m_title; }
    QString subtitle() const { return m_subtitle; }
    void setSubtitle(const QString& subtitle);
    bool isAutoPick() const { return m_isAutoPick; }
    // Checked exactly when selected; unselecting works outside the exclusive group too.
    bool isSelected() const { return isChecked(); }
    void setSelected(bool selected);
    // The preview button; null on the automatic row.
    QAbstractButton* previewButton() const { return m_preview; }
    void setPreviewing(bool previewing);
    bool isPreviewing() const { return m_previewing; }
    QSize sizeHint() const override;

signals:
    void previewClicked();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_id;
    QString m_title;
    QString m_subtitle;
    bool m_isAutoPick;
    bool m_previewing = false;
    QAbstractButton* m_preview = nullptr;
};

} // namespace zova
