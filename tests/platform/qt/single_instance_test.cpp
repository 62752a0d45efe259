#include "platform/qt/single_instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

#include "qt_app.h"

namespace kelmora {
namespace {

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureQApplication();
    ASSERT_TRUE(root.isValid());
  }
  std::filesystem::path Folder(const char* name) const {
    return std::filesystem::path(root.path().toStdString()) / name;
  }

  QTemporaryDir root;
};

TEST_F(SingleInstanceTest, SecondProgramForTheSameFolderAsksTheFirstToShow) {
  SingleInstance first(Folder("kelmora"));
  int shows = 0;
  first.on_show_requested = [&] { ++shows; };
  ASSERT_TRUE(first.TryBecomePrimary());

  SingleInstance second(Folder("kelmora"));
  second.on_show_requested = [] { ADD_FAILURE() << "the refused one is never asked"; };
  EXPECT_FALSE(second.TryBecomePrimary());
  EXPECT_TRUE(QTest::qWaitFor([&] { return shows == 1; }, 5000));

  SingleInstance third(Folder("kelmora/"));  // the same folder written differently
  EXPECT_FALSE(third.TryBecomePrimary());
  EXPECT_TRUE(QTest::qWaitFor([&] { return shows == 2; }, 5000));
}

TEST_F(SingleInstanceTest, OtherDataFoldersRunSideBySide) {
  SingleInstance first(Folder("one"));
  SingleInstance second(Folder("two"));
  EXPECT_NE(first.ServerName(), second.ServerName());
  EXPECT_TRUE(first.TryBecomePrimary());
  EXPECT_TRUE(second.TryBecomePrimary());
}

TEST_F(SingleInstanceTest, PrimaryLeavingFreesTheName) {
  {
    SingleInstance first(Folder("kelmora"));
    ASSERT_TRUE(first.TryBecomePrimary());
  }
  SingleInstance next(Folder("kelmora"));
  EXPECT_TRUE(next.TryBecomePrimary());
}

TEST_F(SingleInstanceTest, StaleSocketOfADeadProgramIsReplaced) {
  const QString name = SingleInstance::ServerNameFor(Folder("kelmora"));
  // A socket file bound by a program that died without cleaning up: nobody listens on it.
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray path = QFile::encodeName(name);
  ASSERT_LT(static_cast<std::size_t>(path.size()), sizeof address.sun_path);
  std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
  ASSERT_TRUE(QFile::exists(name));

  SingleInstance next(Folder("kelmora"));
  int shows = 0;
  next.on_show_requested = [&] { ++shows; };
  ASSERT_TRUE(next.TryBecomePrimary());
  SingleInstance later(Folder("kelmora"));
  EXPECT_FALSE(later.TryBecomePrimary());
  EXPECT_TRUE(QTest::qWaitFor([&] { return shows == 1; }, 5000));
}

}  // namespace
}  // namespace kelmora
