#include "BuildStamp.h"

namespace korv::app {

// The compiler's own macros have exactly the forms shown: "Mmm dd yyyy" (day padded with a
// blank) and "hh:mm:ss". They are those of the compilation of this file.
QString BuildDate() {
    return QStringLiteral(__DATE__);
}
QString BuildTime() {
    return QStringLiteral(__TIME__);
}

} // namespace korv::app
