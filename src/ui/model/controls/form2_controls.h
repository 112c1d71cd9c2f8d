// Form2, the F-level boot dialog ("F级引导"): the object names of its controls.
//
// The names are the controls' object names: hddterm-cli actions, remembered settings and the tests
// address the controls by them, so they never change; the code names each one by what it is.
#pragma once

namespace hdd::form2 {

constexpr char kName[] = "Form2";

constexpr char kFamilyList[] = "ComboBox7";
constexpr char kIdentifyKey[] = "Button5";
constexpr char kFolderField[] = "Edit7";
constexpr char kFolderPicker[] = "Button7";
constexpr char kAppCheck[] = "CheckBox1";
constexpr char kAppSaveCheck[] = "CheckBox10";
constexpr char kAppBufferList[] = "ComboBox1";
constexpr char kAppBlockList[] = "ComboBox3";
constexpr char kAppFileField[] = "Edit1";
constexpr char kAppPicker[] = "Button51";
constexpr char kCertCheck[] = "CheckBox2";
constexpr char kCertSaveCheck[] = "CheckBox9";
constexpr char kCertBlockList[] = "ComboBox4";
constexpr char kCertFileField[] = "Edit2";
constexpr char kCertPicker[] = "Button1";
constexpr char kTableCheck[] = "CheckBox3";
constexpr char kTableSaveCheck[] = "CheckBox8";
constexpr char kTableSectorsField[] = "Edit3";
constexpr char kTableFileField[] = "Edit6";
constexpr char kTablePicker[] = "Button2";
constexpr char kAta0Check[] = "CheckBox4";
constexpr char kAta1Check[] = "CheckBox6";
constexpr char kAtaSaveCheck[] = "CheckBox5";
constexpr char kAta0FileField[] = "Edit4";
constexpr char kAta0Picker[] = "Button3";
constexpr char kAta1FileField[] = "Edit5";
constexpr char kAta1Picker[] = "Button4";
constexpr char kSpeedList[] = "ComboBox2";
constexpr char kLoadKey[] = "Button6";

}  // namespace hdd::form2
