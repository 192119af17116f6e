#pragma once
// Opening a page of the web in the desktop's default browser.
#include <QString>
#include <functional>

// Opens `url` in the default browser; false when no browser could be started.
bool OpenWebPage(const QString& url);

// Tests put a stand-in in place of the browser (it records the address and answers); an empty
// function puts the desktop's browser back.
void SetWebPageOpener(std::function<bool(const QString&)> opener);
