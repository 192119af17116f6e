#include <QCheckBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include <algorithm>

#include "frame/AppState.h"
#include "frame/Uoptions.h"
#include "platform/Modal.h"
#include "support/FormTest.h"

namespace {
class OptionsDialog : public ModalTest {
protected:
    static std::vector<int> switches() {
        const AppState& st = appState();
        return {st.SwitchReserved, st.SwitchRecipeInfo, st.SwitchConsumptionInfo,
                st.SwitchCaloriesAboveObjective, st.SwitchCarbsBelowMinimum, st.SwitchObjectiveBelowNeeds};
    }
    static QCheckBox* box(modal::Call& c, const char* name) {
        return c.dialog->findChild<QCheckBox*>(QString::fromLatin1(name));
    }
    static void ok(modal::Call& c) { c.dialog->findChild<QPushButton*>("BtnOk")->click(); }
};
}  // namespace

TEST_F(OptionsDialog, BoxesShowTheSwitchesAndAnyClickStoresThemAll) {
    const struct {
        std::vector<const char*> clicks;
        int dirty;
        std::vector<int> expected;
    } cases[] = {
        {{}, 0, {5, 1, 0, 1, 0, 1}},  // left alone: nothing changes, not even the reserved byte
        // A clicked box stores every switch and clears the reserved byte.
        {{"ChbxRecettes", "ChbxGlucidesPasBon"}, 1, {0, 0, 0, 1, 1, 1}},
        {{"ChbxCalSupObjectif", "ChbxCalSupObjectif"}, 1, {0, 1, 0, 1, 0, 1}},  // tick and untick
    };
    for (const auto& c : cases) {
        resetAppState();
        AppState& st = appState();
        st.SwitchReserved = 5;
        st.SwitchRecipeInfo = st.SwitchCaloriesAboveObjective = 1;
        st.SwitchObjectiveBelowNeeds = 9;  // any non-zero byte means "show"
        modal::pushHandler([&c](modal::Call& call) {
            const char* names[] = {"ChbxRecettes", "ChbxConsoJournaliere", "ChbxCalSupObjectif",
                                   "ChbxGlucidesPasBon", "ChbxObjectifPasBon"};
            const bool shown[] = {true, false, true, false, true};
            for (int i = 0; i < 5; ++i) EXPECT_EQ(box(call, names[i])->isChecked(), shown[i]) << names[i];
            for (const char* name : c.clicks) box(call, name)->click();
            ok(call);
        });
        RunOptionsExchange();
        EXPECT_EQ(appState().OptionsDirty, c.dirty);
        std::vector<int> shown = switches();  // the reserved byte, then whether each message shows
        std::transform(shown.begin() + 1, shown.end(), shown.begin() + 1, [](int v) { return v != 0; });
        EXPECT_EQ(shown, c.expected) << c.clicks.size();
    }
}
