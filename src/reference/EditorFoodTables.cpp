#include "reference/EditorFoodTables.h"

#include "data/Table.h"

Table* FoodEditorFoodTable = nullptr;
Table* RecipeEditorFoodTable = nullptr;
std::function<bool()> FoodEditorSettlePending;
std::function<bool()> RecipeEditorSettlePending;

namespace {

bool release(Table* table, const std::function<bool()>& settle) {
    if (!table) return true;
    if (settle && !settle()) return false;
    table->close();
    return true;
}

}  // namespace

bool ReleaseFoodEditorFoodTable() { return release(FoodEditorFoodTable, FoodEditorSettlePending); }
bool ReleaseRecipeEditorFoodTable() { return release(RecipeEditorFoodTable, RecipeEditorSettlePending); }
