// Form1, the sector file builder ("创建文件"): the object names of its controls.
//
// The names are the controls' object names: hddterm-cli actions, remembered settings and the tests
// address the controls by them, so they never change; the code names each one by what it is.
#pragma once

namespace hdd::form1 {

constexpr char kName[] = "Form1";

constexpr char kSource1Field[] = "Edit1";
constexpr char kSource1Picker[] = "Button51";
constexpr char kSource1StartField[] = "Edit5";
constexpr char kSource1CountField[] = "Edit3";
constexpr char kSource1ResetKey[] = "Button4";
constexpr char kSource2Field[] = "Edit2";
constexpr char kSource2Picker[] = "Button1";
constexpr char kSource2StartField[] = "Edit4";
constexpr char kSource2CountField[] = "Edit7";
constexpr char kSource2ResetKey[] = "Button5";
constexpr char kTargetField[] = "Edit6";
constexpr char kTargetPicker[] = "Button2";
constexpr char kBuildKey[] = "Button3";

}  // namespace hdd::form1
