#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SysTestSupport.h"
#include "platform/sys/NamedMutex.h"
#include "platform/sys/PathMapper.h"
#include "platform/sys/Process.h"
#include "platform/sys/Services.h"

using namespace vdmq;
using vdmq::test::TScratch;

namespace {

// Runs f in a child process and answers its exit code.
template <class F>
int InChild(F&& f) {
  const pid_t pid = fork();
  if (pid == 0) _exit(f());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(NamedMutex, ASecondCreateIsRefusedUntilTheFirstHandleCloses) {
  TScratch dir;
  TLinuxMutexService mutexes(dir / "run");
  EMutexCreate r;
  auto game = mutexes.Create("VDM_Q GAME", &r);
  ASSERT_EQ(r, EMutexCreate::Created);
  ASSERT_TRUE(game);
  EXPECT_FALSE(mutexes.Create("VDM_Q GAME", &r));
  EXPECT_EQ(r, EMutexCreate::AlreadyExists);
  EXPECT_TRUE(mutexes.Open("VDM_Q GAME"));
  EXPECT_FALSE(mutexes.Open("VDM_Q SETUP"));  // never created

  auto setup = mutexes.Create("VDM_Q SETUP", &r);
  EXPECT_EQ(r, EMutexCreate::Created);  // names are separate
  game.reset();
  EXPECT_FALSE(mutexes.Open("VDM_Q GAME"));  // released: opening finds nothing
  EXPECT_TRUE(mutexes.Create("VDM_Q GAME", &r));
  EXPECT_EQ(r, EMutexCreate::Created);
}

TEST(NamedMutex, AnotherProcessIsRefusedWhileHeldAndGetsItWhenTheHolderDies) {
  TScratch dir;
  const std::string folder = dir / "run";
  TLinuxMutexService mutexes(folder);
  EMutexCreate r;
  auto held = mutexes.Create("VDM_Q GAME", &r);
  ASSERT_EQ(r, EMutexCreate::Created);

  // A second game and the setup program, each in a process of its own.
  EXPECT_EQ(InChild([&] {
              EMutexCreate c;
              TLinuxMutexService(folder).Create("VDM_Q GAME", &c);
              return c == EMutexCreate::AlreadyExists ? 0 : 1;
            }),
            0);
  EXPECT_EQ(InChild([&] { return TLinuxMutexService(folder).Open("VDM_Q GAME") ? 0 : 1; }), 0);
  held.reset();
  EXPECT_EQ(InChild([&] { return TLinuxMutexService(folder).Open("VDM_Q GAME") ? 1 : 0; }), 0);

  // A holder killed without closing anything releases the mutex.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    EMutexCreate c;
    auto h = TLinuxMutexService(folder).Create("VDM_Q GAME", &c);
    const char ok = c == EMutexCreate::Created ? 'y' : 'n';
    if (write(ready[1], &ok, 1) != 1) _exit(2);
    pause();
    _exit(0);
  }
  char got = 0;
  ASSERT_EQ(read(ready[0], &got, 1), 1);
  ASSERT_EQ(got, 'y');
  EXPECT_TRUE(mutexes.Open("VDM_Q GAME"));
  EXPECT_FALSE(mutexes.Create("VDM_Q GAME", &r));
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
  EXPECT_FALSE(mutexes.Open("VDM_Q GAME"));
  EXPECT_TRUE(mutexes.Create("VDM_Q GAME", &r));
}

TEST(NamedMutex, AStartedProgramDoesNotInheritTheLock) {
  TScratch dir;
  TLinuxMutexService mutexes(dir / "run");
  EMutexCreate r;
  auto setup = mutexes.Create("VDM_Q SETUP", &r);
  ASSERT_EQ(r, EMutexCreate::Created);
  // The setup program starts the game and ends; the game must not keep the setup's mutex.
  TLinuxProcessService process;
  const std::string sleeper = "/bin/sleep";
  const std::string cmd = "2";
  ASSERT_TRUE(process.Start(GamePath(sleeper), &cmd));
  setup.reset();
  EXPECT_FALSE(mutexes.Open("VDM_Q SETUP"));
  EXPECT_TRUE(mutexes.Create("VDM_Q SETUP", &r));
}

TEST(NamedMutex, NamesBecomeSafeFileNamesInAPrivateFolder) {
  TScratch dir;
  TLinuxMutexService mutexes(dir / "run");
  EXPECT_EQ(mutexes.LockFile("VDM_Q GAME"), dir / "run/VDM_Q%20GAME.lock");
  EXPECT_EQ(mutexes.LockFile("../x/y"), dir / "run/..%2Fx%2Fy.lock");
  EMutexCreate r;
  auto h = mutexes.Create("../x", &r);
  EXPECT_EQ(r, EMutexCreate::Created);
  EXPECT_TRUE(test::Exists(dir / "run/..%2Fx.lock"));
  EXPECT_FALSE(test::Exists(dir / "x.lock"));

  // A folder others may write into is not trusted.
  ASSERT_EQ(mkdir((dir / "open").c_str(), 0777), 0);
  ASSERT_EQ(chmod((dir / "open").c_str(), 0777), 0);
  TLinuxMutexService shared(dir / "open");
  EXPECT_FALSE(shared.Create("VDM_Q GAME", &r));
  EXPECT_EQ(r, EMutexCreate::Failed);
}

TEST(NamedMutex, TheFakeStandsForOtherProcesses) {
  TFakeMutexService mutexes;
  EMutexCreate r;
  mutexes.HoldElsewhere("VDM_Q GAME");
  EXPECT_FALSE(mutexes.Create("VDM_Q GAME", &r));
  EXPECT_EQ(r, EMutexCreate::AlreadyExists);
  EXPECT_TRUE(mutexes.Open("VDM_Q GAME"));
  mutexes.ReleaseElsewhere("VDM_Q GAME");
  {
    auto h = mutexes.Create("VDM_Q GAME", &r);
    EXPECT_EQ(r, EMutexCreate::Created);
    EXPECT_TRUE(mutexes.IsHeld("VDM_Q GAME"));
  }
  EXPECT_FALSE(mutexes.IsHeld("VDM_Q GAME"));
  mutexes.SetFailing(true);
  EXPECT_FALSE(mutexes.Create("VDM_Q SETUP", &r));
  EXPECT_EQ(r, EMutexCreate::Failed);
}
