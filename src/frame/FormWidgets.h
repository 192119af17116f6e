#pragma once
// Small pieces shared by the dialogs that lay out their controls by hand: the program's font,
// placed labels, buttons and edits, the colours of editable and locked inputs, a title bar
// without system menu, and the French order of sorted lists.
#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QComboBox;
class QDialog;
class QGroupBox;
class QIcon;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

// Input colours: white when editable, pale blue (0xF9F0BD written blue-green-red) when locked.
inline const QColor kEditableColour{0xFF, 0xFF, 0xFF};
inline const QColor kLockedColour{0xBD, 0xF0, 0xF9};

// The program's own icon (a bowl with a tomato and a leaf), for every window's title bar.
QIcon ProgramIcon();

// The desktop's sans-serif font at 8 points, the size every form uses.
void UseProgramFont(QWidget* form);

// The title bar of the program's dialogs and message boxes: a title and, where the window
// manager insists on one, a close box; never a minimise or maximise box. (On X11 a window that
// names none of its boxes is given all of them, so the close box is named; a dialog that must not
// be closed that way ignores it through its reject() or closeEvent().)
void UseDialogFrame(QWidget* dialog);

// UseDialogFrame on a fixed-size dialog of the given outer size, widened if its caption (set
// before) needs more room.
void MakeFixedDialog(QDialog* dialog, int outerWidth, int outerHeight);

// Child controls with their component name, placed at `geometry` (a label sizes itself when
// the width is 0, as does a radio button). Labels and buttons may be bold.
// Any child control, named and placed: PlaceWidget<QListWidget>(this, "LboxRecettes", {8, 50, 200, 224}).
template <typename W>
W* PlaceWidget(QWidget* parent, const char* name, const QRect& geometry) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(geometry);
    return w;
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, QRect geometry, bool bold = false);
// A placed button is pressed by Enter as by Space when it has the focus, unless its window reads
// Enter itself (LetFormTakeEnter).
QPushButton* PlaceButton(QWidget* parent, const char* name, const QString& text, QRect geometry, bool bold = false);
void LetFormTakeEnter(QWidget* form);
// Runs `run` when Enter (or the keypad's Enter) is pressed in `widget`, instead of the widget's
// own handling of the key.
void OnEnterKey(QWidget* widget, std::function<void()> run);
QLineEdit* PlaceEdit(QWidget* parent, const char* name, QRect geometry, bool readOnly = false);
QGroupBox* PlaceGroup(QWidget* parent, const char* name, const QString& title, QRect geometry);
QRadioButton* PlaceRadio(QWidget* parent, const char* name, const QString& text, QRect geometry);

// A drop-down list at least as wide as its longest item, whatever the width of the box.
void FitPopupToItems(QComboBox* combo);
// Items of a list too long for it show their whole text as a tool tip (decided when the tip is
// asked for). Set once on the list.
void ShowLongItemsWhole(QListWidget* list);

// Background colour of an input; `locked` also disables it.
void SetInputColour(QWidget* input, const QColor& colour);
void LockInput(QWidget* input, bool locked);
// A figure the user reads but never types (a total, a result): locked, its text in the colour
// of an editable input, since the locked grey is hard to read on the pale blue.
void LockAsDisplay(QWidget* display);

// Sorts texts as the sorted lists show them: French order, letter case ignored.
void SortForDisplay(QStringList& texts);

// Replaces the items of a list or drop-down list by `texts` in the order SortForDisplay gives,
// without running its handlers; returns the texts in that order.
QStringList FillSorted(QListWidget* list, QStringList texts);
QStringList FillSorted(QComboBox* combo, QStringList texts);

// A list of lines of one height sizes them all like its first: the first takes the widest text's
// width, so that long names scroll sideways instead of being cut. FillSorted, InsertSortedItem
// and RemoveListItem keep it so.
void FitLinesToWidestItem(QListWidget* list);

// Sorted list boxes: a QListWidget whose items stay in the order SortForDisplay gives.
QStringList ListItems(const QListWidget* list);
// Inserts `text` at its sorted place and returns its row; removes the item of `row` (none
// when -1). Neither runs the list's handlers.
int InsertSortedItem(QListWidget* list, const QString& text);
void RemoveListItem(QListWidget* list, int row);
// Row of the first item equal to `text` (letter case counts); -1 when there is none.
int FindListItem(const QListWidget* list, const QString& text);
// Makes `row` the selected item (-1: none selected) without running the list's handlers.
void SelectListRow(QListWidget* list, int row);
// Runs `pick` when the user picks an item of `list`: a click (also on the item already selected),
// a drag that ends over an item, or a selection from the keyboard. The list taking the focus,
// and the selections made through SelectListRow, pick nothing.
void OnListPick(QListWidget* list, std::function<void()> pick);
