#include "platform/WebPage.h"

#include <QDesktopServices>
#include <QUrl>

namespace {
std::function<bool(const QString&)> g_opener;
}

bool OpenWebPage(const QString& url) {
    if (g_opener) return g_opener(url);
    return QDesktopServices::openUrl(QUrl(url));
}

void SetWebPageOpener(std::function<bool(const QString&)> opener) { g_opener = std::move(opener); }
