#include "ui/main/tarnvel.h"

#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTableWidget>

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/calculator/arithmetic_error.h"
#include "core/text/messages.h"
#include "core/calculator/number_text.h"
#include "core/profile/station.h"
#include "core/calculator/station_listing.h"
#include "ui/icons.h"
#include "ui/look.h"
#include "ui/main/layout.h"
#include "ui/main/listing.h"
#include "ui/main/results_grid.h"
#include "ui/qt_text.h"

namespace tarnvel::ui {
namespace {

QString NumberText(double value) { return QString::fromStdString(NumberToText(value)); }

// Places `widget` as the layout table says and gives it its name.
template <class Widget>
Widget* Placed(Widget* widget, const layout::ControlPlace& place) {
    widget->setObjectName(FromUtf8(place.name));
    widget->setGeometry(layout::PixelRect(place));
    return widget;
}

// The boxes of `first`, then `more`.
std::vector<QLineEdit*> Joined(std::span<QLineEdit* const> first, std::initializer_list<QLineEdit*> more) {
    std::vector<QLineEdit*> boxes(first.begin(), first.end());
    boxes.insert(boxes.end(), more);
    return boxes;
}

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

Tarnvel::Tarnvel(Services services, QWidget* parent)
    : QMainWindow(parent),
      services_(services),
      quit_([this] {
          // An open profile window first asks about its unsaved changes; its
          // 取消 keeps the program running.
          if (profileWindow_ && !profileWindow_->close()) return;
          QCoreApplication::exit(0);
      }) {
    setObjectName(QStringLiteral("Tarnvel"));
    setWindowTitle(QStringLiteral("Tarnvel"));
    setWindowIcon(icons::ProgramIcon());
    setFont(ProgramFont());

    CreateControls();
    CreateMenus();
    ConnectHandlers();

    // Controls keep their places whatever the window's size: only the client
    // area's first size comes from the table.
    const QSize client = layout::ClientSizePixels();
    resize(client.width(), client.height() + menuBar()->sizeHint().height());

    Form_Load();
}

Tarnvel::~Tarnvel() = default;

void Tarnvel::CreateControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    // Frames first: the other controls are placed inside them. A frame's
    // caption sits in its top border, the line broken behind it, as the
    // desktop draws a captioned frame; the common style of Qt's desktop
    // styles does that, where the platform style may put the caption above
    // the line. Only the frames take it: a style is not passed on to children.
    QStyle* frameStyle = QStyleFactory::create(QStringLiteral("Windows"));
    if (frameStyle != nullptr) frameStyle->setParent(this);
    auto frame = [&](const char* name) {
        const layout::ControlPlace& place = layout::Find(name);
        auto* box = Placed(new QGroupBox(FromUtf8(place.caption), client), place);
        box->setFocusPolicy(Qt::NoFocus);
        if (frameStyle != nullptr) box->setStyle(frameStyle);
        return box;
    };
    inputsFrame_ = frame("Frame1");
    pointResultsFrame_ = frame("Frame2");
    listingFrame_ = frame("Frame3");

    auto containerOf = [&](const layout::ControlPlace& place) -> QWidget* {
        if (place.container.empty()) return client;
        return client->findChild<QWidget*>(FromUtf8(place.container));
    };
    auto label = [&](const char* name) {
        const layout::ControlPlace& place = layout::Find(name);
        auto* l = Placed(new QLabel(FromUtf8(place.caption), containerOf(place)), place);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setAutoFillBackground(true);  // opaque, in the window's colour
    };
    auto textBox = [&](const char* name) {
        const layout::ControlPlace& place = layout::Find(name);
        auto* box = Placed(new QLineEdit(FromUtf8(place.caption), containerOf(place)), place);
        box->setMaxLength(std::numeric_limits<int>::max());
        return box;
    };
    auto button = [&](const char* name) {
        const layout::ControlPlace& place = layout::Find(name);
        auto* b = Placed(new QPushButton(FromUtf8(place.caption), containerOf(place)), place);
        b->setFont(font());
        b->setAutoDefault(false);
        QPalette palette = b->palette();
        palette.setColor(QPalette::Button, palette.color(QPalette::Window));
        b->setPalette(palette);
        return b;
    };
    auto option = [&](const char* name) {
        const layout::ControlPlace& place = layout::Find(name);
        return Placed(new QRadioButton(FromUtf8(place.caption), containerOf(place)), place);
    };

    // The labels only show their captions; nothing refers to them later.
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8", "Label9"})
        label(name);

    pviStationEdit_ = textBox("Text1");
    pviElevationEdit_ = textBox("Text2");
    gradeBeforeEdit_ = textBox("Text3");
    gradeAfterEdit_ = textBox("Text4");
    radiusEdit_ = textBox("Text5");
    pointStationEdit_ = textBox("Text6");
    firstStationEdit_ = textBox("Text8");
    lastStationEdit_ = textBox("Text9");
    intervalEdit_ = textBox("Text10");
    chosenPathEdit_ = textBox("txtFileName");
    chosenPathEdit_->hide();

    listingBox_ = Placed(new QPlainTextEdit(listingFrame_), layout::Find("Text7"));
    listingBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    listingBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    listingBox_->setTabChangesFocus(true);

    singlePointOption_ = option("Option1");
    continuousOption_ = option("Option2");
    singlePointOption_->setChecked(true);
    // The two buttons' places overlap by two pixels, over the end of the first
    // caption: the first button lies on top there, so that a click on its own
    // caption selects it (the second caption starts beyond the overlap).
    singlePointOption_->raise();

    pointCalculateButton_ = button("CommandButton1");
    clearButton_ = button("CommandButton2");
    quitButton_ = button("CommandButton3");
    exportListingButton_ = button("CommandButton4");
    listingCalculateButton_ = button("CommandButton5");

    resultsGrid_ = Placed(CreateResultsGrid(pointResultsFrame_), layout::Find("MSFlexGrid1"));
    resultsGrid_->setFont(font());

    // The designed state is single-point mode.
    listingFrame_->hide();
    listingCalculateButton_->hide();
    exportListingButton_->setEnabled(false);

    // Tab order by ascending tab position; frames and labels take no focus and
    // hidden or disabled controls are skipped by Qt itself.
    std::vector<const layout::ControlPlace*> order;
    for (const layout::ControlPlace& place : layout::Controls()) order.push_back(&place);
    std::sort(order.begin(), order.end(),
              [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    QWidget* previous = nullptr;
    for (const layout::ControlPlace* place : order) {
        auto* widget = client->findChild<QWidget*>(FromUtf8(place->name));
        if (widget->focusPolicy() == Qt::NoFocus) continue;
        if (previous) setTabOrder(previous, widget);
        previous = widget;
    }
    // Nothing else has been given the focus, so the first box of the tab
    // order holds it when the window first becomes active.
    pointStationEdit_->setFocus();
}

void Tarnvel::CreateMenus() {
    // No access keys and no shortcuts: the captions are exactly these.
    auto menu = [&](const char* name, const char* caption) {
        QMenu* m = menuBar()->addMenu(QString::fromUtf8(caption));
        m->setObjectName(QString::fromUtf8(name));
        m->menuAction()->setObjectName(QString::fromUtf8(name));
        return m;
    };
    auto item = [&](QMenu* m, const char* name, const char* caption) {
        QAction* action = m->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        return action;
    };
    fileMenu_ = menu("File", "文件");
    importAction_ = item(fileMenu_, "Open", "导入");
    exportAction_ = item(fileMenu_, "Export", "导出");
    exitAction_ = item(fileMenu_, "Exit", "退出");
    toolsMenu_ = menu("GongJu", "工具");
    editorAction_ = item(toolsMenu_, "Notepad", "记事本");
    calculatorAction_ = item(toolsMenu_, "Calc", "计算器");
    profileWindowAction_ = item(toolsMenu_, "ProfileWindowMenu", "纵断面计算");
    helpMenu_ = menu("BangZhu", "帮助");
    webHelpAction_ = item(helpMenu_, "LianBang", "联机帮助");
    aboutAction_ = item(helpMenu_, "About", "关于");
}

void Tarnvel::ConnectHandlers() {
    // An option button's Click is its becoming selected, by mouse or by keys.
    connect(singlePointOption_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option1_Click();
    });
    connect(continuousOption_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Option2_Click();
    });
    connect(pointCalculateButton_, &QPushButton::clicked, this, &Tarnvel::CommandButton1_Click);
    connect(clearButton_, &QPushButton::clicked, this, &Tarnvel::CommandButton2_Click);
    connect(quitButton_, &QPushButton::clicked, this, &Tarnvel::CommandButton3_Click);
    connect(exportListingButton_, &QPushButton::clicked, this, &Tarnvel::CommandButton4_Click);
    connect(listingCalculateButton_, &QPushButton::clicked, this, &Tarnvel::CommandButton5_Click);
    connect(importAction_, &QAction::triggered, this, &Tarnvel::Open_Click);
    connect(exportAction_, &QAction::triggered, this, &Tarnvel::Export_Click);
    connect(exitAction_, &QAction::triggered, this, &Tarnvel::Exit_Click);
    connect(editorAction_, &QAction::triggered, this, &Tarnvel::Notepad_Click);
    connect(calculatorAction_, &QAction::triggered, this, &Tarnvel::Calc_Click);
    connect(profileWindowAction_, &QAction::triggered, this, &Tarnvel::ProfileWindowMenu_Click);
    connect(webHelpAction_, &QAction::triggered, this, &Tarnvel::LianBang_Click);
    connect(aboutAction_, &QAction::triggered, this, &Tarnvel::About_Click);
    // Enter in any input box calculates, as the button beside them would.
    for (QLineEdit* box : InputBoxes())
        connect(box, &QLineEdit::returnPressed, this, &Tarnvel::CalculateVisible);
}

void Tarnvel::ShowInfoMessage(const QString& prompt) { services_.messages.ShowInfo(this, prompt); }

QString Tarnvel::ListingText() const { return BoxTextToCrLf(listingBox_->document()->toRawText()); }

void Tarnvel::SetListingText(const QString& crlfText) {
    listingBox_->setPlainText(CrLfToBoxText(crlfText));
}

void Tarnvel::SetQuitFunction(std::function<void()> quit) { quit_ = std::move(quit); }

void Tarnvel::ApplyMode(CalculationMode mode) {
    const bool continuous = mode == CalculationMode::Continuous;
    exportListingButton_->setEnabled(continuous);
    listingCalculateButton_->setVisible(continuous);
    listingFrame_->setVisible(continuous);
    pointResultsFrame_->setVisible(!continuous);
    pointCalculateButton_->setVisible(!continuous);
}

bool Tarnvel::CheckInputsFilled(std::span<QLineEdit* const> boxes) {
    bool filled = true;
    for (const QLineEdit* box : boxes) {
        // Only the exactly empty text counts: a blank is a number (0).
        if (box->text().isEmpty()) filled = false;
    }
    if (filled) return true;
    ShowInfoMessage(QStringLiteral("数据未输入完整，请重新输入！"));
    pviStationEdit_->setFocus();
    return false;
}

std::vector<QLineEdit*> Tarnvel::InputBoxes() const {
    return Joined(CurveBoxes(), {pointStationEdit_, firstStationEdit_, lastStationEdit_, intervalEdit_});
}

void Tarnvel::ClearInputs() {
    for (QLineEdit* box : InputBoxes()) box->setText(QString());
    pviStationEdit_->setFocus();
}

void Tarnvel::Form_Load() {
    pviStationEdit_->setText(NumberText(16770));
    pviElevationEdit_->setText(NumberText(396.67));
    gradeBeforeEdit_->setText(NumberText(3.1));
    gradeAfterEdit_->setText(NumberText(1.1));
    radiusEdit_->setText(NumberText(3000));
    pointStationEdit_->setText(NumberText(16780));
    firstStationEdit_->setText(NumberText(16740));
    lastStationEdit_->setText(NumberText(16800));
    intervalEdit_->setText(NumberText(10));
    SetUpResultsGrid(*resultsGrid_);
}

void Tarnvel::Option1_Click() { ApplyMode(CalculationMode::SinglePoint); }

void Tarnvel::Option2_Click() { ApplyMode(CalculationMode::Continuous); }

namespace {

// How a box is read, and the quantity its label names.
struct BoxReading {
    std::string_view box;
    std::string_view label;
    bool station;  // K notation as well as plain numbers
};

constexpr BoxReading kBoxReadings[] = {
    {"Text1", "Label1", true},  {"Text2", "Label2", false},  {"Text3", "Label3", false},
    {"Text4", "Label4", false}, {"Text5", "Label5", false},  {"Text6", "Label6", true},
    {"Text8", "Label7", true},  {"Text9", "Label8", true},   {"Text10", "Label9", false},
};

const BoxReading& ReadingOf(const QLineEdit* box) {
    const std::string name = box->objectName().toStdString();
    for (const BoxReading& reading : kBoxReadings)
        if (reading.box == name) return reading;
    throw std::logic_error("no reading for the box " + name);
}

// "变坡点高程H=" names 变坡点高程H.
QString QuantityName(const BoxReading& reading) {
    std::string_view caption = layout::Find(reading.label).caption;
    while (!caption.empty() && (caption.back() == '=' || caption.back() == ' ')) caption.remove_suffix(1);
    return FromUtf8(caption);
}

}  // namespace

std::optional<std::vector<double>> Tarnvel::ReadBoxes(std::span<QLineEdit* const> boxes) {
    std::vector<double> numbers;
    numbers.reserve(boxes.size());
    for (QLineEdit* box : boxes) {
        const BoxReading& reading = ReadingOf(box);
        // Digits and signs typed in full width by a Chinese input method read
        // as their ASCII forms.
        const std::string text = box->text().toStdString();
        if (reading.station) {
            const std::string why = StationTextReason(StationBoxProblem(text));
            if (!why.empty()) {
                ShowInfoMessage(QuantityName(reading) + QStringLiteral(" 的桩号“") + box->text() +
                                QStringLiteral("”有误：") + QString::fromStdString(why) +
                                QStringLiteral("，请重新输入！"));
                box->setFocus();
                box->selectAll();
                return std::nullopt;
            }
        }
        bool outOfRange = false;
        const double value = reading.station ? StationBoxToNumber(text, outOfRange)
                                             : TextToNumber(FoldFullWidth(text), outOfRange);
        if (outOfRange) {
            // The largest double in its place would give a plausible wrong answer.
            ShowInfoMessage(QuantityName(reading) + QStringLiteral(" 的数值超出了可计算的范围，请重新输入！"));
            box->setFocus();
            box->selectAll();
            return std::nullopt;
        }
        numbers.push_back(value);
    }
    return numbers;
}

void Tarnvel::CommandButton1_Click() {
    const std::vector<QLineEdit*> boxes = Joined(CurveBoxes(), {pointStationEdit_});
    if (!CheckInputsFilled(boxes)) return;
    const auto numbers = ReadBoxes(boxes);
    if (!numbers) return;
    const std::vector<double>& n = *numbers;
    const CurveParameters params{n[0], n[1], n[2], n[3], n[4]};
    const double station = n[5];
    try {
        CalculateAt(params, station, state_);
    } catch (const ArithmeticError& error) {
        // Every value is computed before the first cell is written, so the
        // grid still shows the last good results.
        ShowInfoMessage(QStringLiteral("单点计算失败：") +
                        QString::fromStdString(DescribeArithmeticError(error)));
        return;
    }
    FillResultsGrid(*resultsGrid_, state_);
}

void Tarnvel::CommandButton5_Click() {
    if (!CheckInputsFilled(CurveBoxes())) return;
    const auto numbers = ReadBoxes(Joined(CurveBoxes(), {firstStationEdit_, lastStationEdit_, intervalEdit_}));
    if (!numbers) return;
    const std::vector<double>& n = *numbers;
    const CurveParameters params{n[0], n[1], n[2], n[3], n[4]};
    StationRange range;
    range.start = n[5];
    range.end = n[6];
    range.interval = n[7];

    WindowListing listing;
    {
        // A listing of a million stations takes seconds: say so with the cursor.
        const WaitCursor wait;
        listing = CollectListing(params, range, kWindowStationLimit, state_);
        if (ReplacesListingBox(listing.result)) SetListingText(QString::fromStdString(listing.text));
    }
    if (listing.result.outcome != ListingOutcome::Complete) {
        ShowInfoMessage(QString::fromStdString(
            DescribeListingResult(listing.result, kWindowStationLimit)));
    }
}

void Tarnvel::CalculateVisible() {
    // The mode's own button, whichever of the two the window shows.
    if (!listingCalculateButton_->isHidden()) {
        CommandButton5_Click();
    } else if (!pointCalculateButton_->isHidden()) {
        CommandButton1_Click();
    }
}

void Tarnvel::CommandButton2_Click() { ClearInputs(); }

void Tarnvel::CommandButton3_Click() { quit_(); }

void Tarnvel::Exit_Click() { quit_(); }

}  // namespace tarnvel::ui
