#pragma once
// The food editor and the recipe editor both edit t_aliments, each through its own table. Each
// publishes its table while its window exists; opening one editor first settles the other's
// pending food edits (the other editor asks its save question) and closes the other's table.
#include <functional>

class Table;

extern Table* FoodEditorFoodTable;    // the food editor's t_aliments, null while it is not open
extern Table* RecipeEditorFoodTable;  // the recipe editor's t_aliments, null while it is not open

// Installed by each editor while its window exists: offers to save its pending food edits and
// returns false when they could not be saved (the hand-over is then given up).
extern std::function<bool()> FoodEditorSettlePending;
extern std::function<bool()> RecipeEditorSettlePending;

// Before opening the recipe editor: settles and closes the food editor's food table. Returns
// false when the food editor kept pending edits it could not save.
bool ReleaseFoodEditorFoodTable();
// Before opening the food editor: settles and closes the recipe editor's food table.
bool ReleaseRecipeEditorFoodTable();
