#include "dialogs/UrlOpener.h"

#include <QDesktopServices>

namespace qv {

namespace {
UrlOpener &opener()
{
    static UrlOpener current;
    return current;
}
} // namespace

bool openUrl(const QUrl &url)
{
    if (opener())
        return opener()(url);
    return QDesktopServices::openUrl(url);
}

UrlOpener setUrlOpener(UrlOpener next)
{
    UrlOpener previous = std::move(opener());
    opener() = std::move(next);
    return previous;
}

} // namespace qv
