// Form7, the head serial number table ("磁头序列号表"): the object names of its controls.
//
// The names are the controls' object names: hddterm-cli actions, remembered settings and the tests
// address the controls by them, so they never change; the code names each one by what it is.
#pragma once

namespace hdd::form7 {

constexpr char kName[] = "Form7";

constexpr char kHeadMapImage[] = "Image1";
constexpr char kHeadSerialsLabel[] = "Label1";

}  // namespace hdd::form7
