#include "common/http/body_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Serves a body the way a socket might: reads may come back shorter than asked (`cap`), and a read
// can be made to fail or to claim more than it was given room for.
class FakeReader : public IByteReader {
  public:
    explicit FakeReader(std::string body) : m_body(std::move(body)) {}

    long Read(char* buffer, size_t size) override {
        const int index = static_cast<int>(requested.size());
        requested.push_back(size);
        if (index == failAt)
            return -1;
        if (index == overclaimAt)
            return static_cast<long>(size) + 1;
        size_t count = std::min(size, m_body.size() - m_offset);
        if (cap)
            count = std::min(count, cap);
        memcpy(buffer, m_body.data() + m_offset, count);
        m_offset += count;
        return static_cast<long>(count);
    }

    size_t cap = 0;
    int failAt = -1;
    int overclaimAt = -1;
    std::vector<size_t> requested;

  private:
    std::string m_body;
    size_t m_offset = 0;
};

// Every byte value, zero included, in an order that does not repeat with any read size used here.
std::string PatternBody(size_t size) {
    std::string body(size, '\0');
    for (size_t i = 0; i < size; ++i)
        body[i] = static_cast<char>(i % 251);
    return body;
}

struct ReadCase {
    const char* name;
    size_t bodySize;
    size_t bufferSize;
    size_t readSize;
    long maxBytes;
    size_t cap;
    int failAt;
    size_t expectedBytes;
    size_t expectedReads;
    bool expectedFailed;
};

constexpr size_t kC = kCheckerReadSize;
constexpr size_t kS = kSchedulerReadSize;

const ReadCase kReadCases[] = {
    // name, body, buffer, read, max, cap, failAt, bytes, reads, failed
    {"CheckerWholeBody", 2500, kCheckerReadBuffer, kC, -1, 0, -1, 2500, 4, false},
    {"CheckerBodyOfExactlyOneRead", kC, kCheckerReadBuffer, kC, -1, 0, -1, kC, 2, false},
    {"SchedulerWholeBody", 20000, kSchedulerReadBuffer, kS, -1, 0, -1, 20000, 4, false},
    {"EmptyBody", 0, kCheckerReadBuffer, kC, -1, 0, -1, 0, 1, false},
    {"ZeroMaximumMeansNone", 3000, kCheckerReadBuffer, kC, 0, 0, -1, 3000, 4, false},
    {"CheckerMaximumEndsAfterWholeReads", 5000, kCheckerReadBuffer, kC, 2000, 0, -1, 2 * kC, 2, false},
    {"CheckerMaximumOfOneRead", 5000, kCheckerReadBuffer, kC, static_cast<long>(kC), 0, -1, kC, 1, false},
    {"CheckerMaximumOneByteOverARead", 5000, kCheckerReadBuffer, kC, static_cast<long>(kC) + 1, 0, -1, 2 * kC,
     2, false},
    {"SchedulerMaximumOfOneByteTakesAWholeRead", 20000, kSchedulerReadBuffer, kS, 1, 0, -1, kS, 1, false},
    {"MaximumCountsShortReads", 5000, kCheckerReadBuffer, kC, 1200, 500, -1, 1500, 3, false},
    {"MaximumBeyondTheBody", 1500, kCheckerReadBuffer, kC, 100000, 0, -1, 1500, 3, false},
    {"FailureKeepsEarlierReads", 5000, kCheckerReadBuffer, kC, -1, 0, 2, 2 * kC, 3, true},
    {"SchedulerFailureKeepsEarlierReads", 30000, kSchedulerReadBuffer, kS, -1, 0, 1, kS, 2, true},
    {"FailureOnTheFirstRead", 5000, kSchedulerReadBuffer, kS, -1, 0, 0, 0, 1, true},
    {"ReadLargerThanItsBufferIsRefused", 5000, 1024, 1025, -1, 0, -1, 0, 0, true},
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadBodyTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadBodyTest, ReadsWholeReadsUntilEndMaximumOrFailure) {
    const ReadCase& c = GetParam();
    const std::string source = PatternBody(c.bodySize);
    FakeReader reader(source);
    reader.cap = c.cap;
    reader.failAt = c.failAt;

    const BodyBytes body = ReadBody(reader, c.bufferSize, c.readSize, c.maxBytes);

    EXPECT_EQ(body.failed, c.expectedFailed);
    EXPECT_EQ(body.bytes, source.substr(0, c.expectedBytes));
    EXPECT_EQ(reader.requested.size(), c.expectedReads);
    // Reads are never shortened to fit the maximum.
    for (size_t size : reader.requested)
        EXPECT_EQ(size, c.readSize);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadBodyTest, ::testing::ValuesIn(kReadCases), [](const auto& info) {
    return std::string(info.param.name);
});

TEST(ReadBody, AReadClaimingMoreThanItsRoomIsAFailure) {
    const std::string source = PatternBody(5000);
    FakeReader reader(source);
    reader.overclaimAt = 1;
    const BodyBytes body = ReadBody(reader, kCheckerReadBuffer, kCheckerReadSize, -1);
    EXPECT_TRUE(body.failed);
    EXPECT_EQ(body.bytes, source.substr(0, kCheckerReadSize));
    EXPECT_EQ(reader.requested.size(), 2u);
}

TEST(ReadBody, TheTwoProgramsReadInTheirOwnSizes) {
    EXPECT_EQ(kCheckerReadBuffer, 1024u);
    EXPECT_EQ(kCheckerReadSize, 1023u);
    EXPECT_EQ(kSchedulerReadBuffer, 8192u);
    EXPECT_EQ(kSchedulerReadSize, 8192u);
}

}  // namespace
