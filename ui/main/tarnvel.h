#pragma once
// The main window.
//
// Tarnvel is one QMainWindow whose controls are private members named by
// their role (radiusEdit_, listingCalculateButton_…). Each control's
// objectName is the name it has everywhere else (Text5, CommandButton5,
// MSFlexGrid1…): the layout table places it and tests find it by that name.
// The handlers keep those names too (CommandButton4_Click) and are slots, so
// each command file works on the members directly. The window itself holds
// only the handlers and the few small operations they share; the rest lives
// beside it:
//   layout.cpp        the one table of places, sizes and tab order (twips)
//   results_grid.cpp  the 7 × 2 results grid: its labels and how it is filled
//   listing.cpp       the continuous listing, collected whole, and the one
//                     conversion between CR LF and the box's line breaks
//   file_commands.cpp parameter file and report export (Open, Export, "导出数据")
//   tool_commands.cpp editor, calculator, web page and About window
// Everything that would block or leave the process (message box, file dialog,
// launching programs, ending the program) goes through an injectable seam, so
// the whole window runs under test without a person at the screen.

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "core/calculator/curve.h"
#include "ui/seams.h"

class QAction;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace tarnvel::ui {

enum class CalculationMode { SinglePoint, Continuous };

class Tarnvel : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tarnvel)

public:
    explicit Tarnvel(Services services, QWidget* parent = nullptr);
    ~Tarnvel() override;

    // Puts the start-up values into the boxes and empties the results grid,
    // as when the window first opens.
    void Form_Load();

    // The listing box's text with CR LF line ends, exactly as a listing is
    // produced and as the report writes it; and the way back into the box.
    QString ListingText() const;
    void SetListingText(const QString& crlfText);

    // The results of the last calculation (single point, or the last station
    // of a listing).
    const CurveState& LastResults() const { return state_; }

    // The About window while it is open, else null.
    QWidget* AboutWindowShown() const { return aboutWindow_; }

    // Ending the program is a seam too: the program's default leaves the event
    // loop at once; tests record the request instead.
    void SetQuitFunction(std::function<void()> quit);

private:
    // ---- Controls, with their objectName --------------------------------------
    QGroupBox* inputsFrame_ = nullptr;        // Frame1 "计算数据": the inputs and the two modes
    QGroupBox* pointResultsFrame_ = nullptr;  // Frame2 "计算成果": the results grid (single point)
    QGroupBox* listingFrame_ = nullptr;       // Frame3 "计算成果": range boxes and listing (continuous)

    QLineEdit* pviStationEdit_ = nullptr;    // Text1: K0, station of the grade change point
    QLineEdit* pviElevationEdit_ = nullptr;  // Text2: H0, its elevation
    QLineEdit* gradeBeforeEdit_ = nullptr;   // Text3: I1 %, grade before it
    QLineEdit* gradeAfterEdit_ = nullptr;    // Text4: I2 %, grade after it
    QLineEdit* radiusEdit_ = nullptr;        // Text5: R, radius
    QLineEdit* pointStationEdit_ = nullptr;  // Text6: station of the single-point calculation
    QPlainTextEdit* listingBox_ = nullptr;   // Text7: the continuous listing
    QLineEdit* firstStationEdit_ = nullptr;  // Text8: first station of the range
    QLineEdit* lastStationEdit_ = nullptr;   // Text9: last station of the range
    QLineEdit* intervalEdit_ = nullptr;      // Text10: station interval
    QLineEdit* chosenPathEdit_ = nullptr;    // txtFileName, hidden: the path last chosen in a file dialog

    QRadioButton* singlePointOption_ = nullptr;  // Option1 "单点计算"
    QRadioButton* continuousOption_ = nullptr;   // Option2 "连续计算"

    QPushButton* pointCalculateButton_ = nullptr;    // CommandButton1 "点击计算", single point
    QPushButton* clearButton_ = nullptr;             // CommandButton2 "清空数据"
    QPushButton* quitButton_ = nullptr;              // CommandButton3 "退出程序"
    QPushButton* exportListingButton_ = nullptr;     // CommandButton4 "导出数据", continuous mode only
    QPushButton* listingCalculateButton_ = nullptr;  // CommandButton5 "点击计算", continuous

    // MSFlexGrid1. Row 0 and column 0 are the fixed label cells; column 1,
    // rows 1-6, the values.
    QTableWidget* resultsGrid_ = nullptr;

    QMenu* fileMenu_ = nullptr;                // File "文件"
    QMenu* toolsMenu_ = nullptr;               // GongJu "工具"
    QMenu* helpMenu_ = nullptr;                // BangZhu "帮助"
    QAction* importAction_ = nullptr;          // Open "导入"
    QAction* exportAction_ = nullptr;          // Export "导出"
    QAction* exitAction_ = nullptr;            // Exit "退出"
    QAction* editorAction_ = nullptr;          // Notepad "记事本"
    QAction* calculatorAction_ = nullptr;      // Calc "计算器"
    QAction* profileWindowAction_ = nullptr;   // ProfileWindowMenu "纵断面计算"
    QAction* webHelpAction_ = nullptr;         // LianBang "联机帮助"
    QAction* aboutAction_ = nullptr;           // About "关于"

    // ---- Shared by every command --------------------------------------------
    Services services_;

    // The single About window; null while none is open.
    QPointer<QWidget> aboutWindow_;
    // The single profile window; null while none is open.
    QPointer<QWidget> profileWindow_;

    // The one message box of the program: "提示", information icon, OK.
    void ShowInfoMessage(const QString& prompt);
    // Where the tools and the About window report a failure.
    std::function<void(const QString&)> ReportToWindow();

    // ---- Small operations of the handlers ----------------------------------
    // The boxes of the curve's five parameters (K0, H0, I1 %, I2 %, R), in the
    // order of the calculation and of the parameter file.
    std::array<QLineEdit*, 5> CurveBoxes() const {
        return {pviStationEdit_, pviElevationEdit_, gradeBeforeEdit_, gradeAfterEdit_, radiusEdit_};
    }
    // Every input box: the curve's, then the single point's and the range's.
    std::vector<QLineEdit*> InputBoxes() const;
    void ApplyMode(CalculationMode mode);
    // True when no listed box is the empty text; otherwise tells the user and
    // puts the focus in the first input box.
    bool CheckInputsFilled(std::span<QLineEdit* const> boxes);
    void ClearInputs();
    // The numbers the listed boxes hold, in order (stations also in K
    // notation, full-width digits and signs as ASCII); or nothing, after
    // telling the user which box holds a number beyond the double range.
    std::optional<std::vector<double>> ReadBoxes(std::span<QLineEdit* const> boxes);
    // Enter in an input box: the visible "点击计算".
    void CalculateVisible();

private slots:
    // ---- Event handlers, named after their control ---------------------------
    void Option1_Click();
    void Option2_Click();
    void CommandButton1_Click();
    void CommandButton2_Click();
    void CommandButton3_Click();
    void CommandButton5_Click();
    void Exit_Click();

    // Defined in file_commands.cpp.
    void Open_Click();
    void Export_Click();
    void CommandButton4_Click();

    // Defined in tool_commands.cpp.
    void Notepad_Click();
    void Calc_Click();
    void LianBang_Click();
    void About_Click();
    void ProfileWindowMenu_Click();

private:
    void CreateControls();
    void CreateMenus();
    void ConnectHandlers();

    CurveState state_;
    std::function<void()> quit_;
};

}  // namespace tarnvel::ui
