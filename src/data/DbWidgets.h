#pragma once
// Data-aware widgets over a Table (see Table.h).
//
// DbLineEdit / DbMemo: show one field of the current row and follow every move and change.
//   A DbLineEdit (and a grid's cell editor) takes no more characters than its column's width
//   (Table::textWidth).
//   Typing puts the table in edit state (edit(); on an empty table that appends) and the text is
//   written to the field when the widget is left or the row is posted or left. modified() is
//   true only after the user typed since the last load (a move or a refresh clears it), which
//   change handlers use to tell user changes from refreshes:
//     connect(edt, &QLineEdit::textChanged, [=] { if (edt->modified()) FoodModified = true; });
//   A text the field refuses (not a number for a numeric column) stays for correction without a
//   box when the edit is left; nothing is written, and the post or move that needs the field
//   raises a French DatabaseError naming the field (setCaption). Typing and pastes end at a
//   character boundary (never half of a surrogate pair). With a number rule (setNumberRule),
//   the text is read by ReadTypedNumber ("1.2" and "1,2" alike) and a value outside the rule is
//   refused the same way, told with the field's caption and the rule's range.
// DbCheckBox: ticked when the field equals its checked value ('Vrai' by default), or is a
//   non-zero number; a user click edits the row and writes the field at once (1/0 into an
//   INTEGER column, the checked/unchecked text otherwise), then clicked() is emitted.
// DbGrid: a QTableView over the table's rows, the table's current row selected. Columns are
//   declared with GridColumn (field, title, width, mask "####0.##", read-only, colour, ellipsis).
//   A lookup field column edits through a drop-down of the source's values and writes the key.
//   Moving to another row posts the row left (Table rule); Enter posts and emits enterPressed();
//   leaving the grid for another widget of the window posts and emits exited(); Escape cancels.
//   A disabled grid shows its rows and takes no input. Errors of these user actions go to
//   errorHandler (default: a message box through the modal seam).
#include <QCheckBox>
#include <QColor>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

#include "data/Table.h"
#include "data/TypedNumber.h"

// A line edit's own limit, for fields without a width.
constexpr int kUnboundedEditLength = 32767;

// Colour from the 0x00BBGGRR value the forms are specified with (0xF9F0BD pale blue).
QColor BgrColor(unsigned bgr);

// Reports an error of a user action on a data-aware widget: message box "Erreur" (modal seam).
void ReportDataError(QWidget* parent, const QString& message);

// Shared binding of a widget to one field of a table.
class FieldLink {
public:
    Table* table() const { return table_; }
    const QString& field() const { return field_; }
    // The user changed the text since the last load (a move or a refresh clears it).
    bool modified() const { return userModified_; }
    // The field's name as its window shows it ("Age"): a text the field refuses is told with it.
    void setCaption(const QString& caption) { caption_ = caption; }
    // The field takes numbers within `rule` only (an empty text stays allowed).
    void setNumberRule(const NumberRule& rule) { rule_ = rule; }

protected:
    ~FieldLink();
    // Binds to the field; with `writesText`, the widget's typed text (editText) is written
    // before every post and move of the table.
    void bindTo(QObject* owner, Table* table, const QString& field, bool writesText);
    virtual QString editText() const { return QString(); }
    void beginUserEdit();                // the user starts typing: the table goes into edit
    bool writeIfDirty(const QString& text, QWidget* widget, bool reportErrors);
    virtual void load() = 0;             // show the field's value
    QString fieldText() const;
    // Shows the field's text through `show`, unless the user's typing is pending.
    void loadWith(const std::function<void(const QString&)>& show);
    void userTyped(QWidget* widget);     // the user changed the text

    bool dirty_ = false;                 // typed text not yet written
    QString caption_;
    std::optional<NumberRule> rule_;
    bool loading_ = false;
    bool userModified_ = false;

private:
    QPointer<Table> table_;
    QString field_;
    int writer_ = 0;
    QList<QMetaObject::Connection> connections_;
};

class DbLineEdit : public QLineEdit, public FieldLink {
    Q_OBJECT
public:
    explicit DbLineEdit(QWidget* parent = nullptr);
    void setField(Table* table, const QString& field);   // bind or rebind
    void setField(const QString& field) { setField(table(), field); }

protected:
    void load() override;
    QString editText() const override { return text(); }
    void focusOutEvent(QFocusEvent* e) override;
};

class DbMemo : public QPlainTextEdit, public FieldLink {
    Q_OBJECT
public:
    explicit DbMemo(QWidget* parent = nullptr);
    void setField(Table* table, const QString& field);

signals:
    void changed();   // the text changed (by the user or a load); check modified()

protected:
    void load() override;
    QString editText() const override { return toPlainText(); }
    void focusOutEvent(QFocusEvent* e) override;
};

class DbCheckBox : public QCheckBox, public FieldLink {
    Q_OBJECT
public:
    explicit DbCheckBox(QWidget* parent = nullptr);
    void setField(Table* table, const QString& field);
    void setValues(const QString& checkedValue, const QString& uncheckedValue);

protected:
    void load() override;
    void nextCheckState() override;

private:
    QString checked_ = QStringLiteral("Vrai");
    QString unchecked_ = QStringLiteral("Faux");
};

struct GridColumn {
    QString field;               // column, lookup or calculated field of the table
    QString title;
    int width = 64;
    QString format{};            // display mask for numbers, e.g. "####0.##"
    bool readOnly = false;
    QColor color{};              // cell background; invalid = the grid's colour
    bool ellipsis = false;       // an ellipsis button in the cell editor
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool fill = false;           // takes the width the other columns leave (at least its title's)
    std::optional<NumberRule> number{};   // typed numbers within this rule only (told with the title)
};

// The model a DbGrid shows: one line per row of the table.
class DbTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DbTableModel(QObject* parent = nullptr);
    void setTable(Table* table);
    Table* table() const { return table_; }
    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return columns_; }
    void setFieldOfColumn(int column, const QString& field);
    QString errorText() const { return error_; }   // last refusal of setData

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Raw value shown by a cell (lookups on any row, calculated fields on the current row).
    QVariant cellValue(int row, int column) const;
    QString displayText(int row, int column) const;

private:
    void tableReset();
    void fieldChanged(const QString& name);

    QPointer<Table> table_;
    QList<GridColumn> columns_;
    int rows_ = 0;
    QString error_;
    QList<QMetaObject::Connection> connections_;
};

class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget* parent = nullptr);
    ~DbGrid() override;

    void setTable(Table* table);
    Table* table() const { return model_->table(); }
    // Each column at least as wide as its title needs; a `fill` column takes what is left.
    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& gridColumns() const { return model_->columns(); }
    // The width a column's title needs in the header.
    int titleWidth(const QString& title) const;
    // The whole text of a cell too narrow for it, "" when the cell shows it all.
    QString elidedCellText(int row, int column) const;
    void setColumnField(int column, const QString& field);   // rebinding (language columns)
    using QTableView::edit;
    DbTableModel* dataModel() const { return model_; }

    // The ellipsis of the current cell: commits the cell's text, then runs onEditButtonClick.
    void clickEditButton();
    // The user actions, also reachable without a real key press or focus change.
    void pressEnter();
    void pressEscape();
    void leave();

    std::function<void()> onEditButtonClick;
    std::function<void(const QString&)> errorHandler;   // default: ReportDataError

signals:
    void enterPressed();
    void exited();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    // A typed character starts editing the row's first editable cell when the current cell is
    // read only, and keeps the character.
    void keyPressEvent(QKeyEvent* e) override;
    // A click on a cell of the selected row opens its editor at once: the view would otherwise
    // wait for a possible double click and drop the keys typed meanwhile.
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void updateGeometries() override;

private:
    friend class DbGridDelegate;
    void followTable();
    void report(const QString& message);
    void commitOpenEditor();
    void commitAndPost();   // the open cell's text written, then the row posted (or cancelled)
    void focusMoved(QWidget* old, QWidget* now);
    bool contains(QWidget* w) const;
    int firstEditableColumn(int row) const;   // -1 when the row has none
    void fitFillColumns();                      // a `fill` column takes the width left

    DbTableModel* model_;
    QPointer<QWidget> openEditor_;   // the cell editor open, if any
    bool syncing_ = false;
};

// Cell editors of DbGrid (line edit, drop-down for lookups, line edit + ellipsis button).
class DbGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit DbGridDelegate(DbGrid* grid);
    // A cell too narrow for its text shows the whole text as its tool tip.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;

private:
    DbGrid* grid_;
};
