// The text files' tests that need POSIX itself: permissions bound for an ordinary user, the
// umask, a FIFO, and a writer killed by a signal.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include "core/text_file_fixture.h"

namespace kelmora {
namespace {

// Runs check in a child process as an ordinary user, so that permissions bind even when the
// tests run as the superuser (who then hands the folder to "nobody" first). Returns check's
// result, or kNoOrdinaryUser when no ordinary user could be had.
constexpr int kNoOrdinaryUser = 90;
int AsOrdinaryUser(const fs::path& folder_, const std::function<int()>& check) {
  constexpr uid_t kNobody = 65534;
  if (::geteuid() == 0) {
    for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
      if (::lchown(entry.path().c_str(), kNobody, kNobody) != 0) return kNoOrdinaryUser;
    }
    if (::chown(folder_.c_str(), kNobody, kNobody) != 0) return kNoOrdinaryUser;
  }
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(kNoOrdinaryUser);
    }
    ::_exit(check());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(RuntimeTextFileOnDisk, NewFileGetsThePermissionsTheUmaskGives) {
  for (const auto& [mask, expected] :
       {std::pair{mode_t{022}, fs::perms{0644}}, std::pair{mode_t{077}, fs::perms{0600}},
        std::pair{mode_t{002}, fs::perms{0664}}}) {
    const fs::path file = folder_ / ("new-" + std::to_string(mask) + ".ini");
    const mode_t before = ::umask(mask);
    const std::string error = WriteLines(file, {"new"});
    ::umask(before);
    ASSERT_EQ(error, "");
    EXPECT_EQ(fs::status(file).permissions(), expected) << std::oct << mask;
  }
}

// A link or a pipe planted where the program makes a file of its own is never written through.
TEST_F(RuntimeTextFileOnDisk, FilesMadeBesideItsOwnFollowNoPlantedLink) {
  const fs::path elsewhere = folder_ / "elsewhere";
  Put(elsewhere, "mine");
  fs::create_symlink(elsewhere, folder_ / "timer.ini.dropped");
  EXPECT_NE(AppendTextLines(folder_ / "timer.ini.dropped", {"a"}), "");
  EXPECT_EQ(Content(elsewhere), "mine");
  ASSERT_EQ(::mkfifo((folder_ / "pipe.dropped").c_str(), 0600), 0);
  EXPECT_NE(AppendTextLines(folder_ / "pipe.dropped", {"a"}), "") << "written to a pipe";
}

TEST_F(RuntimeTextFileOnDisk, UnreadableFileIsAFailureWithAReason) {
  fs::path file = folder_ / "Varnlock.ini";
  Put(file, "x\r\n");
  const int result = AsOrdinaryUser(folder_, [&] {
    fs::permissions(file, fs::perms::none);
    const TextFileRead read = ReadTextLines(file);
    if (read.status != TextFileRead::Status::kFailed) return 1;
    return read.error.find("Permission denied") != std::string::npos ? 0 : 2;
  });
  if (result == kNoOrdinaryUser) GTEST_SKIP() << "no ordinary user to run as";
  EXPECT_EQ(result, 0) << "1: not a failure, 2: no reason given";
}

TEST_F(RuntimeTextFileOnDisk, ReadOnlyFolderRefusesTheWriteAndKeepsTheOldFile) {
  fs::path file = folder_ / "timer.ini";
  Put(file, "old\r\n");
  const int result = AsOrdinaryUser(folder_, [&] {
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    const std::string reason = WriteLines(file, {"new"});
    if (reason.find("Permission denied") == std::string::npos) return 1;
    return Content(file) == "old\r\n" ? 0 : 2;
  });
  if (result == kNoOrdinaryUser) GTEST_SKIP() << "no ordinary user to run as";
  EXPECT_EQ(result, 0) << "1: the write was not refused with its reason, 2: the old file changed";
}

// A writer killed at any moment leaves the old file or the new one, never a part of either.
TEST_F(RuntimeTextFileOnDisk, AWriterKilledMidWriteLeavesTheOldOrTheNewFile) {
  const fs::path file = folder_ / "timer.ini";
  const Lines old_lines(2000, "2026/12/07 07:30:00\t1h\tE\t/old/sound.wav");
  const Lines new_lines(3000, "2026/12/08 08:45:00\t30m\t3\t/new/sound.wav");
  std::string old_content, new_content;
  for (const auto& line : old_lines) old_content += line + "\r\n";
  for (const auto& line : new_lines) new_content += line + "\r\n";
  for (int round = 0; round < 20; ++round) {
    ASSERT_EQ(WriteBytesSafely(file, TextFileBytes(old_lines)).error, "");
    int progress[2];
    ASSERT_EQ(::pipe(progress), 0);
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      for (;;) {  // writes on and on, telling the test of each write done
        (void)WriteLines(file, (round % 2) ? new_lines : old_lines);
        (void)!::write(progress[1], "w", 1);
        (void)WriteLines(file, (round % 2) ? old_lines : new_lines);
      }
    }
    ::close(progress[1]);
    char done = 0;
    for (int writes = 0; writes <= round % 5; ++writes) ASSERT_EQ(::read(progress[0], &done, 1), 1);
    ::kill(writer, SIGKILL);  // somewhere in the middle of the next write
    ::waitpid(writer, nullptr, 0);
    ::close(progress[0]);
    const std::string left = Content(file);
    EXPECT_TRUE(left == old_content || left == new_content)
        << "round " << round << ": " << left.size() << " bytes";
  }
}

// A link to a file not made yet: nothing to read, and the first write makes the file.
TEST_F(RuntimeTextFileOnDisk, ALinkToNothingYetIsMissing) {
  fs::create_symlink(folder_ / "gone", folder_ / "dangling.ini");
  EXPECT_EQ(ReadTextLines(folder_ / "dangling.ini").status, TextFileRead::Status::kMissing);
}

}  // namespace
}  // namespace kelmora
