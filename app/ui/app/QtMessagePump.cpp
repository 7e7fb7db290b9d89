#include "app/QtMessagePump.h"

#include "mtcore/MessageLoop.h"

#include <QMetaObject>

CQtMessagePump::CQtMessagePump(QObject* parent) : QObject(parent) {
  // The hook runs on the posting thread and only queues a call into this one. The
  // destructor removes it before the object goes, so `this` stays valid in it.
  CMessageLoop::SetWakeUpHook(
      [this] { QMetaObject::invokeMethod(this, &CQtMessagePump::Pump, Qt::QueuedConnection); });
  // Whatever was queued before the hook existed.
  QMetaObject::invokeMethod(this, &CQtMessagePump::Pump, Qt::QueuedConnection);
}

CQtMessagePump::~CQtMessagePump() {
  CMessageLoop::SetWakeUpHook({});
}

void CQtMessagePump::Pump() {
  if (CMessageLoop::PumpPending() > 0) {
    emit Pumped();
  }
}
