// The main window's own controls: the top bar, the command line and its neighbours, the status
// line, the abort key and the power box. The subsystems add their keys after these.
#include "main_form_controls.h"
#include "main_model.h"
#include "terminal.h"

namespace hdd {

using namespace mainform;

void MainModel::buildControls() {
    FormModel& f = form_;
    const QString top = QLatin1String(kTopBar), ops = QLatin1String(kOperationsPanel),
                  right = QLatin1String(kRightPanel);
    f.add(top, ControlKind::Panel);
    f.add(ops, ControlKind::Panel);
    f.add(right, ControlKind::Panel);

    f.add(kPortList, ControlKind::Combo, top).label = "端口";
    f.at(kPortList).hint = "列表随串口的插拔自动刷新";
    f.at(kPortList).onChange = [this] { onPortChanged(); };
    f.add(kBaudList, ControlKind::Combo, top).label = "波特率";
    f.at(kBaudList).onChange = [this] { onBaudChanged(); };
    f.add("btnSwitch", ControlKind::Button, top).caption = kOpenCaption;
    f.at("btnSwitch").onClick = [this] { onSwitch(); };
    f.at("btnSwitch").hint = "打开或关闭串口 (F5)";
    f.add("ImageOn", ControlKind::Image, top).visible = false;
    f.add("ImageOff", ControlKind::Image, top);
    f.add(kClearConsoleKey, ControlKind::Button, top).caption = "清空接收区";
    f.at(kClearConsoleKey).onClick = [this] {
        console().clear();
        hexTraffic_.clear();
    };
    f.at(kClearConsoleKey).hint = "清空接收区 (F8)";
    Control& autoClear = f.add(kAutoClearCheck, ControlKind::Check, top);
    autoClear.caption = "自动清空";
    autoClear.checked = true;
    autoClear.onClick = [this] { console().setAutoClear(form_.checked(kAutoClearCheck)); };
    Control& fast = f.add("CheckBoxFast", ControlKind::Check, top);
    fast.caption = "快速等待";
    fast.hint = "等待硬盘应答时一收到应答就继续（命令与超时不变）";
    fast.onClick = [this] { dialogue_.setFastWaits(form_.checked("CheckBoxFast")); };
    Control& hexView = f.add("CheckBoxHex", ControlKind::Check, top);
    hexView.caption = "十六进制";
    hexView.hint = "以十六进制显示收发的字节（用于不输出文本的硬盘）";
    hexView.onClick = [this] { console().setHexDisplay(form_.checked("CheckBoxHex")); };

    Control& cmd = f.add("CMD", ControlKind::Edit, ops);
    cmd.label = "命令行";
    cmd.onKey = [this](QChar k) { return onCmdKey(k); };
    cmd.onEnter = [this] { onCmdEnter(); };

    Control& sendByte = f.add(kSendByteField, ControlKind::Edit, ops);
    sendByte.label = "发送字节";
    sendByte.maxLength = 3;
    sendByte.filter = KeyFilter::DecByte;
    sendByte.onEnter = [this] { onSendByte(); };
    // DEC and HEX: the byte field empties and takes three decimal or two hexadecimal digits.
    const auto byteBase = [this, &f, ops](const char* name, const char* caption, int digits,
                                          KeyFilter filter) -> Control& {
        Control& c = f.add(name, ControlKind::Radio, ops);
        c.caption = caption;
        c.group = "sendbyte";
        c.onClick = [this, name, digits, filter] {
            form_.setText(kSendByteField, QString());
            form_.at(kSendByteField).maxLength = digits;
            form_.at(kSendByteField).filter = filter;
            form_.setChecked(name, true);
        };
        return c;
    };
    byteBase(kDecimalOption, "DEC", 3, KeyFilter::DecByte).checked = true;
    byteBase(kHexOption, "HEX", 2, KeyFilter::HexByte);

    Control& speed = f.add(kTransferSpeedList, ControlKind::Combo, ops);
    speed.label = "读写速率:";
    speed.hint = "设置读写磁道数据的速率";
    f.add(kProgressBar, ControlKind::Progress, ops);
    Control& status = f.add("edStatus", ControlKind::Label, ops);
    status.text = kClosedStatus;               // the same text as after closing
    f.add("edFile", ControlKind::Label, ops);  // the file the last operation saved
    f.add("edRx", ControlKind::Label, ops).text = "Rx:0";
    f.add("edTx", ControlKind::Label, ops).text = "Tx:0";
    f.add(kResetCountersKey, ControlKind::Button, ops).caption = "计数清零";
    f.at(kResetCountersKey).onClick = [this] { dialogue_.resetCounters(); };
    f.at(kResetCountersKey).hint = "收发计数清零";

    f.add(kAbortKey, ControlKind::Button).caption = "中止命令";
    f.at(kAbortKey).onClick = [this] { requestAbort(dialogue_); };
    f.at(kAbortKey).hint = "中止正在执行的命令 (F9)";
    Control& power = f.add(kBoardPowerCheck, ControlKind::Check);
    power.caption = "小板供电";
    power.checked = true;
    power.onClick = [this] { port_.SetControlLines(form_.checked(kBoardPowerCheck)); };
}

}  // namespace hdd
