// Opens a web or e-mail address with the desktop's handler. Everything of the
// program that opens an address goes through here, so that tests can listen
// instead of starting a browser.
#pragma once

#include <QUrl>

#include <functional>

namespace qv {

using UrlOpener = std::function<bool(const QUrl &)>;

// Opens `url` through the installed opener (QDesktopServices::openUrl unless
// replaced); true when it was handed on.
bool openUrl(const QUrl &url);
// Installs an opener (an empty one restores the desktop's) and returns the
// previous one.
UrlOpener setUrlOpener(UrlOpener opener);

} // namespace qv
