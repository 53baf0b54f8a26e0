#pragma once

#include <QAbstractButton>

namespace zova {

// A small switch with its label beside it and an optional second line below the
// label. The whole row toggles it.
class OptionSwitch : public QAbstractButton {
    Q_OBJECT
public:
    explicit OptionSwitch(const QString& text, QWidget* parent = nullptr);

    QString detail() const { return m_detail; }
    void setDetail(const QString& detail);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_detail;
};

} // namespace zova
