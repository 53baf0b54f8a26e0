#pragma once

class QWidget;

namespace zova::sheet_transition {

// How long a sheet laid over the editor takes to come and go.
inline constexpr int durationMs = 220;

// Fades the shown widget in; the effect is removed once it is opaque.
void fadeIn(QWidget* sheet);
// Fades the widget out, then deletes it. It takes no input meanwhile.
void fadeOutAndDelete(QWidget* sheet);

} // namespace zova::sheet_transition
