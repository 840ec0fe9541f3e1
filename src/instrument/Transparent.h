// Pictures drawn on the window's own colour: the colour of a picture's
// top-left pixel, its background, becomes transparent.
#pragma once

#include <QImage>
#include <QPixmap>

namespace qv {

QPixmap withTransparentBackground(const QImage &picture);

} // namespace qv
