// Gathers the text export from the editor pages: selects every encoder, button and LED pattern
// step in turn, lets the page fill its controls from the image and reads what they show, then
// selects again what the pages showed before. A page always shows its current item as the
// image holds it, so a selection that stays the same needs no fill.
#pragma once

#include "TextExport.h"

namespace korv::editor {
class SettingsEditor;
}

namespace korv::app {

dump::TextExportData CollectTextExport(editor::SettingsEditor& editor, const QString& releaseText,
                                       const QDateTime& now);

} // namespace korv::app
