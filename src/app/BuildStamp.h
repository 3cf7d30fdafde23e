// When this program was built, in the forms the main window shows: "Feb  2 2003", "16:02:05".
#pragma once

#include <QString>

namespace korv::app {

QString BuildDate();
QString BuildTime();

} // namespace korv::app
