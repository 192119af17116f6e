#pragma once
// The first-steps window: the program and its five modules presented one by one, each with an
// overview and a few tips read from the RTF files of the Aide folder; a tip may lead to a help
// page or to a page of the maker's site. The window also starts the chosen module and can make
// it the module opened at every start.
#include <QDialog>
#include <QString>
#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTextEdit;

// What the window knows of each module (index 0 is the program as a whole).
struct FirstStepsModule {
    const char* overview;   // file of the Aide folder
    const char* tipPrefix;  // tip n is tipPrefix + n + ".rtf"
    int tips;
    const char* caption;
};
const FirstStepsModule& FirstStepsModuleInfo(int module);
constexpr int kFirstStepsModules = 6;

// The path of a module's overview, or of its tip n (n >= 1), relative to the working folder.
QString FirstStepsFile(int module, int tip = 0);

// Where the "?" button of a tip leads: a help page (its context number) or a page of the
// maker's site; neither for the tips where "?" is disabled.
struct TipHelp {
    int helpContext = 0;
    QString page;
};
TipHelp TipHelpFor(int tip, int module);
// Whether "?" is enabled on that tip.
bool TipHelpEnabled(int tip, int module);

// The two lines shown in place of a text whose file cannot be read; `withFolder` names the file
// by its path (a tip reached with the arrows), else by its bare name in double quotes.
QString MissingTextFileMessage(const QString& path, bool withFolder);

class TFAstuces : public QDialog {
    Q_OBJECT
public:
    explicit TFAstuces(QWidget* parent = nullptr);
    ~TFAstuces() override;

    // Components, in member order
    QLabel* Image1 = nullptr;
    QTextEdit* RichEdit = nullptr;
    QRadioButton* RbtnRechRecette = nullptr;
    QRadioButton* RbtnGestRecette = nullptr;
    QRadioButton* RbtnEnrProfil = nullptr;
    QRadioButton* RbtnGestApp = nullptr;
    QGroupBox* Panel = nullptr;
    QRadioButton* RbtnGestAlim = nullptr;
    QRadioButton* RbtnVivanda = nullptr;
    QLabel* LblRechRecette = nullptr;
    QLabel* LblGestApp = nullptr;
    QPushButton* BtnInfo = nullptr;
    QPushButton* BtnAstuces = nullptr;
    QPushButton* BtnDemarrer = nullptr;
    QLabel* Image2 = nullptr;
    QCheckBox* CbxSelModule = nullptr;
    QLabel* LblDemarrer = nullptr;
    QPushButton* BtnPred = nullptr;
    QPushButton* BtnAide = nullptr;
    QPushButton* BtnSuivant = nullptr;

    int32_t SelectedModule = 0;
    int32_t CurrentTip = 1;
    QString MessageTable[6];

    // Handlers
    void FormCreate();
    void FormActivate();
    void RbtnVivandaClick() { moduleClicked(0); }
    void RbtnRechRecetteClick() { moduleClicked(1); }
    void RbtnGestRecetteClick() { moduleClicked(2); }
    void RbtnGestAlimClick() { moduleClicked(3); }
    void RbtnEnrProfilClick() { moduleClicked(4); }
    void RbtnGestAppClick() { moduleClicked(5); }
    void BtnInfoClick();
    void BtnAstucesClick();
    void BtnPredClick();
    void BtnSuivantClick();
    void BtnAideClick();
    void BtnDemarrerClick();
    void CbxSelModuleClick();

    void EnableTipNavigation();
    void DisableTipNavigation();
    void UpdateHelpButton(int tip, int module);

    // The radio button of a module.
    QRadioButton* moduleButton(int module) const;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void moduleClicked(int module);
    // Loads a text into the rich edit; a file that cannot be read gives the two-line message.
    void loadText(const QString& path, bool missingWithFolder);
    bool selectionMissing(bool moduleOnly);
};

extern TFAstuces* FAstuces;

// The menu item "Information et astuces sur Vivanda": places the window over the frame (60
// pixels below its top) and shows it.
void ShowAstucesFromMenu();
