// Form6, the firmware backup dialog ("备份固件"): the object names of its controls.
//
// The names are the controls' object names: hddterm-cli actions, remembered settings and the tests
// address the controls by them, so they never change; the code names each one by what it is.
#pragma once

namespace hdd::form6 {

constexpr char kName[] = "Form6";

constexpr char kFolderField[] = "Edit1";
constexpr char kFolderPicker[] = "Button51";
constexpr char kFamilyList[] = "ComboBox7";
constexpr char kIdentifyKey[] = "Button2";
constexpr char kSpeedList[] = "ComboBox2";
constexpr char kAppCheck[] = "CheckBox1";
constexpr char kCertCheck[] = "CheckBox2";
constexpr char kTableCheck[] = "CheckBox3";
constexpr char kAtaCheck[] = "CheckBox4";
constexpr char kVendorCheck[] = "CheckBox5";
constexpr char kStartKey[] = "Button7";
constexpr char kReadBufferField[] = "Edit3";
constexpr char kReadSectorsField[] = "Edit4";
constexpr char kReserveStartField[] = "Edit2";

}  // namespace hdd::form6
