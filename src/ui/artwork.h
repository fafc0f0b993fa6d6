#pragma once
// The launcher's artwork, drawn in code so that it is crisp at any scale.

#include <QPixmap>

namespace velox::ui {

QPixmap DrawBanner(qreal devicePixelRatio);
QPixmap DrawEmblem(qreal devicePixelRatio);

}  // namespace velox::ui
