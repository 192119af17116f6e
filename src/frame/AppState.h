#pragma once
// Process-wide state of the program: paths, settings, switches and the values the modules share.
// One object owned by the entry point; test fixtures reset it between tests.
#include <QString>
#include <cstdint>

struct AppState {
    // Application frame
    QString ApplicationName;      // string id 0
    QString ApplicationVersion;   // string id 1
    QString DataDirectory;        // <working folder>/Data
    QString ImagesDirectory;      // <working folder>/Images
    QString HelpFilePath;         // folder of help pages beside the executable
    int32_t LanguageCode = 0;     // 0 French, 200 English, 400 German, 600 Italian, 800 Spanish
    uint8_t MainWindowActivated = 0;
    QString BrowserFailureText;   // string id 173
    QString BrowserFailureCaption;// string id 174

    // Settings (Options.dat); 1 = show the message
    uint8_t SwitchReserved = 0;
    uint8_t SwitchRecipeInfo = 0;
    uint8_t SwitchConsumptionInfo = 0;
    uint8_t SwitchCaloriesAboveObjective = 0;
    uint8_t SwitchCarbsBelowMinimum = 0;
    uint8_t SwitchObjectiveBelowNeeds = 0;
    int32_t StartupModule = 0;
    uint8_t OptionsDirty = 0;
    uint8_t RecipeInfoShown = 0;
    uint8_t ConsumptionInfoShown = 0;

    // Day being composed: the user chosen in the daily-needs dialog
    QString CurrentUserName;
    int CurrentUserWeight = 0;
    // That user's row in t_utilisateurs (its rowid, which a rename keeps); 0 when not known.
    qint64 CurrentUserRow = 0;

    // Food-list restriction (per 100 g; -1 = none)
    int32_t RestrictionFoodType = 0;     // 0 foods and recipes, 1 foods only
    int32_t RestrictionCaloriesOp = -1;  // 0 at most, 1 at least, -1 none
    int32_t RestrictionLipidsOp = -1;
    int32_t RestrictionProteinsOp = -1;
    int32_t RestrictionCarbsOp = -1;
    int32_t RestrictionCaloriesLimit = -1;  // whole kcal or grams per 100 g
    int32_t RestrictionLipidsLimit = -1;
    int32_t RestrictionProteinsLimit = -1;
    int32_t RestrictionCarbsLimit = -1;
};

AppState& appState();
void resetAppState();
