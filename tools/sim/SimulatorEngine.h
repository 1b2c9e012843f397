#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QObject>
#include <memory>

#include "tools/sim/DelayedReplies.h"
#include "tools/sim/DeviceResponder.h"
#include "tools/sim/SimulatorConfig.h"

class QUdpSocket;

// The simulated device on the wire: one UDP socket, each request answered by the responder and sent
// back to its sender, with the delays, repetitions, sizes and faults the configuration asks for; a
// second socket on the same address sends the replies that come from another port. Runs in the thread
// it lives in, driven by that thread's event loop.
class SimulatorEngine : public QObject {
  Q_OBJECT

 public:
  explicit SimulatorEngine(const SimulatorConfig& config, QObject* parent = nullptr);
  ~SimulatorEngine() override;

  // Binds the socket; port 0 lets the system choose. Returns false when the address cannot be bound.
  bool Listen(const QHostAddress& address, uint16_t port);
  // Closes the socket and drops replies still waiting for their delay.
  void Stop();
  uint16_t Port() const;
  QString ErrorText() const;
  // The text the identity request gets from now on.
  void SetIdentityReply(const QByteArray& reply) { responder_.SetIdentityReply(reply); }

  // Every datagram received so far, in arrival order. Safe to call from any thread.
  QList<QByteArray> Requests() const;

 signals:
  void RequestReceived(const QByteArray& datagram, const QHostAddress& sender, quint16 senderPort);

 private:
  void ReadPendingDatagrams();
  ReplyFault FaultFor(const QByteArray& request, int number);
  void SendReply(const QByteArray& reply, bool fromOtherPort, int copies, const QHostAddress& to,
                 quint16 port);

  SimulatorConfig config_;
  DeviceResponder responder_;
  QUdpSocket* socket_ = nullptr;
  QUdpSocket* otherPortSocket_ = nullptr;
  QHash<QByteArray, int> arrivals_;  // requests received so far by text, for the scripted faults
  std::unique_ptr<DelayedReplies> pendingReplies_;
  mutable QMutex requestsMutex_;
  QList<QByteArray> requests_;
};
