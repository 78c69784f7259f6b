// The posix layer's own answers: DOS bits in user.DOSATTRIB, the read-only bit
// in the mode, listings, and the clean-up of a copy that fails part-way.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "copy/mirrored_copy.h"
#include "copy_fixture.h"
#include "drive_table.h"
#include "platform/files.h"

namespace usbdup {
namespace test {
namespace {

std::string dosAttr(const std::string& windowsPath) {
  char text[32] = {};
  const ssize_t n = getxattr(hostPath(windowsPath).c_str(), "user.DOSATTRIB", text, sizeof text - 1);
  return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
}

void setDosAttr(const std::string& windowsPath, const char* text) {
  ASSERT_EQ(setxattr(hostPath(windowsPath).c_str(), "user.DOSATTRIB", text, strlen(text), 0), 0) << windowsPath;
}

uint32_t attributes(const std::string& path) {
  uint32_t bits = 0xFFFFFFFF;
  EXPECT_TRUE(fileSystem().readAttributes(path, bits)) << path;
  return bits;
}

using PosixLayer = CopyFixture;

TEST_F(PosixLayer, AttributeBitsRoundTrip) {
  put("M:\\f.txt", "f");
  ASSERT_TRUE(makeFolder("M:\\d"));
  const struct {
    const char* path;
    uint32_t written;
    uint32_t read;
    const char* xattr;
  } cases[] = {
      {"M:\\f.txt", 0x00, 0x00, "0x0"},  {"M:\\f.txt", 0x21, 0x21, "0x20"}, {"M:\\f.txt", 0x27, 0x27, "0x26"},
      {"M:\\f.txt", 0x10, 0x00, "0x0"},  // the directory bit is never written
      {"M:\\d", 0x06, 0x16, "0x6"},      {"M:\\d", 0x01, 0x11, "0x1"},      {"M:\\d\\", 0x20, 0x30, "0x20"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(fileSystem().writeAttributes(c.path, c.written)) << c.path;
    EXPECT_EQ(attributes(c.path), c.read) << c.path << " written " << c.written;
    EXPECT_EQ(dosAttr(c.path), c.xattr) << c.path;
  }
  struct stat st;
  ASSERT_EQ(stat(hostPath("M:\\d").c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IWUSR) << "a read-only folder must stay writable, as on Windows";
  // Fresh entries: a file reads as archive, a folder as directory only;
  // Samba's form (text, NUL, binary) is read too.
  put("M:\\g.txt", "g");
  ASSERT_TRUE(makeFolder("M:\\e"));
  EXPECT_EQ(attributes("M:\\g.txt"), 0x20u);
  EXPECT_EQ(attributes("M:\\e"), 0x10u);
  ASSERT_EQ(setxattr(hostPath("M:\\g.txt").c_str(), "user.DOSATTRIB", "0x2\0\3\0", 6, 0), 0);
  EXPECT_EQ(attributes("M:\\g.txt"), 0x02u);
  ASSERT_EQ(chmod(hostPath("M:\\g.txt").c_str(), 0444), 0);
  EXPECT_EQ(attributes("M:\\g.txt"), 0x03u);
}

TEST_F(PosixLayer, FolderBitsGoOnlyToTheFolderHoldingTheFile) {
  put("M:\\x.txt", "x");
  put("M:\\hs\\only\\deep.txt", "d");
  setDosAttr("M:\\", "0x2");
  setDosAttr("M:\\hs", "0x6");
  setDosAttr("M:\\hs\\only", "0x21");
  EXPECT_TRUE(copyMirroredFile("M:\\", "M:\\x.txt", "N:\\"));
  EXPECT_EQ(attributes("N:\\"), 0x12u);  // the root takes the master root's bits
  EXPECT_TRUE(copyMirroredFile("M:\\", "M:\\hs\\only\\deep.txt", "N:\\"));
  EXPECT_EQ(attributes("N:\\hs\\only"), 0x31u);
  EXPECT_EQ(attributes("N:\\hs"), 0x10u) << "made on the way: no bits of its own";
  // A hidden, system folder that holds a file passes both bits on.
  put("M:\\hs\\h.txt", "h");
  EXPECT_TRUE(copyMirroredFile("M:\\", "M:\\hs\\h.txt", "N:\\"));
  EXPECT_EQ(attributes("N:\\hs"), 0x16u);
}

TEST_F(PosixLayer, CopyCarriesModeBitsAndTime) {
  put("M:\\ro.txt", "read only");
  setDosAttr("M:\\ro.txt", "0x26");
  ASSERT_EQ(chmod(hostPath("M:\\ro.txt").c_str(), 0444), 0);
  const struct timespec times[2] = {{1000000000, 0}, {1200000000, 500}};
  ASSERT_EQ(utimensat(AT_FDCWD, hostPath("M:\\ro.txt").c_str(), times, 0), 0);
  ASSERT_TRUE(fileSystem().copyFile("M:\\ro.txt", "N:\\ro.txt"));
  EXPECT_EQ(read("N:\\ro.txt"), "read only");
  EXPECT_EQ(attributes("N:\\ro.txt"), 0x27u);
  struct stat st;
  ASSERT_EQ(stat(hostPath("N:\\ro.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
  EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
  // As with CopyFileA, a read-only or hidden target is not overwritten.
  put("N:\\hidden.txt", "keep");
  setDosAttr("N:\\hidden.txt", "0x2");
  EXPECT_FALSE(fileSystem().copyFile("M:\\ro.txt", "N:\\ro.txt"));
  EXPECT_FALSE(fileSystem().copyFile("M:\\ro.txt", "N:\\hidden.txt"));
  EXPECT_EQ(read("N:\\hidden.txt"), "keep");
}

// The copy onto a free name: the source's bits arrive exactly (a source that
// carries no DOS bits reads as archive on both sides), and a name that is
// taken in any way, even by a dangling link, is left as it is.
TEST_F(PosixLayer, CopyToNewNameCarriesBitsAndNeverReplaces) {
  const struct {
    const char* xattr;  // nullptr: none
    mode_t mode;
    uint32_t read;
  } sources[] = {
      {nullptr, 0644, 0x20}, {"0x20", 0644, 0x20}, {"0x0", 0644, 0x00}, {"0x26", 0444, 0x27}, {"0x2", 0600, 0x02},
  };
  int i = 0;
  for (const auto& c : sources) {
    const std::string from = "M:\\s" + std::to_string(i);
    const std::string to = "N:\\s" + std::to_string(i++);
    put(from, "data");
    if (c.xattr) setDosAttr(from, c.xattr);
    ASSERT_EQ(chmod(hostPath(from).c_str(), c.mode), 0);
    EXPECT_EQ(fileSystem().copyFileToNewName(from, to), NewCopyResult::Copied) << from;
    EXPECT_EQ(read(to), "data");
    EXPECT_EQ(attributes(to), c.read) << from;
    EXPECT_EQ(attributes(to), attributes(from)) << from;
  }

  put("M:\\f.txt", "new");
  put("N:\\file", "old");
  ASSERT_TRUE(makeFolder("N:\\folder"));
  ASSERT_EQ(symlink(hostPath("N:\\nowhere").c_str(), hostPath("N:\\dangling").c_str()), 0);
  for (const char* taken : {"N:\\file", "N:\\folder", "N:\\dangling"})
    EXPECT_EQ(fileSystem().copyFileToNewName("M:\\f.txt", taken), NewCopyResult::NameTaken) << taken;
  EXPECT_EQ(read("N:\\file"), "old");
  EXPECT_FALSE(exists("N:\\nowhere"));
  // A source that is gone, or a folder missing on the way: nothing is left.
  EXPECT_EQ(fileSystem().copyFileToNewName("M:\\gone.txt", "N:\\g.txt"), NewCopyResult::Failed);
  EXPECT_EQ(fileSystem().copyFileToNewName("M:\\f.txt", "N:\\no\\f.txt"), NewCopyResult::Failed);
  EXPECT_FALSE(exists("N:\\g.txt"));
}

TEST_F(PosixLayer, ListingAndDrives) {
  put("M:\\a.txt", "a");
  put("M:\\sub\\b.txt", "b");
  auto listing = fileSystem().listFolder("M:\\*.*");
  ASSERT_TRUE(listing);
  std::vector<std::string> names;
  DirEntry e;
  while (listing->next(e)) names.push_back(e.name + ((e.attributes & kAttrDirectory) ? "/" : ""));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"../", "./", "a.txt", "sub/"}));
  EXPECT_FALSE(fileSystem().listFolder("M:\\nothing\\*.*"));
  EXPECT_FALSE(fileSystem().listFolder("O:\\*.*"));

  const std::vector<std::string> drives = fileSystem().driveList();
  EXPECT_NE(std::find(drives.begin(), drives.end(), "M:"), drives.end());
  EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end()));
  mapDrive('O', dir_.file("not-there"));  // mapped to a missing folder: not a drive
  const std::vector<std::string> after = fileSystem().driveList();
  EXPECT_EQ(std::find(after.begin(), after.end(), "O:"), after.end());
  unmapDrive('O');
  uint64_t bytes = 0;
  EXPECT_TRUE(fileSystem().volumeTotalSize("M:\\", bytes));
  EXPECT_GT(bytes, 0u);
  EXPECT_FALSE(fileSystem().volumeTotalSize("O:\\", bytes));
}

TEST_F(PosixLayer, ExistenceAnswers) {
  put("M:\\f.txt", "f");
  ASSERT_TRUE(makeFolder("M:\\d"));
  FileSystem& fs = fileSystem();
  EXPECT_TRUE(fs.entryExists("M:\\f.txt"));
  EXPECT_TRUE(fs.entryExists("M:\\d"));
  EXPECT_FALSE(fs.entryExists("M:\\g.txt"));
  EXPECT_FALSE(fs.entryExists("M:\\d\\"));  // as FindFirstFileA: a trailing separator matches nothing
  EXPECT_TRUE(fs.folderExists("M:\\d"));
  EXPECT_FALSE(fs.folderExists("M:\\f.txt"));
  EXPECT_FALSE(fs.createFolder("M:\\d"));
  EXPECT_FALSE(fs.createFolder("M:\\x\\y"));
  EXPECT_FALSE(fs.deleteFile("M:\\d"));
  EXPECT_TRUE(fs.deleteFile("M:\\f.txt"));
  EXPECT_FALSE(fs.entryExists("M:\\" + std::string(300, 'x')));
}

// Bytes that are not code page 936 cannot be named through the ANSI calls: the
// file fails with its record, the rest of the tree is copied.
TEST_F(PosixLayer, NameThatIsNotGbkFailsAlone) {
  put("M:\\good.txt", "g");
  put("M:\\d\\bad\xff\xfe.txt", "b");
  put("M:\\d\\lead\x81.txt", "b");  // a lead byte followed by '.', no character
  RecordingReporter reporter;
  int64_t copied = 0;
  int32_t percent = 0;
  CopyTask task;
  copyTree("M:\\", "M:\\", "N:\\", task, 3, copied, percent, reporter);
  EXPECT_EQ(copied, 1);
  ASSERT_EQ(reporter.failures.size(), 2u);
  EXPECT_EQ(read("N:\\good.txt"), "g");
  EXPECT_FALSE(exists("N:\\d\\bad\xff\xfe.txt"));
}

// A write that fails part-way (here: the file size limit, standing in for a
// full or pulled stick) leaves nothing under the target name.
TEST_F(PosixLayer, CopyFailingPartWayLeavesNothing) {
  put("M:\\big.bin", std::string(3 << 20, 'b'));
  struct rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 1 << 20;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool ok = fileSystem().copyFile("M:\\big.bin", "N:\\big.bin");
  const bool mirrored = copyMirroredFile("M:\\", "M:\\big.bin", "N:\\");
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(mirrored);
  EXPECT_FALSE(exists("N:\\big.bin"));
}

}  // namespace
}  // namespace test
}  // namespace usbdup
