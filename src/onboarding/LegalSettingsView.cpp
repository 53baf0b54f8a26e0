#include "onboarding/LegalSettingsView.h"

#include "style/Divider.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace zova {

namespace Legal {

QUrl installedDocument(const QString& binaryFolder, const QString& name)
{
    const QDir binary(binaryFolder);
    for (const QString& candidate :
        { binary.filePath(QStringLiteral("../share/zova/") + name), binary.filePath(name) }) {
        if (QFileInfo(candidate).isFile())
            return QUrl::fromLocalFile(QFileInfo(candidate).canonicalFilePath());
    }
    return {};
}

QUrl privacyPolicyURL() { return installedDocument(QCoreApplication::applicationDirPath(), QStringLiteral("PRIVACY")); }

QUrl licenseFileURL() { return installedDocument(QCoreApplication::applicationDirPath(), QStringLiteral("LICENSE")); }

} // namespace Legal

namespace {

QAbstractButton* link(const QString& title, QWidget* parent)
{
    auto* button = new QPushButton(title, parent);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(Typography::font(13));
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, ZOVAColor::accent());
    button->setPalette(palette);
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; text-align: left; }"));
    button->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    return button;
}

TextLine* caption(const QString& content, QWidget* parent)
{
    auto* line = new TextLine(content, Typography::font(11), ZOVAColor::secondaryLabel, parent);
    line->setWrapping(Qt::AlignLeft | Qt::AlignTop);
    return line;
}

QGroupBox* section(const QString& title, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    box->setFont(Typography::semibold(13));
    return box;
}

} // namespace

LegalSettingsView::LegalSettingsView(Opener open, QWidget* parent)
    : QWidget(parent)
    , m_open(open ? std::move(open) : Opener([](const QUrl& url) { return QDesktopServices::openUrl(url); }))
{
    setObjectName(QStringLiteral("legalSettings"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(16);

    QGroupBox* legal = section(QStringLiteral("Legal"), this);
    auto* v = new QVBoxLayout(legal);
    v->setSpacing(10);
    auto* privacy = new QVBoxLayout;
    privacy->setSpacing(4);
    privacy->addWidget(
        new TextLine(QStringLiteral("Privacy Policy"), Typography::semibold(12), ZOVAColor::label, legal));
    m_privacy = link(QStringLiteral("View Privacy Policy"), legal);
    m_privacy->setObjectName(QStringLiteral("privacyLink"));
    privacy->addWidget(m_privacy);
    privacy->addWidget(
        caption(QStringLiteral("How we handle your data. All guides and screenshots stay on this computer."), legal));
    v->addLayout(privacy);
    v->addWidget(new Divider(legal));
    auto* eula = new QVBoxLayout;
    eula->setSpacing(4);
    eula->addWidget(
        new TextLine(QStringLiteral("End User License Agreement"), Typography::semibold(12), ZOVAColor::label, legal));
    m_license = link(QStringLiteral("View License Agreement"), legal);
    m_license->setObjectName(QStringLiteral("licenseLink"));
    eula->addWidget(m_license);
    v->addLayout(eula);
    column->addWidget(legal);

    QGroupBox* note = section(QStringLiteral("Privacy"), this);
    auto* n = new QVBoxLayout(note);
    n->addWidget(caption(QStringLiteral("Z.O.V.A stores all data locally on this computer. It collects no personal "
                                        "information and sends nothing anywhere."),
        note));
    column->addWidget(note);
    column->addStretch(1);

    for (auto [link, document] :
        { std::pair { m_privacy, &Legal::privacyPolicyURL }, std::pair { m_license, &Legal::licenseFileURL } }) {
        connect(link, &QAbstractButton::clicked, this, [this, document] {
            if (const QUrl url = document(); !url.isEmpty())
                m_open(url);
        });
    }
}

} // namespace zova
