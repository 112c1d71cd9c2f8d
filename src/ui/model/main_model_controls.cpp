// The main window's own controls: the top bar, the command line and its neighbours, the status
// line, the abort key and the power box. The subsystems add their keys after these.
#include "main_model.h"
#include "terminal.h"

namespace hdd {

void MainModel::buildControls() {
    FormModel& f = form_;
    const QString top = QStringLiteral("Panel3"), ops = QStringLiteral("Panel2"),
                  right = QStringLiteral("Panel6");
    f.add(top, ControlKind::Panel);
    f.add(ops, ControlKind::Panel);
    f.add(right, ControlKind::Panel);

    f.add("ComboBox1", ControlKind::Combo, top).label = "端口";
    f.at("ComboBox1").hint = "列表随串口的插拔自动刷新";
    f.at("ComboBox1").onChange = [this] { onPortChanged(); };
    f.add("ComboBox2", ControlKind::Combo, top).label = "波特率";
    f.at("ComboBox2").onChange = [this] { onBaudChanged(); };
    f.add("btnSwitch", ControlKind::Button, top).caption = kOpenCaption;
    f.at("btnSwitch").onClick = [this] { onSwitch(); };
    f.at("btnSwitch").hint = "打开或关闭串口 (F5)";
    f.add("ImageOn", ControlKind::Image, top).visible = false;
    f.add("ImageOff", ControlKind::Image, top);
    f.add("Button6", ControlKind::Button, top).caption = "清空接收区";
    f.at("Button6").onClick = [this] {
        console().clear();
        hexTraffic_.clear();
    };
    f.at("Button6").hint = "清空接收区 (F8)";
    Control& autoClear = f.add("CheckBox2", ControlKind::Check, top);
    autoClear.caption = "自动清空";
    autoClear.checked = true;
    autoClear.onClick = [this] { console().setAutoClear(form_.checked("CheckBox2")); };
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

    Control& sendByte = f.add("Edit21", ControlKind::Edit, ops);
    sendByte.label = "发送字节";
    sendByte.maxLength = 3;
    sendByte.filter = KeyFilter::DecByte;
    sendByte.onEnter = [this] { onSendByte(); };
    Control& dec = f.add("RadioButton1", ControlKind::Radio, ops);
    dec.caption = "DEC";
    dec.group = "sendbyte";
    dec.checked = true;
    dec.onClick = [this] {
        form_.setText("Edit21", QString());
        form_.at("Edit21").maxLength = 3;
        form_.at("Edit21").filter = KeyFilter::DecByte;
        form_.setChecked("RadioButton1", true);
    };
    Control& hex = f.add("RadioButton2", ControlKind::Radio, ops);
    hex.caption = "HEX";
    hex.group = "sendbyte";
    hex.onClick = [this] {
        form_.setText("Edit21", QString());
        form_.at("Edit21").maxLength = 2;
        form_.at("Edit21").filter = KeyFilter::HexByte;
        form_.setChecked("RadioButton2", true);
    };

    Control& speed = f.add("ComboBox7", ControlKind::Combo, ops);
    speed.label = "读写速率:";
    speed.hint = "设置读写磁道数据的速率";
    f.add("ProgressBar1", ControlKind::Progress, ops);
    Control& status = f.add("edStatus", ControlKind::Label, ops);
    status.text = kClosedStatus;               // the same text as after closing
    f.add("edFile", ControlKind::Label, ops);  // the file the last operation saved
    f.add("edRx", ControlKind::Label, ops).text = "Rx:0";
    f.add("edTx", ControlKind::Label, ops).text = "Tx:0";
    f.add("Button5", ControlKind::Button, ops).caption = "计数清零";
    f.at("Button5").onClick = [this] { dialogue_.resetCounters(); };
    f.at("Button5").hint = "收发计数清零";

    f.add("Button16", ControlKind::Button).caption = "中止命令";
    f.at("Button16").onClick = [this] { requestAbort(dialogue_); };
    f.at("Button16").hint = "中止正在执行的命令 (F9)";
    Control& power = f.add("CheckBox1", ControlKind::Check);
    power.caption = "小板供电";
    power.checked = true;
    power.onClick = [this] { port_.SetControlLines(form_.checked("CheckBox1")); };
}

}  // namespace hdd
