#pragma once
// Desktop notifications over the session bus's org.freedesktop.Notifications service (KDE,
// GNOME, Xfce's notifyd, dunst, mako). Every call is sent without waiting for its answer, so a
// missing, slow or broken service never holds up the program; where no one owns the name, the
// bus answers with an error that is let go. Each names the program ("Kelmora", its desktop entry
// and icon "kelmora"); the alarm's is critical (GNOME and Plasma keep it up until it is closed,
// which its buttons need), notices are normal. The service is asked for its capabilities when
// it appears: one that shows no buttons is sent none.

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>
#include <cstdint>
#include <vector>

#include "platform/services.h"

class QDBusPendingCallWatcher;

namespace kelmora {

class QtNotifier : public QObject, public Notifier {
  Q_OBJECT

 public:
  explicit QtNotifier(QDBusConnection bus = QDBusConnection::sessionBus());
  void Show(const std::string& summary, const std::string& body,
            const std::vector<NotificationAction>& actions) override;
  void Close() override;
  void Notice(const std::string& summary, const std::string& body) override;
  // Waits until the service has answered every notice sent, or kNoticeLimitMs has passed since
  // the last was sent: a program about to end calls it so that its last notices are not lost
  // with it. A missing service answers at once.
  void WaitForNotices();

  static constexpr int kNoticeLimitMs = 500;
  // The number the service gave the notification up; 0 when none is up (or not numbered yet).
  // For the tests, which wait for it.
  uint ShownId() const { return id_; }
  // Whether the alarm's notification would carry its buttons; for the tests, which wait for the
  // service's answer.
  bool OffersButtons() const { return !without_actions_; }

 private slots:
  void OnActionInvoked(uint id, const QString& action_key);
  void OnClosed(uint id, uint reason);

 private:
  void Numbered(QDBusPendingCallWatcher* call, int show);
  void CloseById(uint id);
  void AskCapabilities();

  QDBusConnection bus_;
  QDBusServiceWatcher service_;  // the service coming and going: its capabilities may change
  int questions_ = 0;            // capability questions asked: the answer to an older one is old
  // The service said it shows no buttons. Until it has answered they are sent: a service that
  // cannot show them lets them go.
  bool without_actions_ = false;
  uint id_ = 0;    // the notification up, as the service numbered it; 0 when none
  int shows_ = 0;  // Show calls so far: the answer to an older one is known
  std::vector<QDBusPendingCall> notices_;  // notices not answered yet, when last looked at
  bool close_numbered_ = false;            // Close came before the service numbered the last Show
};

}  // namespace kelmora
