#pragma once
// Things start-up prepares for the painting code: the placeholder picture
// shown for files that cannot be decoded, the shades of the highlight
// colour, and the mapping of the Japanese font names the settings use to
// fonts installed here.

#include "shell/derived_values.h"

#include <QByteArray>

namespace qlx::gui {

// The settings name Windows fonts (shell::messages::kProportionalGothic,
// kMonospacedGothic, in Japanese or Latin spelling); they resolve to the
// Japanese faces installed with the program's packages.
void installJapaneseFontSubstitutions();

// A 640 x 480 PNG: kPlaceholderMark over kPlaceholderWord. Empty when it
// cannot be made; then no placeholder is shown.
QByteArray makePlaceholderPicture();

// The shades of the desktop's highlight colour.
shell::HighlightShades currentHighlightShades();

} // namespace qlx::gui
