#include "BuildStamp.h"

namespace korv::app {
namespace {

// The compiler's own macros have exactly the forms shown: "Mmm dd yyyy" (day padded with a
// blank) and "hh:mm:ss".
QString& stampDate() {
    static QString stamp = QStringLiteral(__DATE__);
    return stamp;
}
QString& stampTime() {
    static QString stamp = QStringLiteral(__TIME__);
    return stamp;
}

} // namespace

QString BuildDate() {
    return stampDate();
}
QString BuildTime() {
    return stampTime();
}

void SetBuildStamp(const char* buildDate, const char* buildTime) {
    stampDate() = QString::fromLatin1(buildDate);
    stampTime() = QString::fromLatin1(buildTime);
}

} // namespace korv::app
