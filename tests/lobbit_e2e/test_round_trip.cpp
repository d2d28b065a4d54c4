// The whole package round trip with programs really started (HOST_START=real): the menu starts the game
// from its title page, the game's "menu" button starts the menu again on the game's title page, and
// every program ends cleanly. This test process adopts the detached programs (child subreaper), so it
// can wait for each of them and read its exit status.
#include "menu_fixture.h"

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace lobbit_e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kWaitLimitSeconds = 120; // a safety net only: the frame limits end every program
constexpr Point kGameMenuButton{4 + 25, 478 + 22};

// The name under which a process (possibly ended, not yet waited for) runs.
std::string ProcessName(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

// Ends every process this one has adopted or started that is still running.
void KillChildren() {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(entry.path() / "stat");
        std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent) == 2 && parent == getpid())
            kill(std::stoi(name), SIGKILL);
    }
}

class RoundTripTest : public MenuTest {
  protected:
    void SetUp() override {
        MenuTest::SetUp();
        // The real package instead of the fixture's art.
        for (const auto& entry : fs::directory_iterator(menuFolder_))
            fs::remove_all(entry.path());
        fs::copy(fs::path(LOBBIT_PROGRAM).parent_path(), menuFolder_, fs::copy_options::recursive);
        ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    }
    void TearDown() override {
        KillChildren();
        while (waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        prctl(PR_SET_CHILD_SUBREAPER, 0);
        MenuTest::TearDown();
    }

    // Starts the menu in its folder with the given HOST_ settings (beside HOST_BACKEND and HOST_RECORD),
    // its output going to program.log.
    pid_t StartMenu(const std::vector<std::string>& settings, const std::vector<std::string>& arguments) {
        testsupport::ProgramRun run = MenuRun(settings, arguments);
        run.appendLog = true;
        run.timeLimitSeconds = 0; // WaitForPrograms gives up in time, and TearDown ends what is left
        return testsupport::StartProgram(run);
    }

    // Waits for count programs (the one started and those it started in turn) to end; the exit status of
    // each (-1: killed or not ended) under its name, in the order they ended.
    std::vector<std::pair<std::string, int>> WaitForPrograms(size_t count) {
        std::vector<std::pair<std::string, int>> ended;
        for (int tenths = 0; ended.size() < count && tenths < kWaitLimitSeconds * 10; ++tenths) {
            siginfo_t info{};
            if (waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid == 0) {
                usleep(100000);
                continue;
            }
            const std::string name = ProcessName(info.si_pid);
            int status = 0;
            waitpid(info.si_pid, &status, 0);
            ended.emplace_back(name, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        }
        return ended;
    }
};

TEST_F(RoundTripTest, MenuStartsGameWhoseMenuButtonReturnsToTheTitlePage) {
    // The title page as a menu started for the game shows it, for comparison.
    WriteText(menuFolder_ / "reference.txt", "50 capture title.bmp\n");
    StartMenu({"HOST_SCRIPT=" + (menuFolder_ / "reference.txt").string(), "HOST_MAX_FRAMES=60"}, {"Tessary"});
    ASSERT_EQ(WaitForPrograms(1), (std::vector<std::pair<std::string, int>>{{"lobbit", 0}}))
        << ProgramOutput();
    fs::remove(menuFolder_ / "record.txt");

    const std::string menu = fs::canonical(menuFolder_).string();
    WriteText(menuFolder_ / "first.txt", Click(10, GridSlot(0)) + Click(40, kPlay));
    WriteText(menuFolder_ / "game.txt", Click(120, kGameMenuButton));
    WriteText(menuFolder_ / "second.txt", "50 capture back.bmp\n");
    StartMenu({"HOST_START=real", "HOST_SCRIPT=" + (menuFolder_ / "first.txt").string(),
               "HOST_MAX_FRAMES=600", "HOST_SCRIPT_TESSARY=" + (menuFolder_ / "game.txt").string(),
               "HOST_MAX_FRAMES_TESSARY=600", "HOST_SCRIPT_LOBBIT=" + (menuFolder_ / "second.txt").string(),
               "HOST_MAX_FRAMES_LOBBIT=60"},
              {});
    const std::vector<std::pair<std::string, int>> ended = WaitForPrograms(3);
    EXPECT_EQ(ended, (std::vector<std::pair<std::string, int>>{{"lobbit", 0}, {"tessary", 0}, {"lobbit", 0}}))
        << ProgramOutput();
    EXPECT_EQ(RecordLines(), (std::vector<std::string>{"start " + menu + "/Tessary/tessary " + menu + " " +
                                                           menu + "/Tessary",
                                                       "start " + menu + "/lobbit Tessary " + menu}));
    const Capture back = Captured("back.bmp");
    ASSERT_TRUE(back.ok()) << "the menu started by the game captured nothing";
    EXPECT_EQ(ReadBytes(menuFolder_ / "back.bmp"), ReadBytes(menuFolder_ / "title.bmp"))
        << "the menu started by the game does not show the game's title page";
}

} // namespace
} // namespace lobbit_e2e
