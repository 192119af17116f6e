#pragma once
// A whole-table dataset with a current row, as the forms use their tables. Opening reads the
// rows' ids alone; a row's values are read with its page of rows when first used, and only the
// pages used last stay in memory. Lookups and findKey ask the table's indexes.
//
//   Table t("t_aliments");                 // rows in key order (rowid order without a key)
//   t.open();                              // browse state, on the first row
//   t.locate("NomAlimentFrancais", "pomme", {.caseInsensitive = true, .partialKey = true});
//   t.edit(); t.setValue("PoidsMoyen", 150); t.post();
//   t.append(); t.setValue("IdAliment", NextId("t_aliments", "IdAliment")); ...; t.post();
//
// States: Inactive (closed), Browse, Edit, Insert.
// - Writing a field (setValue) needs Edit or Insert; it marks the row modified and recomputes
//   the calculated fields at once. Values are converted to the column's type: a text that is
//   not a number for an INTEGER or REAL column raises DatabaseError with a French message and
//   writes nothing; "" writes NULL; a text longer than the column's
//   width (textWidth(), from ColumnWidths.h) is cut.
// - edit(): Edit state (no effect when already editing); with no current row it appends instead.
// - append(): a blank row at the end (the master link fills the detail's link column), Insert.
//   Database defaults apply at post (only the columns that were written are inserted).
// - post(): before-post, INSERT/UPDATE (by key, or by rowid for a table without key), Browse,
//   the posted row current and read back, after-post. An edited row that keeps its place (table
//   in key or stored order, key and master link unchanged) is read back alone; otherwise every
//   row is read again. A refusal raises DatabaseError and
//   leaves the state and the pending values as they were. post() in Browse does nothing.
// - cancel(): drops the pending values; an appended row disappears and the cursor returns to
//   the row it was on.
// - remove(): before-delete, DELETE of the current row (cancel in Insert); the next row (or the
//   previous at the end) becomes current. A refusal raises and leaves the row.
// - Any move (first/next/prior/last/locate/findKey/moveToRow/refresh) in Edit or Insert first
//   posts the row when modified, or cancels it when not; a failed post raises and stops the move.
//   After every move the after-scroll event runs and calculated fields are computed.
// - close() drops pending values without posting; open() again stands on the first row.
// - refresh(): posts a pending modified row, reads the rows again and keeps the current row by
//   key (by rowid without a key).
//
// Master-detail: setMaster(master, "IdRecette") makes this table show only the rows whose
// IdRecette equals the master's current IdRecette; it reads its rows again (standing on the
// first) after every move of the master and whenever the master's link value changes. With the
// master closed or without a current row, the detail is empty.
//
// Lookup fields: addLookupField("NomIngredientFrancais", "IdAliment", &aliments, "IdAliment",
// "NomAlimentFrancais") gives a read-only field whose value is the source's column of the row
// whose key matches (null when the source is closed or has no such row). Calculated fields:
// addCalculatedField(name); the calc-fields handler sets them with setValue in any state. Both
// are read by name (value/asString...), not by position: positions are the table's columns.
//
// Events (plain callbacks, one each, run synchronously inside the operation): onBeforeEdit,
// onBeforePost, onAfterPost, onAfterScroll, onCalcFields, onBeforeDelete. A before-event may
// raise to stop its operation.
//
// Qt signals tell data-aware widgets what changed (see DbWidgets.h); forms use the callbacks.
// Widgets that hold typed text not yet written register a record writer (addRecordWriter): it
// runs at the start of every post and move, and may raise to stop them.
#include <QHash>
#include <QObject>
#include <functional>

#include "data/Database.h"
#include "data/RowSet.h"

class Table : public QObject, public RowSet {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Event = std::function<void(Table&)>;

    explicit Table(const QString& tableName, QObject* parent = nullptr);
    ~Table() override;

    const QString& tableName() const { return tableName_; }
    // Rows come in this order instead of the key order ("Numero" for t_consommation).
    void setOrderBy(const QString& orderBy) { orderBy_ = orderBy; }
    // The width of a text column from the database's column-width map (ColumnWidths.h): writes
    // are cut to it and the edits bound to the column refuse longer typing; -1 when unbounded.
    int textWidth(const QString& column) const;

    void open();
    void close();
    void setActive(bool active) { active ? open() : close(); }
    State state() const { return state_; }
    bool isEditing() const { return state_ == State::Edit || state_ == State::Insert; }
    bool isModified() const { return modified_; }

    void append();
    void edit();
    void post();
    void cancel();
    void remove();
    void refresh();
    // Moves to the row whose primary key equals `key` (t_utilisateurs: Nom; t_activites:
    // IdActivite). Returns whether found; not found leaves the cursor.
    bool findKey(const QVariant& key);
    // Moves to row `row` (0-based, in the current order), as a grid does.
    void moveToRow(int row);
    // Posts (when modified) or cancels a pending edit; what every move does first.
    void checkBrowseMode();

    // Fields: table columns by name or position, plus lookup and calculated fields by name.
    QVariant value(const QString& name) const override;
    using RowSet::value;
    void setValue(const QString& name, const QVariant& value);
    void setValue(int position, const QVariant& value);
    void clearField(const QString& name) { setValue(name, QVariant()); }
    bool hasAnyField(const QString& name) const;     // column, lookup or calculated
    QString primaryKey() const { return keyColumn_; } // empty without a key
    QString columnType(int position) const;           // declared type: INTEGER, REAL, TEXT

    // Master-detail link (see above). Pass nullptr to drop it.
    void setMaster(Table* master, const QString& linkColumn);
    Table* master() const { return master_; }

    void addLookupField(const QString& name, const QString& keyColumn, Table* source,
                        const QString& sourceKeyColumn, const QString& sourceResultColumn);
    struct Lookup {
        QString keyColumn;
        Table* source = nullptr;
        QString sourceKeyColumn;
        QString sourceResultColumn;
    };
    const Lookup* lookup(const QString& name) const;  // nullptr when `name` is not a lookup field
    // Value of a lookup field on any row (grids).
    QVariant lookupValue(int row, const QString& name) const;
    void addCalculatedField(const QString& name);

    // Row of the source whose `column` equals `key` (-1 when none); used by lookups. Answered by
    // a statement on the table's indexes (the row being edited by its pending values).
    int findRow(const QString& column, const QVariant& key) const;

    Event onBeforeEdit, onBeforePost, onAfterPost, onAfterScroll, onCalcFields, onBeforeDelete;

    // Record writers: widgets' pending text is written through these before a post or a move.
    int addRecordWriter(std::function<void()> writer);
    void removeRecordWriter(int id);
    // Writes the widgets' pending text into the row now (what a post does first).
    void writePendingWidgets();

signals:
    void dataReset();                        // rows read again, opened or closed
    void currentChanged();                   // the cursor stands on another row
    void fieldChanged(const QString& name);  // a field of the current row changed (any state)
    void stateChanged();                     // Browse / Edit / Insert / Inactive

protected:
    void beforeMove() override { checkBrowseMode(); }
    void afterMove() override;

private:
    void loadColumns();
    void readRows();
    QString selectSql() const;
    QString whereSql() const;      // the master link's condition, or ""
    QString orderSql() const;      // the rows' order
    // Whether the rows' order is that of their rowids (read unordered, sorted here).
    bool inRowidOrder() const;
    void keepRows();
    bool takeKeptRows();
    void fetchRow(int row) const override;
    int firstMatch(int position, const std::function<bool(const QVariant&)>& found) const override;
    std::vector<QVariant>& currentRow();   // the current row's values, read when needed
    QVariant convertForColumn(int col, const QVariant& value) const;
    void computeCalcFields();
    void setState(State s);
    void notifyDetails(bool masterMoved);
    void followMaster(bool masterMoved);
    int rowOfRowid(qlonglong rowid) const;
    // Reads the row of `rowid` again into row `row`; false when it is not there any more.
    bool rereadRow(int row, qlonglong rowid);
    void rowidsChanged() { rowIndex_.clear(); }

    QString tableName_;
    QString orderBy_;
    QString keyColumn_;                 // single-column primary key, or empty
    QStringList types_;                 // declared type per column
    QHash<QString, int> widths_;        // text width per column (lower-case name), read at open
    bool keyIsRowid_ = false;           // an INTEGER PRIMARY KEY: the key is the rowid
    // The rowid of every row, read at opening (from the smallest index that has them); the values
    // are read a page of rows at a time when a row is first used (fetchRow), and the pages read
    // longest ago are dropped so that a few stay in memory.
    std::vector<qlonglong> rowids_;
    bool rowidsAscending_ = true;       // rowOfRowid by halving, else through rowIndex_
    mutable QHash<qlonglong, int> rowIndex_;
    mutable std::vector<int> pages_;    // pages in memory, the one read longest ago first
    State state_ = State::Inactive;
    bool modified_ = false;
    std::vector<QVariant> saved_;       // the row before edit
    std::vector<bool> assigned_;        // columns written since append
    int rowBeforeInsert_ = -1;
    QHash<QString, Lookup> lookups_;
    QStringList calcNames_;
    QHash<QString, QVariant> calcValues_;
    bool inCalc_ = false;
    Table* master_ = nullptr;
    QString linkColumn_;
    QVariant linkValue_;                // master value the rows were read for
    std::vector<Table*> details_;
    std::vector<std::pair<int, std::function<void()>>> writers_;
    int nextWriterId_ = 1;
    // The database's stamp when the rows were read. A table closed while its rows still are the
    // database's keeps them (keepRows), and a table opened on the same statement takes them back
    // (takeKeptRows) when nothing was written since. Rows read inside a transaction have no stamp.
    DataStamp readStamp_;
};
