#pragma once
// The help key: F1 anywhere in a window opens the help at that window's own context number.
// A form that offers help sets the dynamic property "HelpContext" (an int) on itself; the key
// walks up from the focused widget to the first form carrying one, without crossing into
// another top-level window. Forms without the property offer no help.
#include <functional>

class QWidget;

using HelpOpener = std::function<void(QWidget* form, int context)>;

// Installs the application-wide key handler; `open` is called with the form and its number.
void InstallHelpKey(HelpOpener open);

// The context number the help key would use from `focus`, or 0 when none applies.
int HelpContextFor(QWidget* focus);
