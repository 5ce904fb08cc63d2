#pragma once
// The signals that ask the program to stop (SIGTERM, SIGHUP, SIGINT), delivered by the event loop
// as a Qt signal, so that the program ends through its normal exit path and saves. A handler only
// writes the signal's number into a pipe; the event loop reads it.

#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    // Installs the handlers at the first call.
    static TerminationSignals &instance();

signals:
    void received(int signalNumber);

private:
    TerminationSignals();
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
};
