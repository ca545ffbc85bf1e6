// When the device thread tries the driver again after losing it: a failed
// event wait or result (the mouse unplugged, a receiver dropping out, a
// device re-enumerated at resume) and opens that fail while the mouse is
// away. The first reopen comes at once, later ones further apart; after a
// bounded number the thread waits for a device arrival or a resume, which
// begin a new round. A driver that fails every wait is not reopened for
// ever either: losses without any event in between count too.
#pragma once
#include <cstdint>

namespace qvn {

constexpr uint32_t kLinkRetryNever = 0xFFFFFFFFu;

class LinkRecovery {
 public:
  // Failed opens in one round before the thread waits for the device.
  static constexpr int kOpenAttempts = 8;
  // Losses in a row without an event before the thread waits for the device.
  static constexpr int kQuickLosses = 3;

  // The open wait or its result failed. Milliseconds until the reopen, or
  // kLinkRetryNever.
  uint32_t Lost();
  // An open failed while reopening. Milliseconds until the next try, or
  // kLinkRetryNever once the round is used up.
  uint32_t OpenFailed();
  // The device opened again: the next loss begins the open attempts anew.
  void Opened() { openFailures_ = 0; }
  // An event came from the driver: the link works.
  void EventReceived() { quickLosses_ = 0; }
  // A device arrived or the machine resumed: a new round.
  void Renew() { openFailures_ = 0; quickLosses_ = 0; }

  int OpenFailures() const { return openFailures_; }
  int QuickLosses() const { return quickLosses_; }

 private:
  int openFailures_ = 0;
  int quickLosses_ = 0;
};

}  // namespace qvn
