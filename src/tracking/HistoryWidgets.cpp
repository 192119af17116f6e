#include "tracking/HistoryWidgets.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "data/Database.h"
#include "frame/FormWidgets.h"
#include "frame/StaleItem.h"
#include "frame/Umessages.h"
#include "tracking/HistoryDays.h"

namespace {

// A list whose click handler runs at every click on an item, also on the item already selected
// (a selection that does not change emits nothing), as well as at every change of the selection.
class ClickList : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void()> click;

protected:
    void mousePressEvent(QMouseEvent* e) override {
        const QListWidgetItem* item = itemAt(e->position().toPoint());
        const bool again = item && item->isSelected();
        QListWidget::mousePressEvent(e);
        if (again && click) click();
    }
};

QListWidget* placeList(QGroupBox* group, const char* name) {
    auto* list = new ClickList(group);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(8, 18, group->width() - 16, group->height() - 26);
    list->setUniformItemSizes(true);   // ten years of days lay out without measuring each one
    return list;
}

}  // namespace

HistoryDialog::HistoryDialog(QWidget* parent, const char* name, const QString& caption, int helpContext,
                             const QString& periodTitle, const char* actionName,
                             const QString& actionText)
    : QDialog(parent) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
    setProperty("HelpContext", helpContext);
    UseProgramFont(this);
    GrpBoxUtilisateurs = PlaceGroup(this, "GrpBoxUtilisateurs", QStringLiteral("Sélection de l'utilisateur"), {6, 4, 150, 236});
    LBoxUtilisateurs = placeList(GrpBoxUtilisateurs, "LBoxUtilisateurs");
    GrpBoxHistorique = PlaceGroup(this, "GrpBoxHistorique", QStringLiteral("Historique"), {162, 4, 100, 236});
    LBoxDates = placeList(GrpBoxHistorique, "LBoxDates");
    GrpBoxPeriode = PlaceGroup(this, "GrpBoxPeriode", periodTitle, {268, 4, 181, 198});
    action_ = PlaceButton(this, actionName, actionText, {278, 212, 80, 25});
    BtnQuitter = PlaceButton(this, "BtnQuitter", QStringLiteral("Quitter"), {368, 212, 80, 25});
    MakeFixedDialog(this, 463, 279);
}

QRadioButton* HistoryDialog::placeRadio(const char* name, const QString& text, int top) {
    auto* radio = new QRadioButton(text, GrpBoxPeriode);
    radio->setObjectName(QString::fromLatin1(name));
    radio->setGeometry(10, top, 169, 17);
    return radio;
}

QDateEdit* HistoryDialog::placeDatePicker(const char* name, QRect geometry) {
    auto* picker = new QDateEdit(GrpBoxPeriode);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    picker->setGeometry(geometry);
    return picker;
}

void HistoryDialog::onListClick(QListWidget* list, std::function<void()> click) {
    connect(list, &QListWidget::itemSelectionChanged, this, [list, click] {
        if (!list->selectedItems().isEmpty()) click();
    });
    if (auto* clicks = dynamic_cast<ClickList*>(list)) clicks->click = std::move(click);
}

void HistoryDialog::keyPressEvent(QKeyEvent* e) {
    // Enter in a list (which passes it on) validates the choice made there.
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    QWidget* focus = focusWidget();
    if (enter && (focus == LBoxDates || focus == LBoxUtilisateurs) && action_->isEnabled()) {
        action_->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool HistoryDialog::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && isVisible()) watch_.refresh([this] { reloadLists(); });
    return QDialog::event(e);
}

void HistoryDialog::showDays(const QList<QDate>& days) { FillDayList(LBoxDates, days); }

void HistoryDialog::reloadLists() {
    const std::optional<QString> user = SelectedUser(LBoxUtilisateurs);
    const std::optional<QDate> day = SelectedDay(LBoxDates);
    const QStringList names = HistoryUserNames();
    const QSignalBlocker quietUsers(LBoxUtilisateurs);
    const QSignalBlocker quietDays(LBoxDates);
    if (LBoxUtilisateurs->count() > 0 || HistoryUserCountOf(names) >= 2) {
        FillUserList(LBoxUtilisateurs, names);
        const int row = user ? int(names.indexOf(*user)) : -1;
        if (row >= 0) LBoxUtilisateurs->setCurrentRow(row);
        showDays(row >= 0 ? HistoryDays(*user) : QList<QDate>());
    } else {
        showDays(HistoryDays());
    }
    for (int i = 0; day && i < LBoxDates->count(); ++i)
        if (LBoxDates->item(i)->data(Qt::UserRole).toDate() == *day) LBoxDates->setCurrentRow(i);
    watch_.seen();
}

bool HistoryDialog::choiceStillSaved(const QString& caption) {
    if (!watch_.stale()) return true;
    const std::optional<QString> user = SelectedUser(LBoxUtilisateurs);
    const std::optional<QDate> day = SelectedDay(LBoxDates);
    reloadLists();
    const bool userGone = user && SelectedUser(LBoxUtilisateurs) != user;
    if (!userGone && !(day && SelectedDay(LBoxDates) != day)) return true;
    SayItemGone(userGone ? QStringLiteral("Cet utilisateur n'a plus de journée enregistrée.")
                         : QStringLiteral("Cette journée n'est plus enregistrée dans l'historique."),
                caption);
    return false;
}

bool HistoryDialog::choiceStillSavedOrSaid(const QString& caption) {
    try {
        return choiceStillSaved(caption);
    } catch (const std::exception& e) {
        ShowMessageBox(DatabaseFailureText(e), caption, 0x0C, nullptr, false);
        return false;
    }
}

bool HistoryDialog::pickedUserStillSaved(const QString& caption) {
    {
        const QSignalBlocker quiet(LBoxDates);
        LBoxDates->clearSelection();   // the days listed are another user's
    }
    return choiceStillSaved(caption);
}

void FillUserList(QListWidget* list, const QStringList& names) {
    list->clear();
    // A long name scrolls sideways; its tip shows it whole.
    for (const QString& name : names) (new QListWidgetItem(name, list))->setToolTip(name);
    FitLinesToWidestItem(list);
}

void FillDayList(QListWidget* list, const QList<QDate>& days) {
    QStringList texts;
    texts.reserve(days.size());
    for (const QDate& day : days) texts << HistoryDayText(day);
    list->clear();
    list->addItems(texts);   // in one insertion, not one per day
    // Each day's date beside its text: nothing shown changes, so the views need not hear of it.
    const QSignalBlocker quiet(list->model());
    for (int i = 0; i < int(days.size()); ++i) list->item(i)->setData(Qt::UserRole, days[i]);
}

std::optional<QString> SelectedUser(const QListWidget* list) {
    const auto selected = list->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return selected.first()->text();
}

std::optional<QDate> SelectedDay(const QListWidget* list) {
    const auto selected = list->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return selected.first()->data(Qt::UserRole).toDate();
}
