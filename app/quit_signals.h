// SIGTERM and SIGINT (the session ending, `kill`, Ctrl+C in a terminal) ask
// the program to quit as closing its window does, so an import in progress
// stops early and the program ends with status 0 instead of being cut off.
// The handler only writes a byte to a pipe; the event loop reads it and
// emits quitRequested, where any Qt call is safe.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace quarry {

class cQuitSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one instance at a time.
    explicit cQuitSignals(QObject* parent = nullptr);
    // Gives the signals their default handling back.
    ~cQuitSignals() override;

signals:
    void quitRequested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace quarry
