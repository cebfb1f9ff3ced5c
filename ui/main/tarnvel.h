#pragma once
// The main window.
//
// Tarnvel is one QMainWindow whose controls are private members named as the
// controls are named everywhere else (Text1, CommandButton4, MSFlexGrid1…),
// which is also their objectName, so that each command file works on them
// directly and tests find them by name. The window itself holds
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

#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

#include "core/calculator/curve.h"
#include "ui/seams.h"

class QAction;
class QGroupBox;
class QLabel;
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
    // ---- Controls (objectName == member name; tests find them by it) ---------
    QGroupBox* Frame1 = nullptr;  // "计算数据": the inputs and the two modes
    QGroupBox* Frame2 = nullptr;  // "计算成果": the results grid (single point)
    QGroupBox* Frame3 = nullptr;  // "计算成果": range boxes and listing (continuous)

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;

    QLineEdit* Text1 = nullptr;   // K0, station of the grade change point
    QLineEdit* Text2 = nullptr;   // H0, its elevation
    QLineEdit* Text3 = nullptr;   // I1 %, grade before it
    QLineEdit* Text4 = nullptr;   // I2 %, grade after it
    QLineEdit* Text5 = nullptr;   // R, radius
    QLineEdit* Text6 = nullptr;   // station of the single-point calculation
    QPlainTextEdit* Text7 = nullptr;  // the continuous listing
    QLineEdit* Text8 = nullptr;   // first station of the range
    QLineEdit* Text9 = nullptr;   // last station of the range
    QLineEdit* Text10 = nullptr;  // station interval
    QLineEdit* txtFileName = nullptr;  // hidden: the path last chosen in a file dialog

    QRadioButton* Option1 = nullptr;  // "单点计算"
    QRadioButton* Option2 = nullptr;  // "连续计算"

    QPushButton* CommandButton1 = nullptr;  // "点击计算", single point
    QPushButton* CommandButton2 = nullptr;  // "清空数据"
    QPushButton* CommandButton3 = nullptr;  // "退出程序"
    QPushButton* CommandButton4 = nullptr;  // "导出数据", continuous mode only
    QPushButton* CommandButton5 = nullptr;  // "点击计算", continuous

    // Row 0 and column 0 are the fixed label cells; column 1, rows 1-6, the values.
    QTableWidget* MSFlexGrid1 = nullptr;

    QMenu* File = nullptr;     // "文件"
    QMenu* GongJu = nullptr;   // "工具"
    QMenu* BangZhu = nullptr;  // "帮助"
    QAction* Open = nullptr;      // "导入"
    QAction* Export = nullptr;    // "导出"
    QAction* Exit = nullptr;      // "退出"
    QAction* Notepad = nullptr;   // "记事本"
    QAction* Calc = nullptr;      // "计算器"
    QAction* ProfileWindowMenu = nullptr;  // "纵断面计算"
    QAction* LianBang = nullptr;  // "联机帮助"
    QAction* About = nullptr;     // "关于"

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
    void ApplyMode(CalculationMode mode);
    // True when no listed box is the empty text; otherwise tells the user and
    // puts the focus in Text1.
    bool CheckInputsFilled(std::initializer_list<QLineEdit*> boxes);
    void ClearInputs();
    // The numbers the listed boxes hold, in order (stations also in K
    // notation, full-width digits and signs as ASCII); or nothing, after
    // telling the user which box holds a number beyond the double range.
    std::optional<std::vector<double>> ReadBoxes(std::initializer_list<QLineEdit*> boxes);
    // Enter in an input box: the visible "点击计算".
    void CalculateVisible();

    // ---- Event handlers -----------------------------------------------------
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

    void CreateControls();
    void CreateMenus();
    void ConnectHandlers();

    CurveState state_;
    std::function<void()> quit_;
};

}  // namespace tarnvel::ui
