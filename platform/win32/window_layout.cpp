#include "window_layout.h"

#include "control_ids.h"

namespace usbdup {
namespace {

using K = ControlKind;
using F = FontKind;

const ControlLayout kLayouts[] = {
    {idFormatSwitch, K::checkBox, idFormatGroup, 131, -5, 50, 24, "启用", F::defaultGui},
    {idFormatHint, K::label, idFormatGroup, 20, 17, 308, 24, "启用该功能后，将会对插入的子盘设备执行自动格式化。",
     F::defaultGui},
    {idFileSystemLabel, K::label, idFormatGroup, 20, 44, 64, 24, "文件系统：", F::defaultGui},
    {idFileSystemChoice, K::comboBox, idFormatGroup, 83, 47, 144, 20, "", F::defaultGui},
    {idFormatAdvancedTitle, K::label, idFormatAdvancedGroup, 9, -2, 44, 19, "高级：", F::defaultGui},
    {idSkipIfDataSwitch, K::checkBox, idFormatAdvancedGroup, 34, 21, 221, 24, "检测到设备存储有数据时跳过格式化",
     F::defaultGui},
    {idCopySwitch, K::checkBox, idCopyGroup, 71, -4, 50, 24, "启用", F::defaultGui},
    {idCopyHint, K::label, idCopyGroup, 21, 16, 490, 24,
     "启用该功能后，将会以设定的母盘为源，将其上的文件数据原样的拷贝到插入的子盘当中。", F::defaultGui},
    {idMasterGroupTitle, K::label, idMasterGroup, 10, -3, 44, 19, "母盘：", F::defaultGui},
    // Before the list, so that it lies over it while shown.
    {idCensusNotice, K::label, idMasterGroup, 43, 60, 184, 56, "请稍后，正在检查母盘设备...", F::bold12},
    {idMasterList, K::listView, idMasterGroup, 8, 17, 255, 127, "", F::defaultGui},
    {idSetMasterButton, K::button, idMasterGroup, 8, 148, 253, 24, "点击设置母盘", F::defaultGui},
    {idCopyArrow, K::picture, idCopyGroup, 302, 120, 32, 32, "", F::defaultGui},
    {idTargetGroupTitle, K::label, idTargetGroup, 11, -3, 44, 19, "子盘：", F::defaultGui},
    {idTargetList, K::listView, idTargetGroup, 8, 16, 255, 284, "", F::defaultGui},
    {idParallelGroupTitle, K::label, idParallelGroup, 11, -3, 44, 19, "多线程：", F::defaultGui},
    {idParallelLabel, K::label, idParallelGroup, 22, 15, 222, 24, "设定软件同时操作的最多子盘数量：", F::defaultGui},
    {idParallelField, K::editBox, idParallelGroup, 88, 48, 80, 20, "1", F::defaultGui},
    {idSaveButton, K::button, 0, 13, 477, 144, 32, "保存全部设置", F::bold14},
    {idSaveHintIcon, K::picture, 0, 167, 486, 16, 16, "", F::defaultGui},
    {idSaveHint, K::label, 0, 190, 482, 298, 24, "提示：更改软件的任何选项后，请保存设置，以便生效！", F::defaultGui},
    {idExitButton, K::button, 0, 496, 477, 144, 32, "退出！", F::bold14},
    {idStatusBar, K::statusBar, 0, 0, 522, 651, 20, "监视服务已启动！", F::bold12},
    {idFormatAdvancedGroup, K::groupBox, idFormatGroup, 329, 15, 295, 59, "", F::song12},
    {idFormatGroup, K::groupBox, 0, 5, 11, 640, 82, "存储空间自动初始化：", F::defaultGui},
    {idMasterGroup, K::groupBox, idCopyGroup, 22, 45, 271, 181, "", F::song12},
    {idTargetGroup, K::groupBox, idCopyGroup, 344, 45, 271, 309, "", F::song12},
    {idParallelGroup, K::groupBox, idCopyGroup, 23, 233, 268, 121, "", F::defaultGui},
    {idCopyGroup, K::groupBox, 0, 5, 102, 640, 368, "设备对拷：", F::defaultGui},
};

}  // namespace

const ControlLayout* controlLayouts(size_t* count) {
  *count = sizeof kLayouts / sizeof kLayouts[0];
  return kLayouts;
}

const ControlLayout* findControlLayout(int id) {
  for (const ControlLayout& layout : kLayouts) {
    if (layout.id == id) return &layout;
  }
  return nullptr;
}

void clientPosition(const ControlLayout& layout, int* x, int* y) {
  *x = layout.x;
  *y = layout.y;
  for (const ControlLayout* group = findControlLayout(layout.group); group != nullptr;
       group = findControlLayout(group->group)) {
    *x += group->x;
    *y += group->y;
  }
}

}  // namespace usbdup
