#pragma once
// Fails the running test, instead of letting it hang, when a real modal window
// (a message box or a file dialog that escaped its seam) opens, and closes it.

#include <QObject>
#include <QStringList>
#include <QTimer>

namespace tarnvel::ui::testing {

class ModalWatchdog : public QObject {
    Q_OBJECT
public:
    explicit ModalWatchdog(QObject* parent = nullptr);

    // Titles and texts of the modal windows closed so far.
    const QStringList& caught() const { return caught_; }

private:
    void Check();

    QTimer timer_;
    QStringList caught_;
};

}  // namespace tarnvel::ui::testing
