#include "commands/app_commands.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/single_instance.h"
#include "ports/testing/flow_harness.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

TEST(AppCommands, VersionTextAndInstanceNames) {
    EXPECT_EQ(VersionText("0.2.0"), "KESTREL Version 0.2.0");
    EXPECT_EQ(VersionText(""), "");
    EXPECT_EQ(SingleInstanceName(false), "POS Tillboard_Mutex");
    EXPECT_EQ(SingleInstanceName(true), "POS Tillboard_Mutex_DEBUG");
}

TEST(AppCommands, OneCopyPerNameAndTheLockIsFreedWithItsHolder) {
    const std::string name = "kestrel-test-" + std::to_string(::getpid());
    {
        const SingleInstanceLock first(name);
        ASSERT_TRUE(first.held());
        EXPECT_FALSE(SingleInstanceLock(name).held());
    }
    // A copy that dies without cleaning up leaves its lock to the next one.
    const pid_t child = ::fork();
    if (child == 0) {
        const SingleInstanceLock crashed(name);
        std::_Exit(crashed.held() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const SingleInstanceLock again(name);
    EXPECT_TRUE(again.held());
    std::remove(again.path().c_str());
}

TEST(AppCommands, CloseQuestionWritesTheWorkingConfigurationOnlyOnYes) {
    for (const Answer answer : {Answer::Yes, Answer::No, Answer::Cancel}) {
        testing::FlowHarness h;
        const testing::ScratchFolder scratch;
        h.state.startupFolder = scratch.path().string();
        h.ui.answers.push_back(answer);
        EXPECT_EQ(ConfirmClose(h.ctx), answer != Answer::Cancel);
        EXPECT_EQ(
            std::make_tuple(h.view.collects, std::filesystem::exists(scratch / "kestrel.ini")),
            std::make_tuple(answer == Answer::Yes ? 1 : 0, answer == Answer::Yes));
    }
}

}  // namespace
}  // namespace kestrel
