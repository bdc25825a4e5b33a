#include "core/text/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/test_support.h"

namespace tw {
namespace {

using test::TTempDir;
using test::WriteFile;

TEST(Files, DeleteFilesWalksSubfoldersButNotDotFolders) {
    TTempDir dir;
    mkdir(dir.File("sub").c_str(), 0755);
    mkdir(dir.File(".hidden").c_str(), 0755);
    for (const char* name : {"a.jpg", "b.JPG", "c.png", "sub/d.jpg", ".hidden/e.jpg"}) WriteFile(dir.File(name), "x");

    DeleteFiles(dir.Path() + "/*.jpg");

    EXPECT_FALSE(FileExists(dir.File("a.jpg")));
    EXPECT_FALSE(FileExists(dir.File("b.JPG")));
    EXPECT_TRUE(FileExists(dir.File("c.png")));
    EXPECT_FALSE(FileExists(dir.File("sub/d.jpg")));
    EXPECT_TRUE(FileExists(dir.File(".hidden/e.jpg")));
    EXPECT_TRUE(DirectoryExists(dir.File("sub")));
}

TEST(Files, GetFileSizeOfFilesOnly) {
    TTempDir dir;
    WriteFile(dir.File("f"), "12345");
    EXPECT_EQ(GetFileSize(dir.File("f")), 5u);
    EXPECT_EQ(GetFileSize(dir.File("missing")), 0u);
    EXPECT_EQ(GetFileSize(dir.Path()), 0u);
}

TEST(Files, MasksAndPaths) {
    EXPECT_TRUE(MatchesMask("7.jpg", "7.*"));
    EXPECT_FALSE(MatchesMask("70.jpg", "7.*"));
    EXPECT_TRUE(MatchesMask("german.TWL", "*.twl"));
    EXPECT_TRUE(MatchesMask("a1b", "a?b"));
    EXPECT_FALSE(MatchesMask("ab", "a?b"));
    EXPECT_EQ(ExtractFileName("/x/y/entries.ini"), "entries.ini");
    EXPECT_EQ(ExtractFileDir("/x/y/entries.ini"), "/x/y");
}

TEST(Files, AtomicWriteGivesNewFilesTheRequestedMode) {
    TTempDir dir;
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir.File("secret"), "pw", &error, 0600)) << error;
    struct stat st {};
    ASSERT_EQ(stat(dir.File("secret").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/folder"), "x", &error));
    EXPECT_NE(error.find("no/such/folder"), std::string::npos);
}

}  // namespace
}  // namespace tw
