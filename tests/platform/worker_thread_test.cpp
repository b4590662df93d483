// The small-stack worker thread: it runs its body once, releases what the
// body captured on its own thread, and its stack holds the deepest work a
// device thread does (the JSON conversion of the largest answer kept).
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "core/json_schema.h"
#include "device/http_types.h"
#include "platform/worker_thread.h"

namespace {

using korvel::platform::WorkerThread;

TEST(WorkerThreadTest, RunsOnceJoinsAndReleasesWhatTheBodyHeld) {
    auto held = std::make_shared<int>(7);
    std::weak_ptr<int> watch = held;
    std::atomic<int> runs{0};
    WorkerThread thread([held = std::move(held), &runs] { runs += *held; });
    ASSERT_TRUE(thread.Joinable());
    thread.Join();
    EXPECT_FALSE(thread.Joinable());
    EXPECT_TRUE(thread.Finished());
    EXPECT_EQ(runs.load(), 7);
    EXPECT_TRUE(watch.expired());
    thread.Join(); // a second wait does nothing
}

TEST(WorkerThreadTest, MovedThreadsAreJoinedByTheirLastOwner) {
    std::atomic<int> runs{0};
    std::vector<WorkerThread> threads;
    for (int i = 0; i < 200; ++i) threads.emplace_back([&runs] { ++runs; });
    WorkerThread kept = std::move(threads.back());
    threads.pop_back();
    threads.clear(); // joins the rest
    kept = WorkerThread();
    EXPECT_EQ(runs.load(), 200);
}

struct Answer {
    int32_t err_code;
};

// cJSON parses nested arrays recursively, up to its nesting limit of 1000.
TEST(WorkerThreadTest, StackHoldsTheDeepestAnswerTheTransportKeeps) {
    using namespace korvel::schema;
    static const JsonFieldDesc schema[] = {JM_INT(Answer, err_code, "err_code", JSONMAP_REQUIRED), JM_END};
    std::string text = "{\"err_code\":3,\"deep\":" + std::string(999, '[') + std::string(999, ']') + "}";
    ASSERT_LE(text.size(), korvel::kMaxResponseBody);
    int converted = -1;
    Answer answer{};
    WorkerThread thread([&] { converted = JsonString2Obj(schema, text.c_str(), &answer); });
    thread.Join();
    EXPECT_EQ(converted, 0);
    EXPECT_EQ(answer.err_code, 3);
}

} // namespace
