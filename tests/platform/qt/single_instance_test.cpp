#include "platform/qt/single_instance.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "private_bus.h"
#include "qt_app.h"

namespace kelmora {
namespace {

using testing::PrivateBus;

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureQApplication();
    ASSERT_TRUE(root.isValid());
    ASSERT_TRUE(bus.Running()) << "dbus-daemon could not be started";
  }
  std::filesystem::path Folder(const char* name) const {
    return std::filesystem::path(root.path().toStdString()) / name;
  }
  // A program without a session bus.
  static QDBusConnection NoBus() { return QDBusConnection(QStringLiteral("kelmora-no-bus")); }

  QTemporaryDir root;
  PrivateBus bus;
};

TEST_F(SingleInstanceTest, SecondProgramForTheSameFolderAsksTheFirstToShow) {
  SingleInstance first(Folder("kelmora"), bus.Connect());
  int shows = 0;
  first.on_show_requested = [&] { ++shows; };
  ASSERT_TRUE(first.TryBecomePrimary());

  SingleInstance second(Folder("kelmora"), bus.Connect());
  second.on_show_requested = [] { ADD_FAILURE() << "the refused one is never asked"; };
  EXPECT_FALSE(second.TryBecomePrimary());
  EXPECT_TRUE(QTest::qWaitFor([&] { return shows == 1; }, 5000));

  SingleInstance third(Folder("kelmora/"), bus.Connect());  // the same folder written differently
  EXPECT_FALSE(third.TryBecomePrimary());
  EXPECT_TRUE(QTest::qWaitFor([&] { return shows == 2; }, 5000));
}

TEST_F(SingleInstanceTest, AFolderReachedThroughALinkIsTheSameFolder) {
  std::filesystem::create_directories(Folder("real/kelmora"));
  std::filesystem::create_directory_symlink(Folder("real"), Folder("linked"));
  EXPECT_EQ(SingleInstance::ServiceNameFor(Folder("linked/kelmora")),
            SingleInstance::ServiceNameFor(Folder("real/kelmora")));
}

TEST_F(SingleInstanceTest, OtherDataFoldersRunSideBySide) {
  SingleInstance first(Folder("one"), bus.Connect());
  SingleInstance second(Folder("two"), bus.Connect());
  EXPECT_NE(first.ServiceName(), second.ServiceName());
  EXPECT_TRUE(first.TryBecomePrimary());
  EXPECT_TRUE(second.TryBecomePrimary());
}

TEST_F(SingleInstanceTest, PrimaryLeavingFreesTheFolder) {
  {
    SingleInstance first(Folder("kelmora"), bus.Connect());
    ASSERT_TRUE(first.TryBecomePrimary());
  }
  SingleInstance next(Folder("kelmora"), bus.Connect());
  EXPECT_TRUE(next.TryBecomePrimary());
}

// Programs that cannot reach each other over a bus still never share a data folder.
struct UnreachableCase {
  const char* name;
  bool first_on_bus;
  bool second_on_bus;
  bool second_on_other_bus;
};

void PrintTo(const UnreachableCase& c, std::ostream* out) {
  *out << c.name;
}

class UnreachableTest : public SingleInstanceTest,
                        public ::testing::WithParamInterface<UnreachableCase> {};

TEST_P(UnreachableTest, LaterProgramStepsBack) {
  const UnreachableCase& c = GetParam();
  PrivateBus other;
  ASSERT_TRUE(other.Running());
  auto first =
      std::make_unique<SingleInstance>(Folder("kelmora"), c.first_on_bus ? bus.Connect() : NoBus());
  first->on_show_requested = [] { ADD_FAILURE() << "an unreachable program was asked"; };
  ASSERT_TRUE(first->TryBecomePrimary());
  const auto second_bus = [&] {
    if (!c.second_on_bus) return NoBus();
    return c.second_on_other_bus ? other.Connect() : bus.Connect();
  };
  EXPECT_FALSE(SingleInstance(Folder("kelmora"), second_bus()).TryBecomePrimary());
  first.reset();
  EXPECT_TRUE(SingleInstance(Folder("kelmora"), second_bus()).TryBecomePrimary());
}

INSTANTIATE_TEST_SUITE_P(Buses, UnreachableTest,
                         ::testing::Values(UnreachableCase{"neither_on_a_bus", false, false, false},
                                           UnreachableCase{"first_without_bus", false, true, false},
                                           UnreachableCase{"second_without_bus", true, false,
                                                           false},
                                           UnreachableCase{"different_buses", true, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmora
