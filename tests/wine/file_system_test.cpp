#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "common/path/file_system.h"
#include "common/platform/unique_resource.h"
#include "tests/wine/test_support.h"

namespace {

std::wstring ProbePath() {
    return GetModuleDirectory() + L"\\probe.dll";
}

TEST(GetModuleFilePath, NamesTheRunningProgramEveryTime) {
    const std::wstring path = GetModuleFilePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.substr(path.size() - 14), L"wine_tests.exe");
    EXPECT_EQ(GetModuleFilePath(), path);
    EXPECT_EQ(GetModuleDirectory() + L"\\wine_tests.exe", path);
}

// Loads a copy of the probe module from a path of exactly `length` characters.
class LongPathModule {
  public:
    LongPathModule(const CScratchDirectory& dir, size_t length) {
        const size_t nameLength = length - dir.Path().size() - 1;
        path = dir / (std::wstring(nameLength - 5, L'x') + L"p.dll");
        if (path.size() == length && CopyFileW(ProbePath().c_str(), path.c_str(), FALSE))
            module.Reset(LoadLibraryW(path.c_str()));
    }
    std::wstring path;
    UniqueModule module;
};

TEST(GetModuleFilePath, APathThatFillsTheBufferCountsAsFailure) {
    CScratchDirectory dir;
    ASSERT_LT(dir.Path().size(), 200u);

    LongPathModule fits(dir, 259);
    ASSERT_TRUE(fits.module) << "could not load the probe from a 259-character path";
    EXPECT_EQ(GetModuleFilePath(fits.module.Get()), fits.path);
    EXPECT_EQ(GetModuleDirectory(fits.module.Get()), dir.Path());

    LongPathModule full(dir, 260);
    ASSERT_TRUE(full.module) << "could not load the probe from a 260-character path";
    EXPECT_EQ(GetModuleFilePath(full.module.Get()), L"");
    EXPECT_EQ(GetModuleDirectory(full.module.Get()), L"");
}

TEST(GetTempDirectory, IsAnExistingDirectoryEndingWithABackslash) {
    const std::wstring temp = GetTempDirectory();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), L'\\');
    EXPECT_TRUE(IsDirectory(temp));
}

TEST(CreateDirectoryTree, MakesEveryMissingLevel) {
    CScratchDirectory dir;
    const std::wstring deep = dir / L"a\\b\\c";
    EXPECT_TRUE(CreateDirectoryTree(deep));
    EXPECT_TRUE(IsDirectory(deep));
    EXPECT_TRUE(CreateDirectoryTree(deep));  // already there
    EXPECT_TRUE(CreateDirectoryTree(dir / L"a\\d\\"));
    EXPECT_TRUE(IsDirectory(dir / L"a\\d"));
}

TEST(CreateDirectoryTree, RootsNeedNothing) {
    EXPECT_TRUE(CreateDirectoryTree(L"C:\\"));
    EXPECT_TRUE(CreateDirectoryTree(L"\\"));
    EXPECT_FALSE(CreateDirectoryTree(L""));
}

TEST(CreateDirectoryTree, FailsBelowAFile) {
    CScratchDirectory dir;
    ASSERT_TRUE(WriteTextFile(dir / L"file", "x"));
    EXPECT_FALSE(CreateDirectoryTree(dir / L"file\\sub"));
    EXPECT_FALSE(CreateDirectoryTree(dir / L"file"));
}

TEST(DeleteDirectoryTree, RemovesNestedFilesAndFolders) {
    CScratchDirectory dir;
    const std::wstring root = dir / L"tree";
    ASSERT_TRUE(CreateDirectoryTree(root + L"\\sub\\deeper"));
    ASSERT_TRUE(CreateDirectoryTree(root + L"\\empty"));
    ASSERT_TRUE(WriteTextFile(root + L"\\one.txt", "1"));
    ASSERT_TRUE(WriteTextFile(root + L"\\sub\\two.txt", "2"));
    ASSERT_TRUE(WriteTextFile(root + L"\\sub\\deeper\\three.bin", "3"));
    EXPECT_TRUE(DeleteDirectoryTree(root));
    EXPECT_FALSE(PathExists(root));
    EXPECT_TRUE(IsDirectory(dir.Path()));
}

TEST(DeleteDirectoryTree, NothingThereIsSuccessAFileIsNot) {
    CScratchDirectory dir;
    EXPECT_TRUE(DeleteDirectoryTree(dir / L"never-made"));
    ASSERT_TRUE(WriteTextFile(dir / L"plain", "x"));
    EXPECT_FALSE(DeleteDirectoryTree(dir / L"plain"));
    EXPECT_TRUE(PathExists(dir / L"plain"));
}

TEST(DeleteDirectoryTree, StopsAtAFileItCannotDelete) {
    CScratchDirectory dir;
    const std::wstring root = dir / L"tree";
    ASSERT_TRUE(CreateDirectoryTree(root));
    ASSERT_TRUE(WriteTextFile(root + L"\\locked", "x"));
    ASSERT_TRUE(SetFileAttributesW((root + L"\\locked").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(DeleteDirectoryTree(root));
    EXPECT_TRUE(PathExists(root + L"\\locked"));
}

TEST(DeleteDirectoryTree, NeverFollowsALinkOutOfTheTree) {
    CScratchDirectory dir;
    const std::wstring outside = dir / L"outside";
    ASSERT_TRUE(CreateDirectoryTree(outside + L"\\inner"));
    ASSERT_TRUE(WriteTextFile(outside + L"\\keep.txt", "precious"));
    ASSERT_TRUE(WriteTextFile(outside + L"\\inner\\keep2.txt", "precious"));

    const std::wstring root = dir / L"tree";
    ASSERT_TRUE(CreateDirectoryTree(root + L"\\sub"));
    ASSERT_TRUE(WriteTextFile(root + L"\\sub\\mine.txt", "ours"));
    ASSERT_TRUE(MakeDirectoryLink(root + L"\\sub\\link", outside));

    const bool removed = DeleteDirectoryTree(root);
    EXPECT_TRUE(PathExists(outside + L"\\keep.txt"));
    EXPECT_TRUE(PathExists(outside + L"\\inner\\keep2.txt"));
    // Windows removes the link itself; Wine cannot remove a host link and reports the failure.
    EXPECT_EQ(removed, !PathExists(root));

    // Given the link itself, only the link may go.
    const std::wstring topLink = dir / L"top-link";
    ASSERT_TRUE(MakeDirectoryLink(topLink, outside));
    DeleteDirectoryTree(topLink);
    EXPECT_TRUE(PathExists(outside + L"\\keep.txt"));
    EXPECT_TRUE(PathExists(outside + L"\\inner\\keep2.txt"));
}

TEST(DeleteDirectoryTree, AFolderSwappedForALinkWhileItIsEmptiedLeadsNowhere) {
    // The outside folder holds files of the same names as the tree's, which a deletion that went by
    // the names alone would take.
    CScratchDirectory dir;
    const std::wstring outside = dir / L"outside", root = dir / L"tree";
    ASSERT_TRUE(CreateDirectoryTree(outside));
    ASSERT_TRUE(CreateDirectoryTree(root + L"\\sub"));
    const wchar_t* const names[] = {L"a.txt", L"b.txt", L"c.txt"};
    for (const wchar_t* name : names) {
        ASSERT_TRUE(WriteTextFile(outside + L"\\" + name, "precious"));
        ASSERT_TRUE(WriteTextFile(root + L"\\sub\\" + name, "ours"));
    }
    // Once the folder is open and its first file is listed, it is moved away and a link takes its place.
    bool swapped = false;
    std::vector<std::wstring> seen;
    const bool removed = DeleteDirectoryTree(root, [&](const std::wstring& path) {
        seen.push_back(path.substr(path.rfind(L'\\') + 1));
        if (!swapped && seen.size() >= 3)
            swapped = SwapForDirectoryLink(root + L"\\sub", dir / L"moved", outside);
    });
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0], L"tree");
    EXPECT_EQ(seen[1], L"sub");
    for (const wchar_t* name : names)
        EXPECT_TRUE(PathExists(outside + L"\\" + name)) << "a name led through the link";
    if (swapped) {
        EXPECT_FALSE(removed) << "the link swapped in is no part of the tree";
    }
    // Windows refuses the move while the deletion holds the folder; Wine's host does not ask.
    const bool underWine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    EXPECT_TRUE(swapped || !underWine);
}

bool IsHexOrSpace(wchar_t c) {
    return c == L' ' || (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F');
}

TEST(MakeUniqueTempName, NamesAFreeEntryInTheTemporaryDirectory) {
    const std::wstring base = GetTempDirectory() + L"QPCHKUPD";
    for (int i = 0; i < 50; ++i) {
        const std::wstring name = MakeUniqueTempName(L"QPCHKUPD", true);
        ASSERT_EQ(name.size(), base.size() + 4);
        EXPECT_EQ(name.substr(0, base.size()), base);
        const std::wstring suffix = name.substr(base.size());
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_TRUE(IsHexOrSpace(suffix[k])) << name;
            if (k > 0 && suffix[k - 1] != L' ') {
                EXPECT_NE(suffix[k], L' ') << "spaces only pad on the left: " << name;
            }
        }
        EXPECT_NE(suffix[3], L' ');
        EXPECT_FALSE(PathExists(name));
    }
}

TEST(MakeUniqueTempName, SkipsTakenSpacePaddedNames) {
    CScratchDirectory dir;
    const std::wstring prefix = dir / L"QPCHKUPD";
    ASSERT_TRUE(CreateDirectoryTree(prefix + L"  1F"));
    ASSERT_TRUE(WriteTextFile(prefix + L"   7", "taken by a file"));
    std::vector<unsigned> draws = {0x1F, 0x7, 0x1F, 0xABC};
    size_t next = 0;
    const std::wstring name = MakeUniqueTempName(prefix, false, [&] { return draws[next++]; });
    EXPECT_EQ(name, prefix + L" ABC");
    EXPECT_EQ(next, 4u);
    // The padded name is an ordinary folder name: it can be made and removed.
    ASSERT_TRUE(CreateDirectoryTree(name));
    ASSERT_TRUE(WriteTextFile(name + L"\\setup.exe", "x"));
    EXPECT_TRUE(DeleteDirectoryTree(name));
    EXPECT_TRUE(DeleteDirectoryTree(prefix + L"  1F"));
    EXPECT_FALSE(PathExists(prefix + L"  1F"));
}

TEST(MakeUniqueTempName, GivesUpWhenEveryDrawIsTaken) {
    CScratchDirectory dir;
    const std::wstring prefix = dir / L"QPCHKUPD";
    ASSERT_TRUE(CreateDirectoryTree(prefix + L"  2A"));
    int draws = 0;
    EXPECT_EQ(MakeUniqueTempName(prefix, false,
                                 [&] {
                                     ++draws;
                                     return 0x2Au;
                                 }),
              L"");
    EXPECT_GT(draws, 1);
    EXPECT_LE(draws, 1024);
}

TEST(MakeUniqueTempName, PrefixIsJoinedToTheTemporaryDirectory) {
    const std::wstring name = MakeUniqueTempName(L"\\QPX", true, [] { return 0x5u; });
    EXPECT_EQ(name, GetTempDirectory() + L"QPX   5");
}

}  // namespace
