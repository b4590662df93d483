// The program talvo-receiver-sim: what it prints, its commands on standard
// input and a clean stop on SIGTERM.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fleet_fixture.h"

extern char **environ;

namespace sim_test {
namespace {

class Program {
public:
    explicit Program(std::vector<std::string> args) {
        int in[2], out[2];
        EXPECT_EQ(pipe(in), 0);
        EXPECT_EQ(pipe(out), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
        args.insert(args.begin(), SIM_PROGRAM);
        std::vector<char *> argv;
        for (std::string &arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&pid_, SIM_PROGRAM, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    ~Program() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(input_);
        close(output_);
    }

    void Write(const std::string &line) { ASSERT_EQ(write(input_, line.data(), line.size()), ssize_t(line.size())); }

    // Output so far, read until it holds `text` or the deadline passes.
    bool WaitFor(const std::string &text, int wait_ms = 20000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
        while (output.find(text) == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            pollfd p{output_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
            char buffer[4096];
            ssize_t n = read(output_, buffer, sizeof buffer);
            if (n <= 0) return output.find(text) != std::string::npos;
            output.append(buffer, static_cast<std::size_t>(n));
        }
        return true;
    }

    int Stop(int signal_number) {
        kill(pid_, signal_number);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int Wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string output;

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
};

TEST(Program, ServesAGeneratedFleetTakesCommandsAndStopsOnSignal) {
    Program program({"--count", "3", "--base", "127.0.30.1"});
    ASSERT_TRUE(program.WaitFor("serving 3 receivers")) << program.output;
    EXPECT_NE(program.output.find("02:54:56:00:00:02 TALVO_JX 127.0.30.2"), std::string::npos);
    EXPECT_EQ(Get("127.0.30.3", "/do?action=read&section=dev_state").status, 200);

    program.Write("state 02:54:56:00:00:03 standby\n");
    ASSERT_TRUE(program.WaitFor("ok\n"));
    HttpResult state = Get("127.0.30.3", "/do?action=read&section=dev_state");
    EXPECT_EQ(Member(Parse(state.body).get(), "result.dev_state"), "standby");

    EXPECT_EQ(program.Stop(SIGTERM), 0);
    EXPECT_TRUE(program.WaitFor("talvo-receiver-sim: stopped")) << program.output;
    EXPECT_EQ(Get("127.0.30.3", "/do?action=read&section=dev_state").code, CURLE_COULDNT_CONNECT);
}

TEST(Program, ServesAFleetFileAndStopsOnInterrupt) {
    std::string path = testing::TempDir() + "sim_fleet.json";
    FILE *file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs(R"({"receivers": [{"mac": "02:54:56:BB:00:01", "address": "127.0.31.1", "model": "TALVO_MX"}]})",
               file);
    std::fclose(file);
    Program program({"--fleet", path});
    ASSERT_TRUE(program.WaitFor("serving 1 receivers")) << program.output;
    EXPECT_EQ(Get("127.0.31.1", "/do?action=read&section=dev_state").status, 200);
    EXPECT_EQ(program.Stop(SIGINT), 0);
}

TEST(Program, BadOptionsExplainThemselves) {
    for (const std::vector<std::string> &args : std::vector<std::vector<std::string>>{
             {}, {"--count", "2", "--models", "TALVO_QX"}, {"--fleet", "/nonexistent/fleet.json"}, {"--what"}}) {
        Program program(args);
        EXPECT_EQ(program.Wait(), 2);
        program.WaitFor("usage:", 5000);
        EXPECT_NE(program.output.find("usage:"), std::string::npos) << program.output;
    }
}

} // namespace
} // namespace sim_test
