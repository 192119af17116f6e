#include "frame/WebLinks.h"

#include "frame/AppState.h"
#include "frame/StringTable.h"
#include "frame/Umessages.h"
#include "platform/WebPage.h"

bool OpenPageOrSay(const QString& url, const QString& text, const QString& caption) {
    if (OpenWebPage(url)) return true;
    ShowMessageBox(text, caption, 48, nullptr, false);
    return false;
}

void OpenMenuPage(int stringId) {
    const AppState& st = appState();
    OpenPageOrSay(LoadString(stringId), st.BrowserFailureText, st.BrowserFailureCaption);
}
