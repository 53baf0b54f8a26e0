#pragma once

#include "editor/rewrite/DescriptionRewriter.h"

#include <QString>

#include <optional>

namespace zova::rewrite_texts {

// The "AI Rewrite" button's hover help for a model status.
QString buttonHelp(DescriptionRewriter::Status status);
// Its text: "AI Rewrite" when idle; while busy the batch's progress, else "Rewriting…".
QString buttonText(bool busy, const std::optional<QString>& progress);
// "Rewriting 2 of 5…".
QString batchProgress(int position, int count);
// "Professional tone, all 4 steps".
QString batchSubtitle(qsizetype stepCount);
// The alert when a single rewrite has no text to start from.
QString nothingToRewrite();

// A tone as the popover lists it.
struct ToneRow {
    DescriptionRewriter::Tone tone;
    QString label;
    QString symbol;
};
QList<ToneRow> toneRows();

} // namespace zova::rewrite_texts
