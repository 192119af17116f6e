#include "frame/FormWidgets.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCollator>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHelpEvent>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolTip>
#include <algorithm>
#include <vector>

#include "frame/Umessages.h"

namespace {
// Outer frame of a dialog around its client area: borders and title bar.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 34;

// The window property that keeps Enter for the form's own handler (LetFormTakeEnter).
constexpr char kFormTakesEnter[] = "FormTakesEnter";

// Runs its function on Enter or Return (keypad included, no other modifier) sent to the widget
// it watches, and keeps the key from going further; a held key runs it once. A window that reads
// Enter itself keeps it.
class EnterKey : public QObject {
public:
    EnterKey(QObject* parent, std::function<void()> run) : QObject(parent), run_(std::move(run)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(e);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window()->property(kFormTakesEnter).toBool()) return false;
        if (!key->isAutoRepeat()) run_();
        return true;
    }

private:
    std::function<void()> run_;
};

// French order, letter case ignored: the order of every sorted list.
QCollator displayCollator() {
    QCollator collator(QLocale(QLocale::French, QLocale::France));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

// The mouse button released over an item of a list: that item is picked.
class ReleaseOverItem : public QObject {
public:
    ReleaseOverItem(QListWidget* list, std::function<void()> pick) : QObject(list), list_(list), pick_(std::move(pick)) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonRelease &&
            list_->itemAt(static_cast<QMouseEvent*>(e)->position().toPoint()))
            pick_();
        return false;
    }

private:
    QListWidget* list_;
    std::function<void()> pick_;
};

// The tool tip of a list item too long for its list: its whole text, decided when the tip is
// asked for, so that filling a long list measures no text.
class LongItemTip : public QObject {
public:
    explicit LongItemTip(QListWidget* list) : QObject(list), list_(list) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::ToolTip) return false;
        const auto* help = static_cast<QHelpEvent*>(e);
        const QListWidgetItem* item = list_->itemAt(help->pos());
        // An item's own tip goes first; a short item shows what the list shows anywhere else.
        if (!item || !item->toolTip().isEmpty()) return false;
        // The list's width less its frame, a scroll bar and the item's own margins.
        const int room = list_->width() - 2 * list_->frameWidth() -
                         list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_) - 6;
        if (list_->fontMetrics().horizontalAdvance(item->text()) <= room) return false;
        QToolTip::showText(help->globalPos(), item->text(), list_->viewport(), list_->visualItemRect(item));
        return true;
    }

private:
    QListWidget* list_;
};

void setBold(QWidget* w, bool bold) {
    if (!bold) return;
    QFont f = w->font();
    f.setBold(true);
    w->setFont(f);
}
}  // namespace

QIcon ProgramIcon() {
    // Read as the PNG it is: a reader left to check the format against the file's content loads
    // every picture plug-in first.
    QImageReader reader(QStringLiteral(":/vivanda.png"), "png");
    reader.setAutoDetectImageFormat(false);
    return QIcon(QPixmap::fromImage(reader.read()));
}

void UseProgramFont(QWidget* form) {
    QFont font = QApplication::font();
    font.setPointSize(8);
    form->setFont(font);
}

void UseDialogFrame(QWidget* dialog) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

void MakeFixedDialog(QDialog* dialog, int outerWidth, int outerHeight) {
    UseDialogFrame(dialog);
    // Wide enough for the title bar to show the caption whole.
    const int width = CaptionWidth(dialog->windowTitle(), dialog->font()) + kTitleBarRoom;
    dialog->setFixedSize(std::max(outerWidth - kFrameWidth, width), outerHeight - kFrameHeight);
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, QRect geometry, bool bold) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    setBold(label, bold);
    if (geometry.width() == 0) {
        label->move(geometry.topLeft());
        label->adjustSize();
    } else {
        label->setGeometry(geometry);
    }
    return label;
}

QPushButton* PlaceButton(QWidget* parent, const char* name, const QString& text, QRect geometry, bool bold) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter in an edit belongs to the form's own handlers, never to a default button; Enter on
    // a focused button presses it, as Space does.
    button->setAutoDefault(false);
    OnEnterKey(button, [button] {
        if (button->isEnabled()) button->click();
    });
    setBold(button, bold);
    button->setGeometry(geometry);
    return button;
}

void LetFormTakeEnter(QWidget* form) { form->setProperty(kFormTakesEnter, true); }

void OnEnterKey(QWidget* widget, std::function<void()> run) {
    widget->installEventFilter(new EnterKey(widget, std::move(run)));
}

QLineEdit* PlaceEdit(QWidget* parent, const char* name, QRect geometry, bool readOnly) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(geometry);
    edit->setReadOnly(readOnly);
    return edit;
}

QGroupBox* PlaceGroup(QWidget* parent, const char* name, const QString& title, QRect geometry) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(geometry);
    return group;
}

QRadioButton* PlaceRadio(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* radio = new QRadioButton(text, parent);
    radio->setObjectName(QString::fromLatin1(name));
    if (geometry.width() == 0) {
        radio->move(geometry.topLeft());
        radio->adjustSize();
    } else {
        radio->setGeometry(geometry);
    }
    return radio;
}

void FitPopupToItems(QComboBox* combo) {
    int widest = 0;
    for (int i = 0; i < combo->count(); ++i)
        widest = std::max(widest, combo->view()->fontMetrics().horizontalAdvance(combo->itemText(i)));
    const int scrollBar = combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, combo);
    combo->view()->setMinimumWidth(widest + scrollBar + 16);
}

void ShowLongItemsWhole(QListWidget* list) {
    list->viewport()->installEventFilter(new LongItemTip(list));
}

void SetInputColour(QWidget* input, const QColor& colour) {
    QPalette p = input->palette();
    p.setColor(QPalette::Base, colour);
    input->setPalette(p);
}

void LockInput(QWidget* input, bool locked) {
    input->setEnabled(!locked);
    SetInputColour(input, locked ? kLockedColour : kEditableColour);
}

void LockAsDisplay(QWidget* display) {
    LockInput(display, true);
    QPalette p = display->palette();
    p.setColor(QPalette::Disabled, QPalette::Text, p.color(QPalette::Active, QPalette::Text));
    display->setPalette(p);
}

void SortForDisplay(QStringList& texts) {
    const QCollator collator = displayCollator();
    // One sort key per text, so long lists are not collated again at every comparison. The keys
    // made are kept (up to a bound) for the lists filled again: the same names come back.
    // The bound is never below the list's own length: a list filled again finds all its keys.
    static QHash<QString, QCollatorSortKey> made;
    const qsizetype kept = std::max<qsizetype>(50000, texts.size());
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        auto it = made.constFind(texts[i]);
        if (it == made.constEnd()) {
            // Full: the keys of other lists are given up (those of this list taken so far are
            // copies in `keys`).
            if (made.size() >= kept) made.clear();
            it = made.insert(texts[i], collator.sortKey(texts[i]));
        }
        keys.emplace_back(*it, i);
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    QStringList sorted;
    sorted.reserve(texts.size());
    for (const auto& k : keys) sorted << texts[k.second];
    texts = std::move(sorted);
}

namespace {
template <typename W>
QStringList fillSorted(W* widget, QStringList texts) {
    SortForDisplay(texts);
    const QSignalBlocker quiet(widget);
    widget->clear();
    widget->addItems(texts);
    return texts;
}
}  // namespace

QStringList FillSorted(QListWidget* list, QStringList texts) {
    // Lines of one height: a long list is laid out without measuring every item.
    list->setUniformItemSizes(true);
    texts = fillSorted(list, std::move(texts));
    FitLinesToWidestItem(list);
    return texts;
}

void FitLinesToWidestItem(QListWidget* list) {
    if (list->count() == 0) return;
    QListWidgetItem* sample = list->item(list->count() - 1);
    sample->setData(Qt::SizeHintRole, QVariant());
    const QFontMetrics metrics = list->fontMetrics();
    // Each text's width is first estimated from its characters' own widths (each character
    // measured once); only the texts whose estimate comes near the widest one are measured as
    // drawn, so that a long list is not shaped text by text.
    std::vector<int> charWidth(0x3000, -1);
    auto estimate = [&](const QString& text) {
        int width = 0;
        for (const QChar c : text) {
            if (c.unicode() >= charWidth.size()) {
                width += metrics.horizontalAdvance(c);
                continue;
            }
            int& w = charWidth[c.unicode()];
            if (w < 0) w = metrics.horizontalAdvance(c);
            width += w;
        }
        return width;
    };
    std::vector<int> estimates(size_t(list->count()));
    int widestEstimate = 0;
    for (int i = 0; i < list->count(); ++i) {
        estimates[size_t(i)] = estimate(list->item(i)->text());
        widestEstimate = std::max(widestEstimate, estimates[size_t(i)]);
    }
    // Kerning and ligatures move a text's width by a little: a margin of two characters and a
    // twentieth keeps every text that could be the widest.
    const int margin = 2 * metrics.averageCharWidth() + widestEstimate / 20;
    int widest = 0;
    for (int i = 0; i < list->count(); ++i)
        if (estimates[size_t(i)] >= widestEstimate - margin)
            widest = std::max(widest, metrics.horizontalAdvance(list->item(i)->text()));
    // The sample line's own size, its text replaced by the widest one.
    const QSize natural = list->sizeHintForIndex(list->model()->index(list->count() - 1, 0));
    sample->setSizeHint(QSize(natural.width() - metrics.horizontalAdvance(sample->text()) + widest, natural.height()));
}
QStringList FillSorted(QComboBox* combo, QStringList texts) { return fillSorted(combo, std::move(texts)); }

QStringList ListItems(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
}

int InsertSortedItem(QListWidget* list, const QString& text) {
    const QCollator collator = displayCollator();
    const QSignalBlocker quiet(list);
    int row = 0;
    while (row < list->count() && collator.compare(list->item(row)->text(), text) <= 0) ++row;
    list->insertItem(row, text);
    FitLinesToWidestItem(list);
    return row;
}

void RemoveListItem(QListWidget* list, int row) {
    if (row < 0 || row >= list->count()) return;
    const QSignalBlocker quiet(list);
    delete list->takeItem(row);
    FitLinesToWidestItem(list);
}

int FindListItem(const QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == text) return i;
    return -1;
}

void SelectListRow(QListWidget* list, int row) {
    const QSignalBlocker quiet(list);
    list->clearSelection();
    list->setCurrentRow(row);
    if (row < 0) list->setCurrentItem(nullptr);
}

void OnListPick(QListWidget* list, std::function<void()> pick) {
    list->viewport()->installEventFilter(new ReleaseOverItem(list, pick));
    QObject::connect(list, &QListWidget::itemSelectionChanged, list, [list, pick] {
        if (!list->selectedItems().isEmpty() && QApplication::mouseButtons() == Qt::NoButton) pick();
    });
}
