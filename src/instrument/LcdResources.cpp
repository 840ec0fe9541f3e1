#include "instrument/LcdResources.h"

#include "qvres/ResourceData.h"

namespace qv {

QImage LcdResources::image(const QString &name) const
{
    return res::image(name);
}

const LcdResources &LcdResources::builtIn()
{
    static const LcdResources resources;
    return resources;
}

} // namespace qv
