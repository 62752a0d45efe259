#include "platform/qt/qt_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace kelmora {
namespace {

constexpr char kService[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
constexpr char kInterface[] = "org.freedesktop.Notifications";
constexpr char kStopAction[] = "stop";
constexpr int kNeverExpires = 0;  // the program closes it when the sound is over
constexpr int kServiceDecidesExpiry = -1;

QDBusMessage Call(const char* method) {
  return QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                        QLatin1String(kInterface), QLatin1String(method));
}

}  // namespace

QtNotifier::QtNotifier(QDBusConnection bus) : bus_(std::move(bus)) {
  // From any sender: naming the service would make Qt ask the bus for its owner and wait.
  bus_.connect(QString(), QLatin1String(kPath), QLatin1String(kInterface),
               QStringLiteral("ActionInvoked"), this, SLOT(OnActionInvoked(uint, QString)));
  bus_.connect(QString(), QLatin1String(kPath), QLatin1String(kInterface),
               QStringLiteral("NotificationClosed"), this, SLOT(OnClosed(uint, uint)));
}

void QtNotifier::Show(const std::string& summary, const std::string& body) {
  QDBusMessage notify = Call("Notify");
  const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("kelmora")}};
  // Services that take markup in the body would read "<" and "&" in a file name as markup.
  notify << QStringLiteral("Kelmora") << id_ << QStringLiteral("kelmora")
         << QString::fromStdString(summary) << QString::fromStdString(body).toHtmlEscaped()
         << QStringList{QLatin1String(kStopAction), QStringLiteral("停止")} << hints
         << kNeverExpires;
  const int show = ++shows_;
  close_numbered_ = false;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(notify), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, show](QDBusPendingCallWatcher* call) { Numbered(call, show); });
}

void QtNotifier::Notice(const std::string& summary, const std::string& body) {
  QDBusMessage notify = Call("Notify");
  const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("kelmora")}};
  notify << QStringLiteral("Kelmora") << 0u << QStringLiteral("kelmora")
         << QString::fromStdString(summary) << QString::fromStdString(body).toHtmlEscaped()
         << QStringList{} << hints << kServiceDecidesExpiry;
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
  if (id != 0 && id == id_ && action_key == QLatin1String(kStopAction) && on_stop) on_stop();
}

void QtNotifier::OnClosed(uint id, uint) {
  if (id != 0 && id == id_) id_ = 0;
}

}  // namespace kelmora
