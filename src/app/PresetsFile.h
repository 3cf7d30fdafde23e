// Where the presets file korvttpresets.ini is read from: beside the program in a build tree or a
// portable copy, else the user's own data folder, else the data folder of an installation.
#pragma once

#include <QString>
#include <QStringList>

namespace korv::app {

inline constexpr char PresetsFileName[] = "korvttpresets.ini";

// The places looked at, in order, without duplicates: <programDir>/korvttpresets.ini, the user's
// data folder (XDG_DATA_HOME), <programDir>/../share/korvanettesim/korvttpresets.ini (so an
// installed, unpacked or moved package finds its own file), then the system data folders
// (XDG_DATA_DIRS), each with korvanettesim/korvttpresets.ini.
QStringList PresetsFileCandidates(const QString& programDir);

// The first of PresetsFileCandidates that is a file, or an empty string when there is none.
QString FindPresetsFile(const QString& programDir);

// FindPresetsFile for the running program; needs the application object.
QString FindPresetsFile();

} // namespace korv::app
