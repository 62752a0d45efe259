#include "platform/qt/quit_signals.h"

#include <gtest/gtest.h>

#include <QTest>
#include <csignal>

#include "qt_app.h"

namespace kelmora {
namespace {

class QuitSignalsTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { testing::EnsureQApplication(); }
};

TEST_P(QuitSignalsTest, SignalBecomesACallOnTheQtThread) {
  int calls = 0;
  QuitSignals quit_signals([&] { ++calls; });
  ASSERT_EQ(std::raise(GetParam()), 0);
  EXPECT_EQ(calls, 0) << "nothing runs inside the signal handler";
  EXPECT_TRUE(QTest::qWaitFor([&] { return calls == 1; }, 5000));
}

// Set by the handler that was there before QuitSignals.
volatile std::sig_atomic_t earlier_handler_ran = 0;
extern "C" void EarlierHandler(int) {
  earlier_handler_ran = 1;
}

TEST_P(QuitSignalsTest, LeavingRestoresTheEarlierHandler) {
  struct sigaction earlier {
  }, saved{};
  earlier.sa_handler = EarlierHandler;
  sigemptyset(&earlier.sa_mask);
  ASSERT_EQ(::sigaction(GetParam(), &earlier, &saved), 0);
  {
    QuitSignals quit_signals([] {});
  }
  earlier_handler_ran = 0;
  ASSERT_EQ(std::raise(GetParam()), 0);
  EXPECT_EQ(earlier_handler_ran, 1);
  ::sigaction(GetParam(), &saved, nullptr);
}

INSTANTIATE_TEST_SUITE_P(EndingSignals, QuitSignalsTest, ::testing::Values(SIGTERM, SIGHUP, SIGINT),
                         [](const auto& info) {
                           switch (info.param) {
                             case SIGTERM:
                               return std::string("SIGTERM");
                             case SIGHUP:
                               return std::string("SIGHUP");
                             default:
                               return std::string("SIGINT");
                           }
                         });

}  // namespace
}  // namespace kelmora
