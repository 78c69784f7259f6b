// Identifiers of the main window's controls, its class name and its timer.
// The end-to-end driver finds controls by these numbers (GetDlgItem), so they
// stay fixed. All controls are direct children of the main window, also those
// drawn inside a group box.
#pragma once

namespace usbdup {

// Window class of the main window (FindWindowA).
inline constexpr const char kMainWindowClass[] = "UsbdupMainWindow";
// Identifier of dispatchTimer (SetTimer on the main window).
inline constexpr unsigned kDispatchTimerId = 1;

// Control identifiers; 1 and 2 are left to IDOK and IDCANCEL, which the
// dialog manager sends for Enter and Esc.
enum ControlId : int {
  idFormatGroup = 1001,
  idFormatSwitch = 1002,
  idFormatHint = 1003,
  idFileSystemLabel = 1004,
  idFileSystemChoice = 1005,
  idFormatAdvancedGroup = 1006,
  idFormatAdvancedTitle = 1007,
  idSkipIfDataSwitch = 1008,
  idCopyGroup = 1009,
  idCopySwitch = 1010,
  idCopyHint = 1011,
  idMasterGroup = 1012,
  idMasterGroupTitle = 1013,
  idMasterList = 1014,
  idCensusNotice = 1015,
  idSetMasterButton = 1016,
  idCopyArrow = 1017,
  idTargetGroup = 1018,
  idTargetGroupTitle = 1019,
  idTargetList = 1020,
  idParallelGroup = 1021,
  idParallelGroupTitle = 1022,
  idParallelLabel = 1023,
  idParallelField = 1024,
  idSaveButton = 1025,
  idSaveHintIcon = 1026,
  idSaveHint = 1027,
  idExitButton = 1028,
  idStatusBar = 1029,
};

}  // namespace usbdup
