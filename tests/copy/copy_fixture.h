// A master drive M and a target drive N, each a fresh folder, for copy tests.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "copy/tree_copy.h"
#include "support/temp_dir.h"
#include "support/test_drives.h"

namespace usbdup {
namespace test {

class CopyFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(makeFolderHost(dir_.file("master")));
    ASSERT_TRUE(makeFolderHost(dir_.file("target")));
    ASSERT_TRUE(mapTestDrive('M', dir_.file("master")));
    ASSERT_TRUE(mapTestDrive('N', dir_.file("target")));
  }
  void TearDown() override {
    unmapTestDrive('M');
    unmapTestDrive('N');
  }
  static bool makeFolderHost(const std::string& path);

 public:
  // Writes a file (its folders made first) given as "M:\a\b.txt".
  void put(const std::string& path, const std::string& bytes) {
    for (size_t i = 3; i < path.size(); ++i) {
      if (path[i] == '\\') {
        ASSERT_TRUE(makeFolder(path.substr(0, i))) << path.substr(0, i);
      }
    }
    ASSERT_TRUE(writeHostFile(reachable(path), bytes)) << path;
  }
  static std::string read(const std::string& path) { return readHostFile(reachable(path)); }
  static bool exists(const std::string& path) { return hostFileExists(reachable(path)); }

 protected:
  TempDir dir_;
};

// Records what the tree copy reports.
struct RecordingReporter : CopyReporter {
  struct Failure {
    std::string time, kind, message;
  };
  std::vector<std::string> statuses;
  std::vector<Failure> failures;
  std::vector<int32_t> taskIds;
  void showStatus(int32_t taskId, const std::string& text) override {
    taskIds.push_back(taskId);
    statuses.push_back(text);
    afterStatus();
  }
  void logFailure(const std::string& time, const std::string& kind, const std::string& message) override {
    failures.push_back({time, kind, message});
  }
  virtual void afterStatus() {}
};

}  // namespace test
}  // namespace usbdup
