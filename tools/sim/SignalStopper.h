#pragma once

#include <QObject>

class QSocketNotifier;

// Quits the application's event loop on SIGINT or SIGTERM. The signal handler only writes a byte to a
// socket pair; the event loop reads it and quits, so nothing unsafe runs inside the handler.
class SignalStopper : public QObject {
  Q_OBJECT

 public:
  explicit SignalStopper(QObject* parent = nullptr);
  ~SignalStopper() override;

 private:
  QSocketNotifier* notifier_ = nullptr;
};
