#pragma once

#include "style/GlassCard.h"

#include <QColor>
#include <QRectF>

#include <functional>

namespace zova {

class PillButton;

// One permission on the onboarding screen: an icon tile, the title and the
// description, then a "Granted" badge, or a "Configure" button while not granted.
// Emerald when granted, amber otherwise.
class PermissionRow : public GlassCard {
    Q_OBJECT
public:
    PermissionRow(QString title, QString description, QString iconName, bool isGranted,
        std::function<void()> requestAction, QWidget* parent = nullptr);

    struct Layout {
        QRectF iconTile; // 40 x 40
        QRectF title;
        QRectF description;
        QRectF badge; // empty while not granted
        QRectF configure; // empty while granted
        qreal height = 0;
    };
    Layout layoutFor(qreal width) const;

    QString title() const { return m_title; }
    QString description() const { return m_description; }
    QString iconName() const { return m_iconName; }
    bool isGranted() const { return m_isGranted; }
    void setGranted(bool granted);
    // Emerald when granted, amber otherwise.
    QColor tint() const;
    PillButton* configureButton() const { return m_configure; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    qreal textWidth(qreal width) const;

    QString m_title;
    QString m_description;
    QString m_iconName;
    bool m_isGranted;
    std::function<void()> m_requestAction;
    PillButton* m_configure;
};

} // namespace zova
