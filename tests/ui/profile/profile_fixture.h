#pragma once
// A real profile window with fake seams and settings in a temporary folder,
// shown and active, and the small profiles the tests share.

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/ui/support/fakes.h"
#include "tests/ui/support/modal_watchdog.h"
#include "ui/profile/edit_table_model.h"
#include "ui/profile/profile_window.h"

namespace tarnvel::ui::testing {

// The little file and menu chores every window test needs.
inline QString DataFile(const char* name) { return QStringLiteral(TARNVEL_IO_TEST_DATA "/") + QString::fromUtf8(name); }

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

inline void Trigger(ProfileWindow& window, const char* name) {
    auto* action = window.findChild<QAction*>(QString::fromUtf8(name));
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
}

// Four points, two parabolas given by R: grades +2 %, -1 %, +1 %.
//   K0+200: R 2000, L 60, start K0+170, end K0+230, elevation on the curve 103.775
//   K0+500: R 3000, L 60, start K0+470, end K0+530
inline std::vector<QStringList> TwoCurveRows() {
    return {{"K0+000", "100", "", "", "", "", ""},
            {"K0+200", "104", "", "2000", "", "", ""},
            {"K0+500", "101", "", "3000", "", "", ""},
            {"K0+800", "104", "", "", "", "", ""}};
}

class ProfileWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        watchdog_ = std::make_unique<ModalWatchdog>();
        window_ = MakeWindow();
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        window_.reset();
        watchdog_.reset();
    }

    std::unique_ptr<ProfileWindow> MakeWindow() {
        return std::make_unique<ProfileWindow>(Services{messages, files, launcher, &preview}, Path("settings.ini"));
    }
    ProfileWindow& window() { return *window_; }
    void ResetWindow(std::unique_ptr<ProfileWindow> window = nullptr) { window_ = std::move(window); }
    QString Path(const QString& name) const { return dir_.filePath(name); }

    template <class Widget>
    Widget* Control(const QString& name) {
        auto* widget = window_->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << "no control named " << name.toStdString();
        return widget;
    }

    profile::EditTableModel& Pvi() { return window_->PviModel(); }
    // Types the rows into the PVI table as one paste at its first cell.
    void PasteRows(const std::vector<QStringList>& rows) {
        Pvi().WriteBlock(0, 0, rows, QStringLiteral("粘贴"));
    }
    // Types one cell the way the view's editor commits it.
    void TypeCell(int row, int column, const QString& text) {
        Pvi().setData(Pvi().index(row, column), text, Qt::EditRole);
    }
    QString MarkOf(const profile::EditTableModel& model, int row, int column) {
        return model.data(model.index(row, column), Qt::ToolTipRole).toString();
    }

    FakeMessageBox messages;
    FakeFileDialog files;
    FakeLauncher launcher;
    FakeSheetPreview preview;

private:
    QTemporaryDir dir_;
    std::unique_ptr<ModalWatchdog> watchdog_;
    std::unique_ptr<ProfileWindow> window_;
};

}  // namespace tarnvel::ui::testing
