#include "Tag.h"

#include <QObject>
#include <QVariant>

namespace korv::surface {

namespace {
constexpr const char* TagProperty = "tag";
}

void SetTag(QObject* object, int tag) {
    object->setProperty(TagProperty, tag);
}

bool HasTag(const QObject* object) {
    return object->property(TagProperty).isValid();
}

int Tag(const QObject* object) {
    return object->property(TagProperty).toInt();
}

} // namespace korv::surface
