// A per-widget integer tag, kept as the dynamic property "tag": negative on design-time
// controls that a surface teardown keeps, 0 or more on the controls each build creates.
#pragma once

class QObject;

namespace korv::surface {

void SetTag(QObject* object, int tag);
bool HasTag(const QObject* object);
// 0 for an object that carries no tag.
int Tag(const QObject* object);

} // namespace korv::surface
