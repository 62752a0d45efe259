#include "platform/qt/qt_tray.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include "core/code_page.h"
#include "platform/qt/qt_convert.h"

namespace kelmora {
namespace {

// Qt's own window for an icon docked into an XEmbed tray.
constexpr char kXEmbedTrayWidgetName[] = "QSystemTrayIconSys";

QWidget* FindXEmbedTrayWidget() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QLatin1String(kXEmbedTrayWidgetName)) return widget;
  }
  return nullptr;
}

QString TrayTip(const std::string& tip) {
  return QString::fromStdString(CutToCodePageBytes(tip, kTrayTipBytes));
}

}  // namespace

QtTray::QtTray() : QtTray(Options{}) {}

QtTray::QtTray(Options options)
    : options_(std::move(options)), hosts_(options_.bus(), options_.xembed_tray) {
  hosts_.on_change = [this] { HostsChanged(); };
}

QtTray::~QtTray() = default;

void QtTray::Add(const IconImage& icon, const std::string& tip) {
  present_ = true;
  ShowIn(TrayAvailable() ? Place::kNotificationArea : Place::kStandIn, icon, TrayTip(tip));
}

void QtTray::Modify(const IconImage& icon, const std::string& tip) {
  if (!present_) return;
  Push(icon, TrayTip(tip));
}

void QtTray::Remove() {
  present_ = false;
  HideAll();
}

TrayStandIn* QtTray::StandIn() const {
  return place_ == Place::kStandIn ? stand_in_.get() : nullptr;
}

bool QtTray::InNotificationArea() const {
  return place_ == Place::kNotificationArea;
}

// Qt settles at the first QSystemTrayIcon, for the rest of the run, whether icons go over D-Bus
// or into an XEmbed tray: from then on only a tray of that kind can show the icon.
bool QtTray::TrayAvailable() const {
  if (!over_dbus_) return hosts_.StatusNotifierHost() || hosts_.XEmbedTray();
  return *over_dbus_ ? hosts_.StatusNotifierHost() : hosts_.XEmbedTray();
}

// A host or tray appearing takes the icon from the stand-in; the host showing it leaving gives
// it back. (An XEmbed tray that goes away takes its icons with it: Qt shows them again in the
// next one.)
void QtTray::HostsChanged() {
  if (place_ == Place::kStandIn && TrayAvailable()) {
    ShowIn(Place::kNotificationArea, icon_, tip_);
  } else if (place_ == Place::kNotificationArea && over_dbus_.value_or(false) &&
             !hosts_.StatusNotifierHost()) {
    ShowIn(Place::kStandIn, icon_, tip_);
  }
}

void QtTray::ShowIn(Place place, const IconImage& icon, const QString& tip) {
  if (place != place_) {
    HideAll();
    place_ = place;
  }
  Push(icon, tip);
  if (place == Place::kNotificationArea) {
    ShowInNotificationArea();
  } else {
    ShowStandIn();
  }
}

void QtTray::ShowInNotificationArea() {
  tray_icon_->show();
  WatchXEmbedReleases();
}

void QtTray::ShowStandIn() {
  stand_in_->ShowInCorner();
}

void QtTray::HideAll() {
  if (tray_icon_) tray_icon_->hide();
  if (stand_in_) stand_in_->hide();
  xembed_widget_ = nullptr;
  place_ = Place::kNone;
  place_told_ = false;
}

// Hands the icon and the tip to the current place, each only when it differs from what the
// place already shows. Creates the place's object on first use.
void QtTray::Push(const IconImage& icon, const QString& tip) {
  const bool to_tray = place_ == Place::kNotificationArea;
  if (to_tray && !tray_icon_) {
    over_dbus_ = hosts_.StatusNotifierHost();  // as Qt finds it now
    tray_icon_ = std::make_unique<QSystemTrayIcon>();
    QObject::connect(tray_icon_.get(), &QSystemTrayIcon::activated, this,
                     [this](QSystemTrayIcon::ActivationReason reason) { OnActivated(reason); });
  }
  if (!to_tray && !stand_in_) {
    stand_in_ = std::make_unique<TrayStandIn>();
    stand_in_->on_release = [this](TrayMouse what) { Report(what); };
  }
  if (!place_told_ || icon != icon_) {
    icon_ = icon;
    if (to_tray) tray_icon_->setIcon(ToQIcon(icon_));
    if (!to_tray) stand_in_->SetIcon(icon_);
    ++platform_updates_;
  }
  if (!place_told_ || tip != tip_) {
    tip_ = tip;
    if (to_tray) tray_icon_->setToolTip(tip_);
    if (!to_tray) stand_in_->SetTip(tip_);
    ++platform_updates_;
  }
  place_told_ = true;
}

void QtTray::OnActivated(QSystemTrayIcon::ActivationReason reason) {
  if (xembed_widget_) return;  // the releases seen by the event filter count instead
  if (reason == QSystemTrayIcon::Trigger) Report(TrayMouse::kLeftUp);
  if (reason == QSystemTrayIcon::Context) Report(TrayMouse::kRightUp);
}

void QtTray::Report(TrayMouse what) {
  if (on_mouse) on_mouse(what);
}

// Under StatusNotifierItem there is no widget of ours; under XEmbed Qt shows the icon in a
// widget of its own, found by its name once the icon is shown.
void QtTray::WatchXEmbedReleases() {
  xembed_widget_ = FindXEmbedTrayWidget();
  if (xembed_widget_) xembed_widget_->installEventFilter(this);
}

bool QtTray::eventFilter(QObject* watched, QEvent* event) {
  if (watched != xembed_widget_ || event->type() != QEvent::MouseButtonRelease) {
    return QObject::eventFilter(watched, event);
  }
  const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
  if (button != Qt::LeftButton && button != Qt::RightButton) return false;
  const TrayMouse what = button == Qt::LeftButton ? TrayMouse::kLeftUp : TrayMouse::kRightUp;
  // Reported after the event is done: the handler may remove the icon, and Qt then deletes the
  // very widget this event is for.
  QMetaObject::invokeMethod(
      this, [this, what] { Report(what); }, Qt::QueuedConnection);
  return false;
}

}  // namespace kelmora
