#pragma once

#include "export/panel/DestinationPicker.h"
#include "export/panel/Exporters.h"

#include <QList>
#include <QMap>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <optional>

// Answers each destination question from a script and records every question.
class FakePicker : public zova::DestinationPicker {
public:
    std::optional<QString> pick(const zova::DestinationRequest& request) override
    {
        requests << request;
        if (duringPick)
            duringPick();
        return answers.value(request.kind);
    }
    bool confirmReplace(const QString& slug) override
    {
        replaceQuestions << slug;
        if (duringPick)
            duringPick();
        return replace;
    }

    QMap<zova::DestinationRequest::Kind, std::optional<QString>> answers;
    bool replace = true;
    std::function<void()> duringPick; // runs while the "dialog" is up
    QList<zova::DestinationRequest> requests;
    QStringList replaceQuestions;
};

// Records every exporter call. The HTML folder completes on the next event-loop
// turn with its scripted result; the PDF and the video when the test says so (or
// at once on the next turn).
class FakeExporters : public zova::Exporters {
public:
    struct Call {
        QString kind; // "html", "pdf" or "mp4"
        QString path;
        zova::ExportService::Options options;
        zova::VideoExportOptions videoOptions;
    };

    void exportHTMLFolder(const zova::Guide&, const QString& folder, const zova::ExportService::Options& options,
        QObject* receiver, zova::ExportService::Completion done) override
    {
        calls->append({ QStringLiteral("html"), folder, options, {} });
        (void)receiver; // as for the PDF: the caller must guard itself
        QTimer::singleShot(0, [done, r = htmlResult] { done(r); });
    }

    void exportPDF(const zova::Guide&, const QString& to, const zova::ExportService::Options& options,
        QObject* receiver, zova::ExportService::Completion done) override
    {
        calls->append({ QStringLiteral("pdf"), to, options, {} });
        // Like an exporter that never checks its receiver: the caller must guard itself.
        (void)receiver;
        *pendingPdf = done;
        if (completeAtOnce)
            QTimer::singleShot(0, [pending = pendingPdf, r = pdfResult] {
                if (*pending)
                    std::exchange(*pending, nullptr)(r);
            });
    }

    void exportMP4(zova::Guide*, const QString& to, const zova::VideoExportOptions& options,
        zova::VideoExportService::Completion done) override
    {
        calls->append({ QStringLiteral("mp4"), to, {}, options });
        *pendingVideo = done;
        *videoProgress = options.progress;
        if (completeAtOnce)
            QTimer::singleShot(0, [pending = pendingVideo, r = videoResult] {
                if (*pending)
                    std::exchange(*pending, nullptr)(r);
            });
    }

    // Shared with the test, which keeps them after the panel deleted this object.
    std::shared_ptr<QList<Call>> calls = std::make_shared<QList<Call>>();
    std::shared_ptr<std::function<void(const zova::ExportService::Result&)>> pendingPdf
        = std::make_shared<std::function<void(const zova::ExportService::Result&)>>();
    std::shared_ptr<zova::VideoExportService::Completion> pendingVideo
        = std::make_shared<zova::VideoExportService::Completion>();
    std::shared_ptr<std::function<void(const QString&)>> videoProgress
        = std::make_shared<std::function<void(const QString&)>>();
    zova::ExportService::Result htmlResult;
    zova::ExportService::Result pdfResult;
    zova::VideoExportService::Result videoResult;
    bool completeAtOnce = true;
};
