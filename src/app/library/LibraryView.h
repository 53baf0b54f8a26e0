#pragma once

#include "app/library/LibraryHooks.h"
#include "app/library/LibrarySort.h"

#include "model/Guide.h"

#include "app/library/LibraryDialogs.h"
#include "model/ModelContext.h"

#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QUuid>
#include <QWidget>

#include <memory>

class QStackedLayout;

namespace zova {

class TextLine;

class DeleteGuideAlert;
class Guide;
class GuideCollection;
class ModelContext;
class PermissionsService;
class PillButton;
class Settings;
class StorageService;
class RenameGuideDialog;
class SearchLineEdit;

// The home screen: header with brand, search and New Guide; the sub-header with
// count, sort and layout; the guides as cards or rows; rename and delete.
// While a guide is open the editor takes the library's place.
class LibraryView : public QWidget {
    Q_OBJECT
public:
    // The settings hold the order and layout; the screenshot folder and the
    // permissions are the root's and outlive the view.
    LibraryView(ModelContext* context, const StorageService& storage, Settings& settings,
        PermissionsService& permissions, LibraryHooks hooks = {}, QWidget* parent = nullptr);
    ~LibraryView() override;

    // The guides shown, filtered by the search text and sorted.
    QList<Guide*> filteredGuides() const;
    QString searchText() const;
    void setSearchText(const QString& text);
    Guide* editingGuide() const { return m_editingGuide; }
    void setEditingGuide(Guide* guide);

    void requestRename(Guide* guide);
    void requestDelete(Guide* guide);
    // Trims the text; a blank text keeps the old title and saves nothing.
    void performRename(Guide* guide, const QString& text);
    // Closes the editor when it shows the guide; deletes the guide and its steps,
    // then its screenshot files once the deletion has been saved. Refused (false)
    // while a recording writes into the guide.
    bool performDelete(Guide* guide);

    // Views for tests and screenshots.
    SearchLineEdit* searchEdit() const { return m_search; }
    GuideCollection* collection() const { return m_collection; }
    PillButton* sortButton() const { return m_sortButton; }
    PillButton* layoutButton() const { return m_layoutButton; }
    TextLine* countLabel() const { return m_countLabel; }
    QWidget* newGuideButton() const { return m_newGuide; }
    DeleteGuideAlert* deleteAlert() const { return m_deleteAlert; }
    RenameGuideDialog* renameDialog() const { return m_renameDialog; }
    QWidget* editorPlace() const { return m_editorPlace; }
    PermissionsService& permissions() const { return m_permissions; }
    // The sort menu as it would open now.
    QMenu* buildSortMenu();
    void toggleLayout();
    void chooseSort(LibrarySort sort);
    // The stored order and layout (unknown stored texts read as Recent and the grid).
    LibrarySort sortOrder() const;
    bool listMode() const;

signals:
    void editingGuideChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildRoot();
    QWidget* buildHeader(QWidget* parent);
    QWidget* buildSubHeader(QWidget* parent);
    void scheduleRefresh();
    void refresh();
    void watch(Guide* guide);
    void focusSearch();
    void startPicking();
    void showSaveFailure(SaveFailedAlert::Change change, const QString& reason);
    bool isBeingRecorded(Guide* guide) const;
    void showDeleteRefused(Guide* guide);

    QPointer<ModelContext> m_context;
    const StorageService& m_storage;
    LibraryHooks m_hooks;
    std::unique_ptr<ScreenshotCache> m_ownScreenshots;
    ScreenshotCache* m_screenshots = nullptr;
    Settings& m_settings;
    PermissionsService& m_permissions;
    QPointer<Guide> m_editingGuide;
    QStackedLayout* m_stack = nullptr;
    QWidget* m_root = nullptr;
    QWidget* m_editorPlace = nullptr;
    SearchLineEdit* m_search = nullptr;
    TextLine* m_countLabel = nullptr;
    PillButton* m_sortButton = nullptr;
    PillButton* m_layoutButton = nullptr;
    QWidget* m_newGuide = nullptr;
    GuideCollection* m_collection = nullptr;
    QPointer<DeleteGuideAlert> m_deleteAlert;
    QPointer<RenameGuideDialog> m_renameDialog;
    QPointer<SaveFailedAlert> m_saveFailedAlert;
    QPointer<DeleteRefusedAlert> m_deleteRefusedAlert;
    QTimer m_refreshTimer;
    QSet<QUuid> m_watched;
    bool m_appeared = false;
};

} // namespace zova
