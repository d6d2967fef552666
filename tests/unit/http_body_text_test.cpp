#include "common/http/body_text.h"

#include <gtest/gtest.h>

#include <string>
#include <system_error>
#include <vector>

#include "common/http/http_rules.h"

namespace {

// Behaves like MultiByteToWideChar for a made-up double-byte code page: a byte of 0x80 or more leads
// a pair that becomes one character, anything else is one character. A lead byte without its trail
// becomes U+FFFD. It can also be made to fail, or to measure wrongly.
class FakeConversion {
  public:
    struct Call {
        unsigned codePage;
        int length;
        int capacity;
    };

    int operator()(unsigned codePage,
                   const char* bytes,
                   int length,
                   wchar_t* out,
                   int capacity,
                   unsigned long& error) {
        calls.push_back({codePage, length, capacity});
        if (calls.size() == failOnCall) {
            error = failWith;
            return 0;
        }
        const std::wstring text = Decode(bytes, length);
        const int needed =
            static_cast<int>(text.size()) + (calls.size() == misreportOnCall ? misreportBy : 0);
        if (capacity == 0)
            return needed;
        if (capacity < static_cast<int>(text.size())) {
            error = kErrorInsufficientBuffer;
            return 0;
        }
        text.copy(out, text.size());
        return static_cast<int>(text.size());
    }

    static std::wstring Decode(const char* bytes, int length) {
        std::wstring text;
        for (int i = 0; i < length; ++i) {
            const auto lead = static_cast<unsigned char>(bytes[i]);
            if (lead < 0x80) {
                text.push_back(lead);
            } else if (i + 1 < length) {
                text.push_back(static_cast<wchar_t>(lead << 8 | static_cast<unsigned char>(bytes[++i])));
            } else {
                text.push_back(0xFFFD);
            }
        }
        return text;
    }

    WideConversion AsFunction() {
        return [this](unsigned cp, const char* b, int n, wchar_t* o, int c, unsigned long& e) {
            return (*this)(cp, b, n, o, c, e);
        };
    }

    std::vector<Call> calls;
    size_t failOnCall = 0;
    unsigned long failWith = 0;
    size_t misreportOnCall = 0;
    int misreportBy = 0;
};

// Double-byte pairs spread over the body, one of them across byte 1023, where the checker's reads
// once split it.
std::string MixedBody(size_t asciiBefore, size_t pairs) {
    std::string body(asciiBefore, 'a');
    for (size_t i = 0; i < pairs; ++i) {
        body.push_back(static_cast<char>(0xC7));
        body.push_back(static_cast<char>(0xD1));
        body.push_back('.');
    }
    return body;
}

TEST(DecodeBodyText, ConvertsTheWholeBodyInOneGo) {
    const std::string body = MixedBody(1022, 40);
    FakeConversion conversion;
    const std::wstring text = DecodeBodyText(body, kCodePageThreadAnsi, conversion.AsFunction());

    EXPECT_EQ(text, FakeConversion::Decode(body.data(), static_cast<int>(body.size())));
    EXPECT_EQ(text.substr(1021, 3), (std::wstring{L'a', 0xC7D1, L'.'}));
    for (const auto& call : conversion.calls)
        EXPECT_EQ(call.length, static_cast<int>(body.size()));
}

TEST(DecodeBodyText, StartsWith128CharactersAndGrowsToTheMeasuredSize) {
    struct Case {
        size_t ascii;
        std::vector<int> expectedCapacities;
    };
    const Case cases[] = {
        {1, {128}},
        {128, {128}},
        {129, {128, 0, 129}},
        {5000, {128, 0, 5000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ascii);
        FakeConversion conversion;
        const std::wstring text =
            DecodeBodyText(std::string(c.ascii, 'z'), kCodePageUtf8, conversion.AsFunction());
        EXPECT_EQ(text, std::wstring(c.ascii, L'z'));
        std::vector<int> capacities;
        for (const auto& call : conversion.calls)
            capacities.push_back(call.capacity);
        EXPECT_EQ(capacities, c.expectedCapacities);
    }
}

TEST(DecodeBodyText, UsesTheChosenCodePage) {
    const std::pair<unsigned, unsigned> cases[] = {
        {kCodePageUtf8, kCodePageUtf8}, {kCodePageUtf7, kCodePageUtf7}, {949, kCodePageThreadAnsi},
        {1252, kCodePageThreadAnsi},    {0, kCodePageThreadAnsi},
    };
    for (const auto& [requested, expected] : cases) {
        SCOPED_TRACE(requested);
        FakeConversion conversion;
        DecodeBodyText(std::string(300, 'q'), requested, conversion.AsFunction());
        ASSERT_FALSE(conversion.calls.empty());
        for (const auto& call : conversion.calls)
            EXPECT_EQ(call.codePage, expected);
    }
}

TEST(DecodeBodyText, AnEmptyBodyIsAnEmptyTextWithoutAConversion) {
    FakeConversion conversion;
    EXPECT_EQ(DecodeBodyText(std::string(), kCodePageUtf8, conversion.AsFunction()), L"");
    EXPECT_TRUE(conversion.calls.empty());
}

TEST(DecodeBodyText, OtherFailuresThrowTheSystemErrorCode) {
    struct Case {
        const char* name;
        size_t bodySize;
        size_t failOnCall;
        unsigned long failWith;
        size_t misreportOnCall;
        int misreportBy;
        int expectedCode;
    };
    const Case cases[] = {
        {"first conversion", 10, 1, 1113, 0, 0, 1113},  // no mapping for a character
        {"invalid parameter", 300, 1, 87, 0, 0, 87},
        {"measuring", 300, 2, 87, 0, 0, 87},
        {"grown conversion", 300, 3, 1113, 0, 0, 1113},
        {"measured too small", 300, 0, 0, 2, -10, static_cast<int>(kErrorInsufficientBuffer)},
        {"measured no larger", 300, 0, 0, 2, -200, static_cast<int>(kErrorInsufficientBuffer)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeConversion conversion;
        conversion.failOnCall = c.failOnCall;
        conversion.failWith = c.failWith;
        conversion.misreportOnCall = c.misreportOnCall;
        conversion.misreportBy = c.misreportBy;
        try {
            DecodeBodyText(std::string(c.bodySize, 'x'), kCodePageUtf8, conversion.AsFunction());
            ADD_FAILURE() << "no exception";
        } catch (const std::system_error& e) {
            EXPECT_EQ(e.code().value(), c.expectedCode);
            EXPECT_EQ(e.code().category(), std::system_category());
        }
    }
}

}  // namespace
