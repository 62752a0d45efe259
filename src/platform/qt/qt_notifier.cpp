#include "platform/qt/qt_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

#include "platform/qt/bus_name_watch.h"

namespace kelmora {
namespace {

constexpr char kService[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
constexpr char kInterface[] = "org.freedesktop.Notifications";
constexpr int kNeverExpires = 0;  // the program closes it when the sound is over
constexpr int kServiceDecidesExpiry = -1;

QDBusMessage Call(const char* method) {
  return QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                        QLatin1String(kInterface), QLatin1String(method));
}

// The urgency levels of the freedesktop.org notification protocol.
enum Urgency : uchar { kNormal = 1, kCritical = 2 };

QVariantMap Hints(Urgency urgency) {
  QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("kelmora")},
                    {QStringLiteral("urgency"), QVariant::fromValue(uchar{urgency})}};
  // The alarm plays its own sound; the service's would sound over it.
  if (urgency == kCritical) hints.insert(QStringLiteral("suppress-sound"), true);
  return hints;
}

// Services that take markup in the body would read "<" and "&" in a file name as markup.
QDBusMessage Notify(uint replaces, const std::string& summary, const std::string& body,
                    const QStringList& actions, Urgency urgency, int expire) {
  QDBusMessage notify = Call("Notify");
  notify << QStringLiteral("Kelmora") << replaces << QStringLiteral("kelmora")
         << QString::fromStdString(summary) << QString::fromStdString(body).toHtmlEscaped()
         << actions << Hints(urgency) << expire;
  return notify;
}

}  // namespace

QtNotifier::QtNotifier(QDBusConnection bus) : bus_(std::move(bus)) {
  // From any sender: naming the service would make Qt ask the bus for its owner and wait.
  bus_.connect(QString(), QLatin1String(kPath), QLatin1String(kInterface),
               QStringLiteral("ActionInvoked"), this, SLOT(OnActionInvoked(uint, QString)));
  bus_.connect(QString(), QLatin1String(kPath), QLatin1String(kInterface),
               QStringLiteral("NotificationClosed"), this, SLOT(OnClosed(uint, uint)));
  if (!bus_.isConnected()) return;
  WatchBusName(service_, bus_, QLatin1String(kService), this, [this](bool owned) {
    ++questions_;  // an answer still on its way is from the service that left
    without_actions_ = false;
    if (owned) AskCapabilities();
  });
  AskCapabilities();
}

void QtNotifier::AskCapabilities() {
  const int question = ++questions_;
  auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(Call("GetCapabilities")), this);
  connect(call, &QDBusPendingCallWatcher::finished, this, [this, call, question] {
    call->deleteLater();
    const QDBusPendingReply<QStringList> reply = *call;
    if (question != questions_ || reply.isError()) return;
    without_actions_ = !reply.value().contains(QStringLiteral("actions"));
  });
}

void QtNotifier::Show(const std::string& summary, const std::string& body,
                      const std::vector<NotificationAction>& actions) {
  QStringList buttons;
  if (!without_actions_) {
    for (const NotificationAction& action : actions) {
      buttons << QString::fromStdString(action.key) << QString::fromStdString(action.label);
    }
  }
  const QDBusMessage notify = Notify(id_, summary, body, buttons, kCritical, kNeverExpires);
  const int show = ++shows_;
  close_numbered_ = false;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(notify), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, show](QDBusPendingCallWatcher* call) { Numbered(call, show); });
}

void QtNotifier::Notice(const std::string& summary, const std::string& body) {
  const QDBusMessage notify = Notify(0, summary, body, {}, kNormal, kServiceDecidesExpiry);
  std::erase_if(notices_, [](const QDBusPendingCall& call) { return call.isFinished(); });
  notices_.push_back(bus_.asyncCall(notify, kNoticeLimitMs));
}

void QtNotifier::WaitForNotices() {
  // Each call gives up by itself after kNoticeLimitMs.
  for (QDBusPendingCall& call : notices_) call.waitForFinished();
  notices_.clear();
}

void QtNotifier::Numbered(QDBusPendingCallWatcher* call, int show) {
  call->deleteLater();
  const QDBusPendingReply<uint> reply = *call;
  if (reply.isError()) return;  // no service, or a broken one: nothing is up
  const uint id = reply.value();
  if (show == shows_ && !close_numbered_) {
    id_ = id;
    return;
  }
  // Closed before the service numbered it, or shown over by a later Show that could not name it
  // to be replaced: it goes.
  if (show == shows_ || id != id_) CloseById(id);
}

void QtNotifier::Close() {
  close_numbered_ = true;
  if (id_ == 0) return;
  CloseById(id_);
  id_ = 0;
}

void QtNotifier::CloseById(uint id) {
  QDBusMessage close = Call("CloseNotification");
  close << id;
  bus_.asyncCall(close);
}

void QtNotifier::OnActionInvoked(uint id, const QString& action_key) {
  if (id != 0 && id == id_ && on_action) on_action(action_key.toStdString());
}

void QtNotifier::OnClosed(uint id, uint) {
  if (id != 0 && id == id_) id_ = 0;
}

}  // namespace kelmora
