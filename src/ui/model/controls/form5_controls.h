// Form5, the drive identity editor ("HDD ID 编辑"): the object names of its controls.
//
// The names are the controls' object names: hddterm-cli actions, remembered settings and the tests
// address the controls by them, so they never change; the code names each one by what it is.
#pragma once

namespace hdd::form5 {

constexpr char kName[] = "Form5";

constexpr char kModelField[] = "Edit1";
constexpr char kCapacityField[] = "Edit2";
constexpr char kCapacityUnitLabel[] = "Label3";
constexpr char kInitialiseIdCheck[] = "CheckBox4";
constexpr char kWriteModelCheck[] = "CheckBox1";
constexpr char kWriteCapacityCheck[] = "CheckBox2";
constexpr char kWriteStandardKeysCheck[] = "CheckBox3";
constexpr char kWriteKey[] = "Button7";

}  // namespace hdd::form5
