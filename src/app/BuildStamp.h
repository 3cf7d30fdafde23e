// When this program was built, in the forms the main window shows: "Feb  2 2003", "16:02:05".
#pragma once

#include <QString>

namespace korv::app {

QString BuildDate();
QString BuildTime();
// The program's entry file sets the stamp of its own compilation, which happens at every build
// that changes any part of the program; until then the library's own compile time stands.
void SetBuildStamp(const char* date, const char* time);

} // namespace korv::app
