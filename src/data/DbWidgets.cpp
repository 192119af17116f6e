#include "data/DbWidgets.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMessageBox>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>
#include <QToolButton>
#include <QValidator>

#include "data/ColumnWidths.h"
#include "data/Database.h"
#include "data/DisplayFormat.h"
#include "platform/Modal.h"
#include "platform/StandardBox.h"

QColor BgrColor(unsigned bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

void ReportDataError(QWidget* parent, const QString& message) {
    ShowStandardBox(QMessageBox::Critical, QStringLiteral("Erreur"), message, QMessageBox::Ok, parent);
}

// ---------------------------------------------------------------------------------------------
// FieldLink

FieldLink::~FieldLink() {
    for (const auto& c : connections_) QObject::disconnect(c);
    if (table_ && writer_) table_->removeRecordWriter(writer_);
}

void FieldLink::bindTo(QObject* owner, Table* table, const QString& field, bool writesText) {
    for (const auto& c : connections_) QObject::disconnect(c);
    connections_.clear();
    if (table_ && writer_) table_->removeRecordWriter(writer_);
    writer_ = 0;
    table_ = table;
    field_ = field;
    dirty_ = false;
    if (table) {
        connections_ << QObject::connect(table, &Table::dataReset, owner, [this] { load(); });
        connections_ << QObject::connect(table, &Table::currentChanged, owner, [this] { load(); });
        connections_ << QObject::connect(table, &Table::fieldChanged, owner, [this](const QString& name) {
            if (name.isEmpty() || name.compare(field_, Qt::CaseInsensitive) == 0) load();
        });
        if (writesText) writer_ = table->addRecordWriter([this, owner] {
            writeIfDirty(editText(), qobject_cast<QWidget*>(owner), false);
        });
    }
    load();
}

QString FieldLink::fieldText() const {
    if (!table_ || !table_->isActive() || field_.isEmpty() || !table_->hasAnyField(field_)) return QString();
    return table_->asString(field_);
}

void FieldLink::loadWith(const std::function<void(const QString&)>& show) {
    if (dirty_ && table_ && table_->isEditing()) return;   // keep what the user is typing
    loading_ = true;
    userModified_ = false;
    dirty_ = false;
    show(fieldText());
    loading_ = false;
}

void FieldLink::userTyped(QWidget* widget) {
    userModified_ = true;
    try {
        beginUserEdit();
    } catch (const DatabaseError& e) {
        ReportDataError(widget, DatabaseFailureText(e));
    }
}

void FieldLink::beginUserEdit() {
    if (!table_ || !table_->isActive()) return;
    // Pending before the edit starts: an edit on an empty table appends a row, whose blank
    // field must not replace the key just typed.
    dirty_ = true;
    if (!table_->isEditing()) table_->edit();
}

bool FieldLink::writeIfDirty(const QString& text, QWidget* widget, bool reportErrors) {
    if (!dirty_ || !table_ || !table_->isEditing()) return true;
    try {
        std::optional<double> number;
        if (rule_ && !text.trimmed().isEmpty()) {
            QString refusal;
            number = CheckTypedNumber(caption_, text, *rule_, &refusal);
            if (!number) throw DatabaseError(refusal);
        }
        try {
            table_->setValue(field_, number ? QVariant(*number) : QVariant(text));
        } catch (const DatabaseError& e) {
            // A text the field refuses (not a number) is told with the field's caption.
            if (e.sqliteCode() != 0 || caption_.isEmpty()) throw;
            throw DatabaseError(QStringLiteral("        %1 : %2").arg(caption_, e.message().trimmed()));
        }
        dirty_ = false;
        return true;
    } catch (const DatabaseError& e) {
        if (!reportErrors) throw;
        ReportDataError(widget, DatabaseFailureText(e));
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// DbLineEdit

DbLineEdit::DbLineEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this, [this] { userTyped(this); });
}

namespace {
// The line edit's own length limit cuts a paste between the two halves of a surrogate pair:
// the half left alone is dropped, so the text ends at a character boundary.
class WholeCharacters : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        for (qsizetype i = 0; i < input.size(); ++i) {
            const bool paired = input[i].isHighSurrogate() ? i + 1 < input.size() && input[i + 1].isLowSurrogate()
                                : input[i].isLowSurrogate() ? i > 0 && input[i - 1].isHighSurrogate()
                                                             : true;
            if (paired) continue;
            input.remove(i--, 1);
            if (pos > i + 1) --pos;
        }
        return Acceptable;
    }
};

// Typing stops at the bound column's width, so what is seen is what is stored.
void limitToColumn(QLineEdit* edit, const Table* table, const QString& field) {
    const int width = table ? table->textWidth(field) : -1;
    edit->setMaxLength(width > 0 ? width : kUnboundedEditLength);
    if (width > 0 && !edit->validator()) edit->setValidator(new WholeCharacters(edit));
}
}  // namespace

void DbLineEdit::setField(Table* table, const QString& field) {
    bindTo(this, table, field, true);
    limitToColumn(this, table, field);
}

void DbLineEdit::load() {
    loadWith([this](const QString& text) { setText(text); });
}

void DbLineEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // A text the field refuses stays for correction without a box, which would take the keys
    // typed next: the window's own check tells of it when the row is saved.
    try {
        writeIfDirty(text(), this, false);
    } catch (const DatabaseError& error) {
        if (error.sqliteCode() != 0) ReportDataError(this, DatabaseFailureText(error));
    }
}

// ---------------------------------------------------------------------------------------------
// DbMemo

DbMemo::DbMemo(QWidget* parent) : QPlainTextEdit(parent) {
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!loading_) userTyped(this);
        emit changed();
    });
}

void DbMemo::setField(Table* table, const QString& field) { bindTo(this, table, field, true); }

void DbMemo::load() {
    loadWith([this](const QString& text) { setPlainText(text); });
}

void DbMemo::focusOutEvent(QFocusEvent* e) {
    QPlainTextEdit::focusOutEvent(e);
    writeIfDirty(toPlainText(), this, true);
}

// ---------------------------------------------------------------------------------------------
// DbCheckBox

DbCheckBox::DbCheckBox(QWidget* parent) : QCheckBox(parent) {}

void DbCheckBox::setField(Table* table, const QString& field) { bindTo(this, table, field, false); }

void DbCheckBox::setValues(const QString& checkedValue, const QString& uncheckedValue) {
    checked_ = checkedValue;
    unchecked_ = uncheckedValue;
    load();
}

void DbCheckBox::load() {
    bool on = false;
    if (table() && table()->isActive() && table()->hasAnyField(field())) {
        const QVariant v = table()->value(field());
        on = v.typeId() == QMetaType::QString ? v.toString().compare(checked_, Qt::CaseInsensitive) == 0
                                              : dbvalue::toBool(v);
    }
    loading_ = true;
    setChecked(on);
    loading_ = false;
}

void DbCheckBox::nextCheckState() {
    Table* t = table();
    if (!t || !t->isActive()) return;
    try {
        t->edit();
        const bool on = !isChecked();
        const int col = t->columnIndex(field());
        const bool numeric = t->columnType(col).contains(QLatin1String("INT"));
        t->setValue(field(), numeric ? QVariant(on ? 1 : 0) : QVariant(on ? checked_ : unchecked_));
        setChecked(on);
    } catch (const DatabaseError& e) {
        ReportDataError(this, DatabaseFailureText(e));
    }
}

// ---------------------------------------------------------------------------------------------
// DbTableModel

DbTableModel::DbTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void DbTableModel::setTable(Table* table) {
    beginResetModel();
    for (const auto& c : connections_) disconnect(c);
    connections_.clear();
    table_ = table;
    if (table) {
        connections_ << connect(table, &Table::dataReset, this, &DbTableModel::tableReset);
        connections_ << connect(table, &Table::fieldChanged, this, &DbTableModel::fieldChanged);
        connections_ << connect(table, &Table::stateChanged, this, [this] { fieldChanged(QString()); });
        connections_ << connect(table, &QObject::destroyed, this, [this] { setTable(nullptr); });
    }
    rows_ = table && table->isActive() ? table->recordCount() : 0;
    endResetModel();
}

void DbTableModel::setColumns(const QList<GridColumn>& columns) {
    beginResetModel();
    columns_ = columns;
    endResetModel();
}

void DbTableModel::setFieldOfColumn(int column, const QString& field) {
    if (column < 0 || column >= columns_.size()) return;
    columns_[column].field = field;
    if (rows_ > 0) emit dataChanged(index(0, column), index(rows_ - 1, column));
}

void DbTableModel::tableReset() {
    const int n = table_ && table_->isActive() ? table_->recordCount() : 0;
    if (n == rows_) {
        if (n > 0) emit dataChanged(index(0, 0), index(n - 1, columnCount() - 1));
        return;
    }
    beginResetModel();
    rows_ = n;
    endResetModel();
}

void DbTableModel::fieldChanged(const QString&) {
    if (!table_ || table_->recNo() < 0 || table_->recNo() >= rows_) return;
    const int r = table_->recNo();
    emit dataChanged(index(r, 0), index(r, columnCount() - 1));
}

int DbTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int DbTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(columns_.size()); }

QVariant DbTableModel::cellValue(int row, int column) const {
    if (!table_ || !table_->isActive() || column < 0 || column >= columns_.size()) return QVariant();
    const QString& field = columns_[column].field;
    if (table_->hasField(field)) return table_->rowValue(row, field);
    if (table_->lookup(field)) return table_->lookupValue(row, field);
    if (row == table_->recNo() && table_->hasAnyField(field)) return table_->value(field);
    return QVariant();
}

QString DbTableModel::displayText(int row, int column) const {
    const QVariant v = cellValue(row, column);
    if (dbvalue::isNull(v)) return QString();
    const bool number = v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong ||
                        v.typeId() == QMetaType::Int;
    if (number && !columns_[column].format.isEmpty()) return FormatFloatMask(v.toDouble(), columns_[column].format);
    if (v.typeId() == QMetaType::Double)
        return dbvalue::toText(v).replace(QLatin1Char('.'), QLocale().decimalPoint());
    return dbvalue::toText(v);
}

QVariant DbTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) return QVariant();
    const GridColumn& col = columns_[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), index.column());
    case Qt::EditRole: {
        const QVariant v = cellValue(index.row(), index.column());
        if (v.typeId() == QMetaType::Double)
            return dbvalue::toText(v).replace(QLatin1Char('.'), QLocale().decimalPoint());
        return dbvalue::toText(v);
    }
    case Qt::BackgroundRole:
        return col.color.isValid() ? QVariant(col.color) : QVariant();
    case Qt::TextAlignmentRole: {
        const QVariant v = cellValue(index.row(), index.column());
        const bool number = v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    default:
        return QVariant();
    }
}

bool DbTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    error_.clear();
    if (!table_ || !index.isValid() || role != Qt::EditRole) return false;
    const GridColumn& col = columns_[index.column()];
    // A typed number outside the column's rule is refused before the row is touched.
    QVariant typed = value;
    if (col.number && value.typeId() == QMetaType::QString && !value.toString().trimmed().isEmpty()) {
        const std::optional<double> v = CheckTypedNumber(col.title, value.toString(), *col.number, &error_);
        if (!v) return false;
        typed = *v;
    }
    try {
        if (table_->recNo() != index.row()) table_->moveToRow(index.row());
        if (!table_->isEditing()) table_->edit();
        if (const Table::Lookup* l = table_->lookup(col.field))
            table_->setValue(l->keyColumn, typed);
        else
            table_->setValue(col.field, typed);
        return true;
    } catch (const DatabaseError& e) {
        error_ = DatabaseFailureText(e);
        return false;
    }
}

QVariant DbTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size()) return QVariant();
    if (role == Qt::DisplayRole) return columns_[section].title;
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(columns_[section].titleAlignment);
    return QVariant();
}

Qt::ItemFlags DbTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const GridColumn& col = columns_[index.column()];
    const bool stored = table_ && (table_->hasField(col.field) || table_->lookup(col.field));
    if (!col.readOnly && stored) f |= Qt::ItemIsEditable;
    return f;
}

// ---------------------------------------------------------------------------------------------
// DbGridDelegate

DbGridDelegate::DbGridDelegate(DbGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

bool DbGridDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                               const QModelIndex& index) {
    if (event && event->type() == QEvent::ToolTip && index.isValid()) {
        const QString whole = grid_->elidedCellText(index.row(), index.column());
        if (!whole.isEmpty()) {
            QToolTip::showText(event->globalPos(), whole, view);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

QWidget* DbGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
    const GridColumn& col = grid_->model_->columns()[index.column()];
    Table* table = grid_->table();
    if (const Table::Lookup* l = table ? table->lookup(col.field) : nullptr) {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QStringLiteral("lookupEditor"));
        if (l->source && l->source->isActive())
            for (int r = 0; r < l->source->recordCount(); ++r)
                combo->addItem(dbvalue::toText(l->source->rowValue(r, l->sourceResultColumn)),
                               l->source->rowValue(r, l->sourceKeyColumn));
        combo->installEventFilter(const_cast<DbGridDelegate*>(this));
        grid_->openEditor_ = combo;
        return combo;
    }
    auto* line = new QLineEdit;
    line->setObjectName(QStringLiteral("cellEditor"));
    line->setFrame(false);
    limitToColumn(line, table, col.field);
    line->installEventFilter(const_cast<DbGridDelegate*>(this));
    if (!col.ellipsis) {
        line->setParent(parent);
        grid_->openEditor_ = line;
        return line;
    }
    auto* box = new QWidget(parent);
    box->setObjectName(QStringLiteral("ellipsisEditor"));
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(line);
    auto* button = new QToolButton(box);
    button->setObjectName(QStringLiteral("ellipsisButton"));
    button->setText(QStringLiteral("..."));
    button->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(button);
    box->setFocusProxy(line);
    DbGrid* grid = grid_;
    connect(button, &QToolButton::clicked, grid, [grid] { grid->clickEditButton(); });
    grid_->openEditor_ = box;
    return box;
}

static QLineEdit* lineOf(QWidget* editor) {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) return line;
    return editor->findChild<QLineEdit*>(QStringLiteral("cellEditor"));
}

void DbGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setCurrentIndex(combo->findText(index.data(Qt::DisplayRole).toString()));
        return;
    }
    if (QLineEdit* line = lineOf(editor)) {
        line->setText(index.data(Qt::EditRole).toString());
        line->setModified(false);
    }
}

void DbGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    bool ok = true;
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        if (combo->currentIndex() < 0) return;
        if (combo->currentText() == index.data(Qt::DisplayRole).toString()) return;
        ok = model->setData(index, combo->currentData(), Qt::EditRole);
    } else if (QLineEdit* line = lineOf(editor)) {
        if (!line->isModified()) return;   // nothing typed: the row is not touched
        ok = model->setData(index, line->text(), Qt::EditRole);
        if (ok) line->setModified(false);
    }
    if (!ok && !grid_->model_->errorText().isEmpty()) grid_->report(grid_->model_->errorText());
}

bool DbGridDelegate::eventFilter(QObject* object, QEvent* event) {
    // In an ellipsis column the view knows the box, not the line edit inside it that holds the
    // focus: the line's events (keys, focus out) are the box's, and only while the box is open.
    // Closing the box takes the focus from the line after the view has let the box go.
    QWidget* editor = static_cast<QWidget*>(object);
    if (editor->parentWidget() && editor->parentWidget()->objectName() == QLatin1String("ellipsisEditor")) {
        editor = editor->parentWidget();
        if (editor != grid_->openEditor_) return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape) {
            grid_->openEditor_ = nullptr;
            if (key->key() == Qt::Key_Escape) {
                emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
                grid_->pressEscape();
            } else {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                grid_->pressEnter();
            }
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}

// ---------------------------------------------------------------------------------------------
// DbGrid

DbGrid::DbGrid(QWidget* parent) : QTableView(parent), model_(new DbTableModel(this)) {
    setModel(model_);
    setItemDelegate(new DbGridDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // Titles keep their weight whatever the selection, so they fit the widths they were given.
    horizontalHeader()->setHighlightSections(false);
    connect(qApp, &QApplication::focusChanged, this, &DbGrid::focusMoved);
}

DbGrid::~DbGrid() { disconnect(qApp, &QApplication::focusChanged, this, &DbGrid::focusMoved); }

void DbGrid::setTable(Table* table) {
    if (Table* old = model_->table()) disconnect(old, nullptr, this, nullptr);
    model_->setTable(table);
    if (table) {
        connect(table, &Table::currentChanged, this, &DbGrid::followTable);
        connect(table, &Table::dataReset, this, &DbGrid::followTable);
    }
    followTable();
}

void DbGrid::setColumns(const QList<GridColumn>& columns) {
    model_->setColumns(columns);
    for (int i = 0; i < columns.size(); ++i) setColumnWidth(i, std::max(columns[i].width, titleWidth(columns[i].title)));
    fitFillColumns();
    followTable();
}

void DbGrid::updateGeometries() {
    QTableView::updateGeometries();
    fitFillColumns();   // the row headers widen once the table has rows
}

void DbGrid::fitFillColumns() {
    const QList<GridColumn>& columns = model_->columns();
    int used = 0;
    for (int i = 0; i < columns.size(); ++i)
        if (!columns[i].fill) used += columnWidth(i);
    // Room for the row headers and a vertical scroll bar, so no horizontal one is ever needed.
    const int header = std::max(verticalHeader()->width(), verticalHeader()->sizeHint().width());
    const int room = contentsRect().width() - header - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    for (int i = 0; i < columns.size(); ++i) {
        const int width = std::max(room - used, titleWidth(columns[i].title));
        if (columns[i].fill && columnWidth(i) != width) setColumnWidth(i, width);
    }
}

int DbGrid::titleWidth(const QString& title) const {
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader());
    return horizontalHeader()->fontMetrics().horizontalAdvance(title) + 2 * margin + 4;
}

QString DbGrid::elidedCellText(int row, int column) const {
    const QString text = model_->index(row, column).data(Qt::DisplayRole).toString();
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int room = std::max(1, columnWidth(column) - 2 * margin);
    // A grid that wraps its texts cuts only what its rows are too low to hold.
    const QRect needed =
        fontMetrics().boundingRect(QRect(0, 0, room, QWIDGETSIZE_MAX), wordWrap() ? Qt::TextWordWrap : 0, text);
    return needed.width() > room || needed.height() > rowHeight(row) ? text : QString();
}

void DbGrid::setColumnField(int column, const QString& field) { model_->setFieldOfColumn(column, field); }

void DbGrid::followTable() {
    Table* t = table();
    if (!t || syncing_) return;
    const int row = t->isActive() ? t->recNo() : -1;
    if (row == currentIndex().row() || row >= model_->rowCount()) return;
    syncing_ = true;
    // A grid that had no current cell starts on the cell the user types into.
    const int col = currentIndex().isValid() ? currentIndex().column() : std::max(0, firstEditableColumn(row));
    if (row < 0)
        selectionModel()->clearCurrentIndex();
    else
        setCurrentIndex(model_->index(row, col));
    syncing_ = false;
}

void DbGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);   // commits an open cell editor
    Table* t = table();
    if (syncing_ || !t || !t->isActive() || !current.isValid() || current.row() == t->recNo()) return;
    try {
        t->moveToRow(current.row());
    } catch (const DatabaseError& e) {
        report(DatabaseFailureText(e));
    }
    followTable();
}

void DbGrid::report(const QString& message) {
    if (errorHandler)
        errorHandler(message);
    else
        ReportDataError(this, message);
}

void DbGrid::commitOpenEditor() {
    QWidget* editor = openEditor_;
    const QModelIndex idx = currentIndex();
    if (!editor || !idx.isValid()) return;
    openEditor_ = nullptr;
    itemDelegate()->setModelData(editor, model_, idx);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void DbGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor == openEditor_) openEditor_ = nullptr;
    QTableView::closeEditor(editor, hint);
}

void DbGrid::clickEditButton() {
    commitOpenEditor();
    if (onEditButtonClick) onEditButtonClick();
}

void DbGrid::commitAndPost() {
    commitOpenEditor();
    if (Table* t = table(); t && t->isEditing()) {
        try {
            t->checkBrowseMode();
        } catch (const DatabaseError& e) {
            report(DatabaseFailureText(e));
        }
    }
}

void DbGrid::pressEnter() {
    commitAndPost();
    emit enterPressed();
}

void DbGrid::pressEscape() {
    if (Table* t = table(); t && t->isEditing()) t->cancel();
}

void DbGrid::leave() {
    commitAndPost();
    emit exited();
}

void DbGrid::keyPressEvent(QKeyEvent* e) {
    if (state() != QAbstractItemView::EditingState) {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            pressEnter();
            return;
        }
        if (e->key() == Qt::Key_Escape) {
            pressEscape();
            return;
        }
        const QModelIndex current = currentIndex();
        if (current.isValid() && !e->text().trimmed().isEmpty() && e->text().at(0).isPrint() &&
            !(model_->flags(current) & Qt::ItemIsEditable)) {
            if (const int column = firstEditableColumn(current.row()); column >= 0)
                setCurrentIndex(model_->index(current.row(), column));
        }
    }
    QTableView::keyPressEvent(e);
}

bool DbGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    return QTableView::edit(index, trigger == SelectedClicked ? EditKeyPressed : trigger, event);
}

int DbGrid::firstEditableColumn(int row) const {
    for (int c = 0; c < model_->columnCount(); ++c)
        if (model_->flags(model_->index(std::max(row, 0), c)) & Qt::ItemIsEditable) return c;
    return -1;
}

bool DbGrid::contains(QWidget* w) const {
    for (; w; w = w->parentWidget())
        if (w == this) return true;
    return false;
}

void DbGrid::focusMoved(QWidget* old, QWidget* now) {
    // Leaving counts only for another widget of the same window: a dialog opened from the grid
    // (the ellipsis) does not leave it.
    if (!old || !now || !contains(old) || contains(now) || now->window() != window()) return;
    leave();
}
