#include "common/http/growing_buffer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Status = FillResult::Status;

// Answers each call with the next scripted result and writes that many 'x' when it fills.
struct ScriptedFill {
    std::vector<FillResult> script;
    std::vector<size_t> capacities;

    FillResult operator()(char* buffer, size_t capacity) {
        capacities.push_back(capacity);
        const FillResult result = script.at(capacities.size() - 1);
        if (result.status == Status::kFilled)
            for (size_t i = 0; i < result.count && i < capacity; ++i)
                buffer[i] = 'x';
        return result;
    }
};

struct GrowCase {
    const char* name;
    std::vector<FillResult> script;
    std::optional<size_t> expectedSize;
    std::vector<size_t> expectedCapacities;
};

TEST(FillGrowingBuffer, RetriesOnceWithTheSizeAskedFor) {
    const GrowCase cases[] = {
        {"fits at once", {{Status::kFilled, 40}}, 40, {100}},
        {"fills nothing", {{Status::kFilled, 0}}, 0, {100}},
        {"fills the whole buffer", {{Status::kFilled, 100}}, 100, {100}},
        {"grows once", {{Status::kTooSmall, 300}, {Status::kFilled, 299}}, 299, {100, 300}},
        {"asks for no more room", {{Status::kTooSmall, 100}}, std::nullopt, {100}},
        {"asks for less room", {{Status::kTooSmall, 50}}, std::nullopt, {100}},
        {"still too small", {{Status::kTooSmall, 300}, {Status::kTooSmall, 600}}, std::nullopt, {100, 300}},
        {"fails at once", {{Status::kFailed, 0}}, std::nullopt, {100}},
        {"fails after growing", {{Status::kTooSmall, 300}, {Status::kFailed, 0}}, std::nullopt, {100, 300}},
        {"claims more than its room", {{Status::kFilled, 101}}, std::nullopt, {100}},
    };
    for (const GrowCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedFill fill{c.script, {}};
        const auto result = FillGrowingBuffer<char>(100, fill);
        EXPECT_EQ(fill.capacities, c.expectedCapacities);
        ASSERT_EQ(result.has_value(), c.expectedSize.has_value());
        if (result) {
            EXPECT_EQ(*result, std::string(*c.expectedSize, 'x'));
        }
    }
}

}  // namespace
