// Decoding of device notices by the window procedure in front of the main
// window: which messages reach which handler, and that every message still
// reaches the previous procedure with its result answered.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/events.h"
#include "app/program.h"
#include "device/device_hook.h"

namespace usbdup {
namespace {

struct Call {
  char kind;  // 'a' arrival, 'r' removal
  DriveMask mask;
};
std::vector<Call> g_calls;
std::vector<uint32_t> g_passed;

void arrival(DriveMask m) { g_calls.push_back({'a', m}); }
void removal(DriveMask m) { g_calls.push_back({'r', m}); }
intptr_t USBDUP_CALLBACK previous(WindowHandle, uint32_t message, uintptr_t, intptr_t) {
  g_passed.push_back(message);
  return 0x1234;
}

struct Notice {
  unsigned char bytes[20] = {};
  Notice(uint32_t deviceType, DriveMask mask) {
    const uint32_t size = 18;
    std::memcpy(bytes, &size, 4);
    std::memcpy(bytes + 4, &deviceType, 4);
    std::memcpy(bytes + 12, &mask, 4);
  }
  intptr_t lParam() const { return reinterpret_cast<intptr_t>(bytes); }
};

class DeviceHookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    programStart();
    g_calls.clear();
    g_passed.clear();
    // The hook as installDeviceHook leaves it, without a real window.
    deviceHook() = DeviceHook{nullptr, arrival, removal, previous};
  }
  void TearDown() override { releaseAll(); }
};

TEST_F(DeviceHookTest, VolumeNoticesReachTheirHandlerThenThePreviousProcedure) {
  struct Case {
    uint32_t message;
    uintptr_t wParam;
    uint32_t deviceType;
    DriveMask mask;
    char expectedKind;  // 0: no handler
  } cases[] = {
      {0x0219, 0x8000, 2, 0x30, 'a'},                  // E and F in one notice: one call
      {0x0219, 0x8004, 2, 1u << 16, 'r'},              // Q pulled
      {0x0219, 0x8000, 2, 1u << 26, 'a'},              // no letter: handler still called
      {0x0219, 0x8004, 2, 0, 'r'},
      {0x0219, 0x8000, 3, 0x30, 0},                    // port, not a volume
      {0x0219, 0x8004, 5, 0x30, 0},                    // device interface
      {0x0219, 0x8001, 2, 0x30, 0},                    // query-remove is not examined
      {0x0219, 0x0007, 2, 0x30, 0},                    // nodes changed
      {0x0010, 0x8000, 2, 0x30, 0},                    // WM_CLOSE with arrival-like params
  };
  for (const Case& c : cases) {
    g_calls.clear();
    g_passed.clear();
    const Notice notice(c.deviceType, c.mask);
    const intptr_t result = deviceWindowProc(nullptr, c.message, c.wParam, notice.lParam());
    SCOPED_TRACE(::testing::Message() << std::hex << "message 0x" << c.message << " wParam 0x" << c.wParam
                                      << " type " << c.deviceType << " mask 0x" << c.mask);
    EXPECT_EQ(result, 0x1234);
    ASSERT_EQ(g_passed.size(), 1u);
    EXPECT_EQ(g_passed[0], c.message);
    if (c.expectedKind == 0) {
      EXPECT_TRUE(g_calls.empty()) << "handler called with mask 0x" << g_calls[0].mask;
    } else {
      ASSERT_EQ(g_calls.size(), 1u);
      EXPECT_EQ(g_calls[0].kind, c.expectedKind);
      EXPECT_EQ(g_calls[0].mask, c.mask);
    }
  }
}

TEST_F(DeviceHookTest, NoticeWithoutRecordIsPassedOnUnread) {
  for (uintptr_t wParam : {uintptr_t{0x8000}, uintptr_t{0x8004}, uintptr_t{0x8001}}) {
    g_passed.clear();
    EXPECT_EQ(deviceWindowProc(nullptr, 0x0219, wParam, 0), 0x1234) << "wParam 0x" << std::hex << wParam;
    EXPECT_EQ(g_passed.size(), 1u);
  }
  EXPECT_TRUE(g_calls.empty());
}

TEST_F(DeviceHookTest, MisalignedRecordIsRead) {
  unsigned char buffer[24] = {};
  const uint32_t type = 2, mask = 0x28;
  std::memcpy(buffer + 1 + 4, &type, 4);
  std::memcpy(buffer + 1 + 12, &mask, 4);
  deviceWindowProc(nullptr, 0x0219, 0x8000, reinterpret_cast<intptr_t>(buffer + 1));
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].mask, 0x28u);
}

}  // namespace
}  // namespace usbdup
