// Form3, the serial ROM dialog ("串行ROM读写"): the object names of its controls.
//
// The names are the controls' object names: hddterm-cli actions, remembered settings and the tests
// address the controls by them, so they never change; the code names each one by what it is.
#pragma once

namespace hdd::form3 {

constexpr char kName[] = "Form3";

constexpr char kReadFileField[] = "Edit1";
constexpr char kReadFilePicker[] = "Button51";
constexpr char kWriteFileField[] = "Edit2";
constexpr char kWriteFilePicker[] = "Button1";
constexpr char kSpeedList[] = "ComboBox2";
constexpr char kEntryList[] = "ComboBox3";
constexpr char kBufferReadKey[] = "Button2";
constexpr char kBufferWriteKey[] = "Button6";
constexpr char kCommandReadKey[] = "Button3";
constexpr char kCommandWriteKey[] = "Button4";
constexpr char kProgressBar[] = "ProgressBar1";

}  // namespace hdd::form3
