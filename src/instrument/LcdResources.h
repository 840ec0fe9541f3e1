// Where the LCD takes its bitmaps from: the resources compiled into the
// program, or (in tests) any other source, for instance one with a picture
// missing. A missing picture is a null image.
#pragma once

#include <QImage>
#include <QString>

namespace qv {

class LcdResources {
public:
    virtual ~LcdResources() = default;
    virtual QImage image(const QString &name) const;

    // The resources built into the program.
    static const LcdResources &builtIn();
};

} // namespace qv
