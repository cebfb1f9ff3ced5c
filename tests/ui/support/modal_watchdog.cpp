#include "tests/ui/support/modal_watchdog.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QWidget>

#include <gtest/gtest.h>

namespace tarnvel::ui::testing {

ModalWatchdog::ModalWatchdog(QObject* parent) : QObject(parent) {
    // The timer also runs inside the nested event loop of a modal exec().
    timer_.setInterval(50);
    connect(&timer_, &QTimer::timeout, this, &ModalWatchdog::Check);
    timer_.start();
}

void ModalWatchdog::Check() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    QString description = modal->metaObject()->className() + QStringLiteral(" \"") +
                          modal->windowTitle() + QStringLiteral("\"");
    if (auto* box = qobject_cast<QMessageBox*>(modal)) description += QStringLiteral(": ") + box->text();
    caught_.append(description);
    ADD_FAILURE() << "a real modal window opened: " << description.toStdString();
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}

}  // namespace tarnvel::ui::testing
