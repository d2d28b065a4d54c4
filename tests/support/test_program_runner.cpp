// The shared program runner: the child gets the headless backend and only the run's own HOST_ settings,
// its folder, its arguments and its log; its exit status comes back, and a run that never ends or never
// starts is reported as such.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/files.h"
#include "tests/support/program_runner.h"
#include "tests/support/temp_folder.h"

namespace {

// A run of the shell with a script.
testsupport::ProgramRun Shell(const std::string& folder, const std::string& script) {
    testsupport::ProgramRun run;
    run.program = "/bin/sh";
    run.arguments = {"-c", script, "sh", "first argument"};
    run.folder = folder;
    run.log = "log.txt";
    return run;
}

TEST(SupportProgramRunner, TheChildSeesTheHeadlessSettingsItsFolderAndArguments) {
    testsupport::TempFolder folder("support-run");
    setenv("HOST_SCRIPT", "not for the child", 1);
    testsupport::ProgramRun run =
        Shell(folder.Path(), "echo \"$HOST_BACKEND|${HOST_SCRIPT-none}|$HOST_RECORD|$1\"; pwd; exit 3");
    run.settings = {"HOST_RECORD=r.txt"};
    EXPECT_EQ(testsupport::RunProgram(run), 3);
    unsetenv("HOST_SCRIPT");
    EXPECT_EQ(testsupport::ReadLines(folder / "log.txt"),
              (std::vector<std::string>{"headless|none|r.txt|first argument",
                                        std::filesystem::canonical(folder.Path()).string()}));
}

TEST(SupportProgramRunner, TheLogIsStartedAfreshOrAppendedTo) {
    testsupport::TempFolder folder("support-run");
    testsupport::ProgramRun run = Shell(folder.Path(), "echo run >&2");
    ASSERT_EQ(testsupport::RunProgram(run), 0);
    ASSERT_EQ(testsupport::RunProgram(run), 0);
    EXPECT_EQ(testsupport::ReadText(folder / "log.txt"), "run\n");
    run.appendLog = true;
    ASSERT_EQ(testsupport::WaitForProgram(testsupport::StartProgram(run)), 0);
    EXPECT_EQ(testsupport::ReadText(folder / "log.txt"), "run\nrun\n");
}

TEST(SupportProgramRunner, KilledMissingAndUnreachableRunsAreTold) {
    testsupport::TempFolder folder("support-run");
    testsupport::ProgramRun run = Shell(folder.Path(), "sleep 5");
    run.timeLimitSeconds = 1;
    EXPECT_EQ(testsupport::RunProgram(run), -1);
    run.program = folder / "no such program";
    EXPECT_EQ(testsupport::RunProgram(run), 127);
    run.program = "/bin/sh";
    run.folder = folder / "no such folder";
    EXPECT_EQ(testsupport::RunProgram(run), 126);
    EXPECT_EQ(testsupport::WaitForProgram(-1), -1);
}

} // namespace
