// Form4, the command script dialog ("命令脚本"): the object names of its controls.
//
// The names are the controls' object names: hddterm-cli actions, remembered settings and the tests
// address the controls by them, so they never change; the code names each one by what it is.
#pragma once

namespace hdd::form4 {

constexpr char kName[] = "Form4";

constexpr char kScriptMemo[] = "Memo1";
constexpr char kRunningLineField[] = "Edit1";
constexpr char kRunKey[] = "Button9";
constexpr char kStopKey[] = "Button10";
constexpr char kOpenKey[] = "Button51";
constexpr char kSaveKey[] = "Button1";
constexpr char kClearKey[] = "Button11";
constexpr char kReadBufferScriptKey[] = "Button8";
constexpr char kReadRomScriptKey[] = "Button2";
constexpr char kWriteRomScriptKey[] = "Button3";
constexpr char kBoot1ScriptKey[] = "Button4";
constexpr char kReadSurfaceScriptKey[] = "Button5";
constexpr char kWriteSurfaceScriptKey[] = "Button6";
constexpr char kWriteBufferScriptKey[] = "Button7";
constexpr char kBoot2ScriptKey[] = "Button12";

}  // namespace hdd::form4
