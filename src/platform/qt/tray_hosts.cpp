#include "platform/qt/tray_hosts.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

#include "platform/qt/bus_name_watch.h"

namespace kelmora {
namespace {

constexpr char kWatcherService[] = "org.kde.StatusNotifierWatcher";
constexpr char kWatcherPath[] = "/StatusNotifierWatcher";
constexpr char kWatcherInterface[] = "org.kde.StatusNotifierWatcher";
// The first answer is waited for (the program decides where its icon goes), but a watcher that
// hangs holds the start up no longer than this.
constexpr int kFirstAnswerMs = 1000;

QDBusMessage HostQuestion() {
  QDBusMessage question = QDBusMessage::createMethodCall(
      QLatin1String(kWatcherService), QLatin1String(kWatcherPath),
      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  question << QString::fromLatin1(kWatcherInterface)
           << QStringLiteral("IsStatusNotifierHostRegistered");
  return question;
}

// No answer (no watcher, an error) counts as no host.
bool HostAnswer(const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
  return qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toBool();
}

}  // namespace

TrayHosts::TrayHosts(QDBusConnection bus, std::function<bool()> xembed_tray)
    : bus_(std::move(bus)), xembed_tray_(std::move(xembed_tray)) {
  x11_events_.on_xembed_tray = [this] {
    if (on_change) on_change();
  };
  if (!bus_.isConnected()) return;
  WatchBusName(watcher_name_, bus_, QLatin1String(kWatcherService), this, [this](bool owned) {
    if (owned) {
      AskWatcher();
    } else {
      ++questions_;  // an answer still on its way is from the watcher that left
      Heard(false);
    }
  });
  bus_.connect(QLatin1String(kWatcherService), QLatin1String(kWatcherPath),
               QLatin1String(kWatcherInterface), QStringLiteral("StatusNotifierHostRegistered"),
               this, SLOT(OnHostRegistered()));
  bus_.connect(QLatin1String(kWatcherService), QLatin1String(kWatcherPath),
               QLatin1String(kWatcherInterface), QStringLiteral("StatusNotifierHostUnregistered"),
               this, SLOT(OnHostUnregistered()));
  host_ = HostAnswer(bus_.call(HostQuestion(), QDBus::Block, kFirstAnswerMs));
}

void TrayHosts::OnHostRegistered() {
  ++questions_;
  Heard(true);
}

// Other hosts may still be registered: the watcher knows.
void TrayHosts::OnHostUnregistered() {
  AskWatcher();
}

void TrayHosts::AskWatcher() {
  const int question = ++questions_;
  auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(HostQuestion()), this);
  connect(call, &QDBusPendingCallWatcher::finished, this, [this, call, question] {
    call->deleteLater();
    if (question == questions_) Heard(HostAnswer(call->reply()));
  });
}

void TrayHosts::Heard(bool host) {
  if (host == host_) return;
  host_ = host;
  if (on_change) on_change();
}

}  // namespace kelmora
