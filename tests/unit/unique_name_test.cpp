#include "common/path/unique_name.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

// Hands out the scripted values in turn, then repeats the last one.
class ScriptedDraws {
  public:
    explicit ScriptedDraws(std::vector<unsigned> values) : m_values(std::move(values)) {}
    unsigned operator()() {
        ++m_count;
        const unsigned v = m_values[m_next];
        if (m_next + 1 < m_values.size())
            ++m_next;
        return v;
    }
    int count() const { return m_count; }

  private:
    std::vector<unsigned> m_values;
    size_t m_next = 0;
    int m_count = 0;
};

TEST(MakeUniqueName, SkipsTakenNamesAndPadsWithSpaces) {
    const std::set<std::wstring> taken = {L"T\\QPCHKUPD  1F", L"T\\QPCHKUPD ABC"};
    ScriptedDraws draws({0x1F, 0xABC, 0x7});
    const std::wstring name = MakeUniqueName(
        L"T\\QPCHKUPD", [&] { return draws(); }, [&](const std::wstring& n) { return taken.count(n) == 0; });
    EXPECT_EQ(name, L"T\\QPCHKUPD   7");
    EXPECT_EQ(draws.count(), 3);
}

TEST(MakeUniqueName, GivesUpAfterTheBound) {
    ScriptedDraws draws({0x42});
    int asked = 0;
    const std::wstring name = MakeUniqueName(
        L"X", [&] { return draws(); },
        [&](const std::wstring&) {
            ++asked;
            return false;
        });
    EXPECT_EQ(name, L"");
    EXPECT_EQ(asked, kMaxUniqueNameDraws);
    EXPECT_EQ(draws.count(), kMaxUniqueNameDraws);
}

TEST(MakeUniqueName, KeepsOnlySixteenBitsOfADraw) {
    ScriptedDraws draws({0x12345});
    EXPECT_EQ(MakeUniqueName(
                  L"p", [&] { return draws(); }, [](const std::wstring&) { return true; }),
              L"p2345");
}

}  // namespace
