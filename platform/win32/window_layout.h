// The controls of the main window as a table: kind, group, place, size, text,
// font. Places are relative to the group a control sits in (negative y puts
// it across the group's top line); every control is created as a child of the
// main window at the sum of the offsets.
#pragma once
#include <cstddef>

namespace usbdup {

enum class ControlKind { groupBox, checkBox, label, comboBox, listView, button, picture, editBox, statusBar };
enum class FontKind { defaultGui, bold12, bold14, song12 };

struct ControlLayout {
  int id;
  ControlKind kind;
  int group;  // id of the group box it lies in; 0 for the window itself
  int x, y, width, height;
  const char* text;
  FontKind font;
};

// In creation order, which is also the Z order and the Tab order. The group
// boxes come last so that they lie under the controls drawn over their lines.
const ControlLayout* controlLayouts(size_t* count);
const ControlLayout* findControlLayout(int id);
// The place in the window's client area (the group offsets added up).
void clientPosition(const ControlLayout& layout, int* x, int* y);

inline constexpr int kWindowWidth = 657;
inline constexpr int kWindowHeight = 570;
inline constexpr char kWindowTitle[] = "KV9T USB存储设备批量对拷工具 SW  by Dornak Software Lab";

}  // namespace usbdup
