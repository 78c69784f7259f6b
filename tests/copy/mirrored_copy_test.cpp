#include "copy/mirrored_copy.h"

#include <gtest/gtest.h>

#include "copy_fixture.h"
#include "platform/files.h"
#include "support/failing_fs.h"

namespace usbdup {
namespace test {
namespace {

using MirroredCopy = CopyFixture;

TEST_F(MirroredCopy, FileInRootGoesToTargetRoot) {
  put("M:\\x.txt", "root file");
  EXPECT_TRUE(copyMirroredFile("M:\\", "M:\\x.txt", "N:\\"));
  EXPECT_EQ(read("N:\\x.txt"), "root file");
}

TEST_F(MirroredCopy, CreatesTheFoldersOnTheWay) {
  put("M:\\a\\b\\c.txt", "deep");
  EXPECT_TRUE(copyMirroredFile("M:\\", "M:\\a\\b\\c.txt", "N:\\"));
  EXPECT_EQ(read("N:\\a\\b\\c.txt"), "deep");
  // The master root may be given in lower case: it is removed regardless.
  EXPECT_TRUE(copyMirroredFile("m:\\", "M:\\a\\b\\c.txt", "N:\\"));
  EXPECT_EQ(read("N:\\a\\b\\1_c.txt"), "deep");
}

TEST_F(MirroredCopy, NeverReplacesAndPilesPrefixes) {
  const struct {
    std::vector<std::string> files;    // already on the target
    std::vector<std::string> folders;  // already on the target
    const char* expected;
  } cases[] = {
      {{}, {}, "c.txt"},
      {{"c.txt"}, {}, "1_c.txt"},
      {{"c.txt", "1_c.txt"}, {}, "2_1_c.txt"},
      {{"c.txt", "1_c.txt", "2_1_c.txt"}, {}, "3_2_1_c.txt"},
      {{"c.txt", "2_c.txt"}, {}, "1_c.txt"},
      {{}, {"c.txt"}, "1_c.txt"},  // a folder named like the file counts too
      {{"c.txt"}, {"1_c.txt"}, "2_1_c.txt"},
  };
  put("M:\\a\\c.txt", "new");
  int round = 0;
  for (const auto& c : cases) {
    const std::string root = "N:\\r" + std::to_string(round++);
    ASSERT_TRUE(makeFolder(root));
    ASSERT_TRUE(makeFolder(root + "\\a"));
    for (const auto& f : c.files) put(root + "\\a\\" + f, "old " + f);
    for (const auto& f : c.folders) ASSERT_TRUE(makeFolder(root + "\\a\\" + f));
    EXPECT_TRUE(copyMirroredFile("M:\\", "M:\\a\\c.txt", root)) << c.expected;
    EXPECT_EQ(read(root + "\\a\\" + c.expected), "new") << c.expected;
    for (const auto& f : c.files) EXPECT_EQ(read(root + "\\a\\" + f), "old " + f);
  }
}

TEST_F(MirroredCopy, SecondRunLeavesBothCopies) {
  put("M:\\a.txt", "1");
  put("M:\\d\\b.txt", "2");
  for (int run = 0; run < 2; ++run) {
    EXPECT_TRUE(copyMirroredFile("M:\\", "M:\\a.txt", "N:\\"));
    EXPECT_TRUE(copyMirroredFile("M:\\", "M:\\d\\b.txt", "N:\\"));
  }
  EXPECT_EQ(read("N:\\a.txt"), "1");
  EXPECT_EQ(read("N:\\1_a.txt"), "1");
  EXPECT_EQ(read("N:\\d\\b.txt"), "2");
  EXPECT_EQ(read("N:\\d\\1_b.txt"), "2");
}

TEST_F(MirroredCopy, TargetRoots) {
  put("M:\\a\\f.txt", "f");
  const struct {
    const char* root;
    bool ok;
    const char* copy;  // where the copy lands when ok
  } cases[] = {
      {"N:\\", true, "N:\\a\\f.txt"},
      {"N:", true, "N:\\a\\1_f.txt"},            // no backslash: still drive N's root
      {"N:\\backup", true, "N:\\backup\\a\\f.txt"},  // created first
      {"N:\\backup\\", true, "N:\\backup\\a\\1_f.txt"},
      {"n:\\", false, nullptr},  // lower case is no drive root, and a bare root cannot be created
      {"O:\\", false, nullptr},  // no such drive
      {"O:\\x", false, nullptr},
      {"", false, nullptr},
      {"N:\\..\\x", false, nullptr},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(copyMirroredFile("M:\\", "M:\\a\\f.txt", c.root), c.ok) << '"' << c.root << '"';
    if (c.copy) {
      EXPECT_EQ(read(c.copy), "f") << c.copy;
    }
  }
  EXPECT_FALSE(exists("N:\\x"));
}

TEST_F(MirroredCopy, BadSourcesFailWithoutCreatingFolders) {
  put("M:\\a\\gone.txt", "x");
  ASSERT_TRUE(removeHostFile(reachable("M:\\a\\gone.txt")));  // deleted after it was listed
  EXPECT_FALSE(copyMirroredFile("M:\\", "M:\\a\\gone.txt", "N:\\"));
  EXPECT_FALSE(exists("N:\\a"));
  EXPECT_FALSE(copyMirroredFile("M:\\", "", "N:\\"));
  EXPECT_FALSE(copyMirroredFile("M:\\", "M:\\a", "N:\\"));  // a folder is not a file to copy
}

TEST_F(MirroredCopy, FileWhereAFolderMustGo) {
  put("M:\\a\\b.txt", "b");
  put("N:\\a", "a file named like the folder");
  EXPECT_FALSE(copyMirroredFile("M:\\", "M:\\a\\b.txt", "N:\\"));
  EXPECT_EQ(read("N:\\a"), "a file named like the folder");
  // A target root that is a file fails the same way.
  put("N:\\root.txt", "r");
  EXPECT_FALSE(copyMirroredFile("M:\\", "M:\\a\\b.txt", "N:\\root.txt"));
  EXPECT_EQ(read("N:\\root.txt"), "r");
}

TEST_F(MirroredCopy, PathsLongerThanTheAnsiCallsTake) {
  const std::string name(120, 'n');
  put("M:\\" + name + "\\f.txt", "long");
  // Fits on the master, but the target path grows past MAX_PATH.
  const std::string deepRoot = "N:\\" + std::string(100, 'r') + "\\" + std::string(30, 's');
  EXPECT_FALSE(copyMirroredFile("M:\\", "M:\\" + name + "\\f.txt", deepRoot));
  // Folders made on the way stay (nothing is rolled back); the file is not there.
  EXPECT_TRUE(exists("N:\\" + std::string(100, 'r')));
  EXPECT_FALSE(exists(deepRoot + "\\" + name + "\\f.txt"));
  const std::string tooLong = "M:\\" + std::string(300, 'x') + ".txt";
  EXPECT_FALSE(copyMirroredFile("M:\\", tooLong, "N:\\"));
}

TEST(FolderChain, Answers) {
  TempDir dir;
  ASSERT_TRUE(mapTestDrive('N', dir.path()));
  ASSERT_TRUE(writeHostFile(reachable("N:\\file"), "f"));
  const struct {
    const char* path;
    FolderChainResult result;
  } cases[] = {
      {"N:\\", FolderChainResult::Failed},  // a bare root: one piece
      {"N:", FolderChainResult::Failed},
      {"N:\\x", FolderChainResult::Created},
      {"N:\\x", FolderChainResult::AlreadyExisted},
      {"N:\\x\\", FolderChainResult::AlreadyExisted},
      {"N:\\x\\y\\z", FolderChainResult::Created},
      {"N:\\p\\.\\q", FolderChainResult::Failed},
      {"N:\\p\\..", FolderChainResult::Failed},
      {"N:\\\\q", FolderChainResult::Failed},  // empty piece
      {"NN:\\q", FolderChainResult::Failed},
      {"N\\q", FolderChainResult::Failed},
      {"N:\\file\\q", FolderChainResult::Failed},  // a file where a folder must go
      {"N:\\file", FolderChainResult::Failed},
  };
  for (const auto& c : cases)
    EXPECT_EQ(static_cast<int>(createFolderChain(c.path)), static_cast<int>(c.result)) << c.path;
  EXPECT_TRUE(hostFileExists(reachable("N:\\x\\y\\z")));
  EXPECT_TRUE(hostFileExists(reachable("N:\\p")));  // made before the "." piece failed
  unmapTestDrive('N');
}

TEST(DriveRoot, ExactlyAListedRoot) {
  TempDir dir;
  ASSERT_TRUE(mapTestDrive('N', dir.path()));
  const struct {
    const char* path;
    bool root;
  } cases[] = {
      {"N:\\", true}, {"n:\\", false}, {"N:", false}, {"N:\\\\", false}, {"N:\\a", false},
      {"N:/", false}, {"", false},     {"O:\\", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isExistingDriveRoot(c.path), c.root) << '"' << c.path << '"';
  unmapTestDrive('N');
  EXPECT_FALSE(isExistingDriveRoot("N:\\"));
}

// Every call the copy makes may fail; whatever the point, the copy either
// lands whole under a free name or is not there at all, and the master is
// never touched.
TEST_F(MirroredCopy, EachFailurePointLeavesNoPartialFile) {
  const std::string content(300000, 'z');
  put("M:\\a\\b\\c.txt", content);
  int round = 0;
  for (int k = 0; k < static_cast<int>(FsCall::Count); ++k) {
    const FsCall kind = static_cast<FsCall>(k);
    for (int nth = 1;; ++nth) {
      const std::string root = "N:\\t" + std::to_string(round++);
      FailingFileSystem failing(kind, nth);
      bool ok;
      {
        FileSystemOverride use(failing);
        ok = copyMirroredFile("M:\\", "M:\\a\\b\\c.txt", root);
      }
      if (!failing.fired()) break;
      SCOPED_TRACE(std::string(fsCallName(kind)) + " #" + std::to_string(nth));
      if (ok) {
        EXPECT_EQ(read(root + "\\a\\b\\c.txt"), content);
      } else {
        EXPECT_FALSE(exists(root + "\\a\\b\\c.txt") && read(root + "\\a\\b\\c.txt") != content);
      }
      EXPECT_EQ(read("M:\\a\\b\\c.txt"), content);
    }
  }
}

}  // namespace
}  // namespace test
}  // namespace usbdup
