<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>hddterm</name>
    <message>
        <source>&quot;FF&quot;为所有头</source>
        <translation>&quot;FF&quot; for all heads</translation>
    </message>
    <message>
        <source>&quot;FF&quot;为所有段</source>
        <translation>&quot;FF&quot; for all zones</translation>
    </message>
    <message>
        <source>%1 / %2 字节</source>
        <translation>%1 / %2 bytes</translation>
    </message>
    <message>
        <source>%1“%2”无效：%3</source>
        <translation>%1 &quot;%2&quot; is not valid: %3</translation>
    </message>
    <message>
        <source>%1“%2”无效：应为一至两位十六进制数！</source>
        <translation>%1 &quot;%2&quot; is not valid: one or two hexadecimal digits!</translation>
    </message>
    <message>
        <source>%1中的机型超过%2个，其后的%3个未被读取！</source>
        <translation>%1 holds more than %2 families; the %3 after them were not read!</translation>
    </message>
    <message>
        <source>%1模块：%2</source>
        <translation>%1 module: %2</translation>
    </message>
    <message>
        <source>APP数据块大小</source>
        <translation>APP block size</translation>
    </message>
    <message>
        <source>A级自修复</source>
        <translation>A-level repair</translation>
    </message>
    <message>
        <source>A级自修复(扫描硬盘并把坏道加到G表)</source>
        <translation>A-level self-repair (scans the drive and adds bad sectors to the G-list)</translation>
    </message>
    <message>
        <source>A级自校准</source>
        <translation>A-level self-calibration</translation>
    </message>
    <message>
        <source>BIN文件|*.bin|TRC文件|*.trc|所有文件|*.*</source>
        <translation>BIN files|*.bin|TRC files|*.trc|All files|*.*</translation>
    </message>
    <message>
        <source>BIN文件|*.bin|所有文件|*.*</source>
        <translation>BIN files|*.bin|All files|*.*</translation>
    </message>
    <message>
        <source>B级自修复</source>
        <translation>B-level repair</translation>
    </message>
    <message>
        <source>B级自修复(扫描硬盘并把坏道加到P表)</source>
        <translation>B-level self-repair (scans the drive and adds bad sectors to the P-list)</translation>
    </message>
    <message>
        <source>B级自校准</source>
        <translation>B-level self-calibration</translation>
    </message>
    <message>
        <source>CERT数据块大小</source>
        <translation>CERT block size</translation>
    </message>
    <message>
        <source>CMD|*.CMD|所有文件|*.*</source>
        <translation>CMD|*.CMD|All files|*.*</translation>
    </message>
    <message>
        <source>F级引导</source>
        <translation>F-level boot</translation>
    </message>
    <message>
        <source>F级引导1</source>
        <translation>F-level boot 1</translation>
    </message>
    <message>
        <source>F级引导2</source>
        <translation>F-level boot 2</translation>
    </message>
    <message>
        <source>HDD ID 编辑</source>
        <translation>HDD ID editor</translation>
    </message>
    <message>
        <source>HDD ID扇区</source>
        <translation>HDD ID sector</translation>
    </message>
    <message>
        <source>R1、R2命令</source>
        <translation>R1, R2 commands</translation>
    </message>
    <message>
        <source>RD 扇区数:</source>
        <translation>RD sectors:</translation>
    </message>
    <message>
        <source>ROM模块文件长度不能大于512MB！</source>
        <translation>The ROM file must not be larger than 512MB!</translation>
    </message>
    <message>
        <source>SHA256SUMS中的模块文件不存在：%1</source>
        <translation>Module file listed in SHA256SUMS is missing: %1</translation>
    </message>
    <message>
        <source>TABLE扇区数</source>
        <translation>TABLE sector count</translation>
    </message>
    <message>
        <source>TRC文件|*.trc|BIN文件|*.bin|所有文件|*.*</source>
        <translation>TRC files|*.trc|BIN files|*.bin|All files|*.*</translation>
    </message>
    <message>
        <source>WR 扇区数:</source>
        <translation>WR sectors:</translation>
    </message>
    <message>
        <source>上/下键：历史命令；Shift+Insert：粘贴（Ctrl+V 发给硬盘）</source>
        <translation>Up/Down: command history; Shift+Insert: paste (Ctrl+V goes to the drive)</translation>
    </message>
    <message>
        <source>上一个</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>上一个匹配 (Shift+Enter)</source>
        <translation>Previous match (Shift+Enter)</translation>
    </message>
    <message>
        <source>下一个</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>下一个匹配 (Enter)</source>
        <translation>Next match (Enter)</translation>
    </message>
    <message>
        <source>不是可用的速率！</source>
        <translation>not an available speed!</translation>
    </message>
    <message>
        <source>不是机型表的文本文件，未读取！</source>
        <translation>Not a family table text file, not read!</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>中止命令</source>
        <translation>Abort</translation>
    </message>
    <message>
        <source>中止正在执行的命令 (F9)</source>
        <translation>Abort the running command (F9)</translation>
    </message>
    <message>
        <source>串口连接已断开！</source>
        <translation>The port connection was lost!</translation>
    </message>
    <message>
        <source>串行ROM读写</source>
        <translation>Serial ROM read/write</translation>
    </message>
    <message>
        <source>从硬盘加载Cert</source>
        <translation>Load Cert from the disk</translation>
    </message>
    <message>
        <source>以十六进制显示接收到的字节（用于不输出文本的硬盘）</source>
        <translation type="vanished">Show the received bytes in hexadecimal (for drives that send no text)</translation>
    </message>
    <message>
        <source>以十六进制显示收发的字节（用于不输出文本的硬盘）</source>
        <translation>Show the bytes sent and received in hexadecimal (for drives that send no text)</translation>
    </message>
    <message>
        <source>以块下载把文件发送给硬盘</source>
        <translation>Sends a file to the drive by block download</translation>
    </message>
    <message>
        <source>使用y指令获取模块地址</source>
        <translation>Get the module addresses with the y command</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存APP.CERT</source>
        <translation>Save APP.CERT</translation>
    </message>
    <message>
        <source>保存APP与CERT模块</source>
        <translation>Saves the APP and CERT modules</translation>
    </message>
    <message>
        <source>保存为文本</source>
        <translation>Save as text</translation>
    </message>
    <message>
        <source>保存为文本…</source>
        <translation>Save as text…</translation>
    </message>
    <message>
        <source>保存位置：</source>
        <translation>Save to:</translation>
    </message>
    <message>
        <source>保存文件失败！
</source>
        <translation>Saving the file failed!
</translation>
    </message>
    <message>
        <source>保存文件（%1）</source>
        <translation>Save file (%1)</translation>
    </message>
    <message>
        <source>保存文件（Buffer）</source>
        <translation>Save file (Buffer)</translation>
    </message>
    <message>
        <source>保存文件（ID）</source>
        <translation>Save file (ID)</translation>
    </message>
    <message>
        <source>保存文件（指定磁道）</source>
        <translation>Save file (track)</translation>
    </message>
    <message>
        <source>保存段位信息</source>
        <translation>Save the zone table</translation>
    </message>
    <message>
        <source>保存脚本</source>
        <translation>Save script</translation>
    </message>
    <message>
        <source>保存脚本文件失败：%1</source>
        <translation>Saving the script file failed: %1</translation>
    </message>
    <message>
        <source>保存通信记录</source>
        <translation>Save communication log</translation>
    </message>
    <message>
        <source>保存通信记录…</source>
        <translation>Save communication log…</translation>
    </message>
    <message>
        <source>保留区</source>
        <translation>Reserve area</translation>
    </message>
    <message>
        <source>保留区 -</source>
        <translation>Reserve area -</translation>
    </message>
    <message>
        <source>保留区 地址:</source>
        <translation>Reserve area address:</translation>
    </message>
    <message>
        <source>保留区地址</source>
        <translation>Reserve address</translation>
    </message>
    <message>
        <source>停止自校准</source>
        <translation>Stop self-cal</translation>
    </message>
    <message>
        <source>停止运行</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>健康值清0</source>
        <translation>Reset the health value to 0</translation>
    </message>
    <message>
        <source>健康值清0（需T级）</source>
        <translation>Clears the health values (needs T level)</translation>
    </message>
    <message>
        <source>先询问确认</source>
        <translation>Asks for confirmation first</translation>
    </message>
    <message>
        <source>入口缓冲区:</source>
        <translation>Entry buffer:</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>关闭串口</source>
        <translation>Close port</translation>
    </message>
    <message>
        <source>关闭查找 (Esc)</source>
        <translation>Close the search (Esc)</translation>
    </message>
    <message>
        <source>内置脚本</source>
        <translation>Built-in scripts</translation>
    </message>
    <message>
        <source>写</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>写Buffer</source>
        <translation>Write buffer</translation>
    </message>
    <message>
        <source>写串行ROM</source>
        <translation>Write serial ROM</translation>
    </message>
    <message>
        <source>写入1、3、6键标准值</source>
        <translation>Write standard words 1, 3, 6</translation>
    </message>
    <message>
        <source>写入:</source>
        <translation>Write:</translation>
    </message>
    <message>
        <source>写入SN</source>
        <translation>Write SN</translation>
    </message>
    <message>
        <source>写入信息</source>
        <translation>Write ID</translation>
    </message>
    <message>
        <source>写入型号</source>
        <translation>Write model</translation>
    </message>
    <message>
        <source>写入完成！</source>
        <translation>Write done!</translation>
    </message>
    <message>
        <source>写入容量</source>
        <translation>Write capacity</translation>
    </message>
    <message>
        <source>写入文件失败！</source>
        <translation>Writing the file failed!</translation>
    </message>
    <message>
        <source>写指定磁道</source>
        <translation>Write track</translation>
    </message>
    <message>
        <source>写表面</source>
        <translation>Write surface</translation>
    </message>
    <message>
        <source>分析固件版本</source>
        <translation>Analyse the firmware version</translation>
    </message>
    <message>
        <source>分析固件版本并计算模块地址</source>
        <translation>Analyse the firmware version and work out the module addresses</translation>
    </message>
    <message>
        <source>切换到50</source>
        <translation>Switch to 50</translation>
    </message>
    <message>
        <source>列表随串口的插拔自动刷新</source>
        <translation>The list follows serial ports being plugged in and out</translation>
    </message>
    <message>
        <source>创建文件</source>
        <translation>Create file</translation>
    </message>
    <message>
        <source>创建文件失败！</source>
        <translation>Creating the file failed!</translation>
    </message>
    <message>
        <source>创建文件夹出错！</source>
        <translation>Creating the folder failed!</translation>
    </message>
    <message>
        <source>初始化ID</source>
        <translation>Initialise ID</translation>
    </message>
    <message>
        <source>剩余 %1</source>
        <translation>%1 left</translation>
    </message>
    <message>
        <source>剪贴板中有 %1 行命令，如何处理？

%2</source>
        <translation>The clipboard holds %1 command lines. What should be done with them?

%2</translation>
    </message>
    <message>
        <source>功能窗口</source>
        <translation>Tool windows</translation>
    </message>
    <message>
        <source>加载</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>加载速率</source>
        <translation>Load speed</translation>
    </message>
    <message>
        <source>加载速率:</source>
        <translation>Load speed:</translation>
    </message>
    <message>
        <source>十六进制</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>参数“%1”不是十六进制数</source>
        <translation>Argument &quot;%1&quot; is not a hexadecimal number</translation>
    </message>
    <message>
        <source>参数“%1”不是十进制数</source>
        <translation>Argument &quot;%1&quot; is not a decimal number</translation>
    </message>
    <message>
        <source>参数错误：请输入有效的十六进制数！</source>
        <translation>Parameter error: please enter a valid hexadecimal number!</translation>
    </message>
    <message>
        <source>发生硬件问题，请勿自己直接操作，请尽快联系我们的工程师！</source>
        <translation>With a hardware problem, do not work on the drive yourself; contact our engineers as soon as you can!</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>发送 %1</source>
        <translation>Sends %1</translation>
    </message>
    <message>
        <source>发送 Ctrl-D (0x04) 最多 %1 次，直到应答中出现“%2”</source>
        <translation>Sends Ctrl-D (0x04) up to %1 times, until the answer shows &quot;%2&quot;</translation>
    </message>
    <message>
        <source>发送字节</source>
        <translation>Send byte</translation>
    </message>
    <message>
        <source>发送文件</source>
        <translation>Send file</translation>
    </message>
    <message>
        <source>发送文件:</source>
        <translation>File to send:</translation>
    </message>
    <message>
        <source>只粘贴第一行</source>
        <translation>Paste the first line only</translation>
    </message>
    <message>
        <source>向硬盘查询保留区地址</source>
        <translation>Asks the drive for the reserve-area address</translation>
    </message>
    <message>
        <source>向硬盘查询读写缓冲区地址</source>
        <translation>Asks the drive for the read and write buffer addresses</translation>
    </message>
    <message>
        <source>启动自校准</source>
        <translation>Start self-cal</translation>
    </message>
    <message>
        <source>命令脚本</source>
        <translation>Command script</translation>
    </message>
    <message>
        <source>命令行</source>
        <translation>Command line</translation>
    </message>
    <message>
        <source>回到T级</source>
        <translation>Back to T level</translation>
    </message>
    <message>
        <source>固件</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>固件所在位置:</source>
        <translation>Firmware folder:</translation>
    </message>
    <message>
        <source>固件模块</source>
        <translation>Firmware modules</translation>
    </message>
    <message>
        <source>固件类型:</source>
        <translation>Firmware type:</translation>
    </message>
    <message>
        <source>图片：%1</source>
        <translation>Picture: %1</translation>
    </message>
    <message>
        <source>在2级停止主轴电机</source>
        <translation>Stops the spindle motor at level 2</translation>
    </message>
    <message>
        <source>在2级启动主轴电机</source>
        <translation>Starts the spindle motor at level 2</translation>
    </message>
    <message>
        <source>在命令脚本中打开</source>
        <translation>Open in the command script</translation>
    </message>
    <message>
        <source>在线客服：</source>
        <translation>Online support: </translation>
    </message>
    <message>
        <source>地址:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>型号：</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>备份%1失败！</source>
        <translation>Backing up %1 failed!</translation>
    </message>
    <message>
        <source>备份固件</source>
        <translation>Back up firmware</translation>
    </message>
    <message>
        <source>备份失败!</source>
        <translation>Backup failed!</translation>
    </message>
    <message>
        <source>备份完成!</source>
        <translation>Backup done!</translation>
    </message>
    <message>
        <source>备份速率:</source>
        <translation>Backup speed:</translation>
    </message>
    <message>
        <source>复位固件</source>
        <translation>Reset firmware</translation>
    </message>
    <message>
        <source>复制(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>失败！</source>
        <translation>Failed!</translation>
    </message>
    <message>
        <source>失败，请尝试手动获取！</source>
        <translation>Failed, please try to get it by hand!</translation>
    </message>
    <message>
        <source>头</source>
        <translation>Head</translation>
    </message>
    <message>
        <source>存盘</source>
        <translation>Save to disk</translation>
    </message>
    <message>
        <source>完成！</source>
        <translation>Done!</translation>
    </message>
    <message>
        <source>容量：</source>
        <translation>Capacity:</translation>
    </message>
    <message>
        <source>将硬盘转到F级</source>
        <translation>Takes the drive to F level</translation>
    </message>
    <message>
        <source>小板供电</source>
        <translation>Adapter power</translation>
    </message>
    <message>
        <source>工具</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>工程师电话：</source>
        <translation>Engineer hotline: </translation>
    </message>
    <message>
        <source>已保存 %1 个文件（共 %2 字节），最后一个：%3</source>
        <translation>Saved %1 files (%2 bytes in all), the last: %3</translation>
    </message>
    <message>
        <source>已保存 %1（%2 字节）</source>
        <translation>Saved %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>常用</source>
        <translation>Common</translation>
    </message>
    <message>
        <source>应为1至65535的十进制数！</source>
        <translation>a decimal number from 1 to 65535!</translation>
    </message>
    <message>
        <source>应为十六进制数！</source>
        <translation>a hexadecimal number!</translation>
    </message>
    <message>
        <source>开始备份</source>
        <translation>Start backup</translation>
    </message>
    <message>
        <source>强制读写</source>
        <translation>Forced R/W</translation>
    </message>
    <message>
        <source>强制转到1级</source>
        <translation>Force level 1</translation>
    </message>
    <message>
        <source>强制转到2级</source>
        <translation>Force level 2</translation>
    </message>
    <message>
        <source>当前命令脚本：</source>
        <translation>Current script:</translation>
    </message>
    <message>
        <source>快速等待</source>
        <translation>Fast wait</translation>
    </message>
    <message>
        <source>成功！</source>
        <translation>OK!</translation>
    </message>
    <message>
        <source>截取范围  开始扇区:</source>
        <translation>Range  start sector:</translation>
    </message>
    <message>
        <source>所有文件|*.*</source>
        <translation>All files|*.*</translation>
    </message>
    <message>
        <source>扇/道:</source>
        <translation>Sec/trk:</translation>
    </message>
    <message>
        <source>扇区数:</source>
        <translation>Sectors:</translation>
    </message>
    <message>
        <source>打开LBA48</source>
        <translation>Enable LBA48</translation>
    </message>
    <message>
        <source>打开“%1”窗口</source>
        <translation>Opens the &quot;%1&quot; window</translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation>Open port</translation>
    </message>
    <message>
        <source>打开或关闭串口 (F5)</source>
        <translation>Open or close the port (F5)</translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>打开文件（%1）</source>
        <translation>Open file (%1)</translation>
    </message>
    <message>
        <source>打开文件（Buffer）</source>
        <translation>Open file (Buffer)</translation>
    </message>
    <message>
        <source>打开文件（指定磁道）</source>
        <translation>Open file (track)</translation>
    </message>
    <message>
        <source>打开硬盘的48位寻址</source>
        <translation>Turns on the drive&apos;s 48-bit addressing</translation>
    </message>
    <message>
        <source>打开脚本</source>
        <translation>Open script</translation>
    </message>
    <message>
        <source>打开脚本文件失败：%1</source>
        <translation>Opening the script file failed: %1</translation>
    </message>
    <message>
        <source>执行R1、R2命令</source>
        <translation>Runs the R1, R2 commands</translation>
    </message>
    <message>
        <source>扩展自校准</source>
        <translation>Extended self-cal</translation>
    </message>
    <message>
        <source>找盘信息</source>
        <translation>Drive info</translation>
    </message>
    <message>
        <source>把SN栏的序列号写入硬盘</source>
        <translation>Writes the serial number of the SN field to the drive</translation>
    </message>
    <message>
        <source>把文件写入%1</source>
        <translation>Writes a file into %1</translation>
    </message>
    <message>
        <source>把文件写入指定磁道的扇区</source>
        <translation>Writes a file into sectors of the given track</translation>
    </message>
    <message>
        <source>把文件写入缓冲区</source>
        <translation>Writes a file into the buffer</translation>
    </message>
    <message>
        <source>把磁头序列号表图片 HEADSN.PNG（或 .JPG、.BMP）
放到程序目录 %1 下，这里就会显示它。</source>
        <translation>Put the head serial number table picture HEADSN.PNG (or .JPG, .BMP)
into the program folder %1 and it is shown here.</translation>
    </message>
    <message>
        <source>把输入的LBA值转换为物理位置</source>
        <translation>Converts the LBA typed to a physical location</translation>
    </message>
    <message>
        <source>指令方式写入</source>
        <translation>Write by commands</translation>
    </message>
    <message>
        <source>指令方式写入ROM需要较长时间，请耐心等待！</source>
        <translation>Writing the ROM by commands takes a long time, please be patient!</translation>
    </message>
    <message>
        <source>指令方式读取</source>
        <translation>Read by commands</translation>
    </message>
    <message>
        <source>指令方式读取ROM需要较长时间，请耐心等待！</source>
        <translation>Reading the ROM by commands takes a long time, please be patient!</translation>
    </message>
    <message>
        <source>指定的%1模块文件不存在！</source>
        <translation>The %1 module file does not exist!</translation>
    </message>
    <message>
        <source>指定的文件不存在！</source>
        <translation>The file does not exist!</translation>
    </message>
    <message>
        <source>指定磁道</source>
        <translation>Track</translation>
    </message>
    <message>
        <source>指定缓冲区！</source>
        <translation>Choose a buffer!</translation>
    </message>
    <message>
        <source>接收区</source>
        <translation>Console</translation>
    </message>
    <message>
        <source>控制字符</source>
        <translation>Control characters</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>操作被用户中止！</source>
        <translation>Operation aborted by the user!</translation>
    </message>
    <message>
        <source>收发计数清零</source>
        <translation>Resets the Rx and Tx counters</translation>
    </message>
    <message>
        <source>数据信息不完整，无法备份！</source>
        <translation>The data is incomplete, cannot back up!</translation>
    </message>
    <message>
        <source>数据信息有误，无法备份！</source>
        <translation>The data is wrong, cannot back up!</translation>
    </message>
    <message>
        <source>数据块大小:</source>
        <translation>Block size:</translation>
    </message>
    <message>
        <source>数据块大小“%1”无效</source>
        <translation>Block size &quot;%1&quot; is not valid</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>文件:</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>文件为空，没有可发送的数据！</source>
        <translation>The file is empty, there is nothing to send!</translation>
    </message>
    <message>
        <source>文件太大（不能超过%1KB），未读取！</source>
        <translation>File too large (at most %1KB), not read!</translation>
    </message>
    <message>
        <source>文件太大（不能超过%1MB），不能使用！</source>
        <translation>File too large (at most %1MB), cannot be used!</translation>
    </message>
    <message>
        <source>文件太大：一次最多发送%1个数据块（%2字节）！</source>
        <translation>File too large: at most %1 blocks (%2 bytes) can be sent at a time!</translation>
    </message>
    <message>
        <source>文件夹“%1”不存在</source>
        <translation>Folder &quot;%1&quot; does not exist</translation>
    </message>
    <message>
        <source>文件长度必须是%1的倍数！</source>
        <translation>The file length must be a multiple of %1!</translation>
    </message>
    <message>
        <source>文本文件 (*.txt);;所有文件 (*)</source>
        <translation>Text files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>文本文件|*.txt|所有文件|*.*</source>
        <translation>Text files|*.txt|All files|*.*</translation>
    </message>
    <message>
        <source>无匹配</source>
        <translation>No match</translation>
    </message>
    <message>
        <source>无法写入！</source>
        <translation>Cannot write!</translation>
    </message>
    <message>
        <source>无法打开文件！</source>
        <translation>Cannot open the file!</translation>
    </message>
    <message>
        <source>无法显示图片 %1</source>
        <translation>Cannot show the picture %1</translation>
    </message>
    <message>
        <source>无法识别的段位信息：</source>
        <translation>Unrecognised zone table: </translation>
    </message>
    <message>
        <source>无法读取%1：%2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>无法读取文件“%1”（%2）</source>
        <translation>Cannot read file &quot;%1&quot; (%2)</translation>
    </message>
    <message>
        <source>显示各磁头的段位信息</source>
        <translation>Shows the zone information of every head</translation>
    </message>
    <message>
        <source>未完成的备份保存在：%1</source>
        <translation>The unfinished backup is kept in: %1</translation>
    </message>
    <message>
        <source>未知的命令“%1”</source>
        <translation>Unknown command &quot;%1&quot;</translation>
    </message>
    <message>
        <source>未连接</source>
        <translation>not connected</translation>
    </message>
    <message>
        <source>查找:</source>
        <translation>Find:</translation>
    </message>
    <message>
        <source>查找…</source>
        <translation>Find…</translation>
    </message>
    <message>
        <source>查看AGE</source>
        <translation>Show AGE</translation>
    </message>
    <message>
        <source>查看G表</source>
        <translation>Show G-list</translation>
    </message>
    <message>
        <source>查看PGM</source>
        <translation>Show PGM</translation>
    </message>
    <message>
        <source>查看P表</source>
        <translation>Show P-list</translation>
    </message>
    <message>
        <source>查看T表</source>
        <translation>Show T-list</translation>
    </message>
    <message>
        <source>查看校准流程</source>
        <translation>Show the calibration flow</translation>
    </message>
    <message>
        <source>查看校准流程（需T级）</source>
        <translation>Shows the calibration flow (needs T level)</translation>
    </message>
    <message>
        <source>查看校准记录</source>
        <translation>Show the calibration log</translation>
    </message>
    <message>
        <source>查看段位信息</source>
        <translation>Show zones</translation>
    </message>
    <message>
        <source>校准流程</source>
        <translation>Cal. flow</translation>
    </message>
    <message>
        <source>校准记录</source>
        <translation>Cal. log</translation>
    </message>
    <message>
        <source>模块地址</source>
        <translation>Module addresses</translation>
    </message>
    <message>
        <source>模块文件与SHA256SUMS不符：%1</source>
        <translation>Module file does not match SHA256SUMS: %1</translation>
    </message>
    <message>
        <source>模块文件长度不能大于127KB！</source>
        <translation>The module file must not be larger than 127KB!</translation>
    </message>
    <message>
        <source>模块文件长度不能大于1MB！</source>
        <translation>The module file must not be larger than 1MB!</translation>
    </message>
    <message>
        <source>模拟硬盘</source>
        <translation>Simulated drive</translation>
    </message>
    <message>
        <source>模拟硬盘 (%1)</source>
        <translation>Simulated drive (%1)</translation>
    </message>
    <message>
        <source>正在份析，请稍候........</source>
        <translation>Analysing, please wait........</translation>
    </message>
    <message>
        <source>正在写入ROM......</source>
        <translation>Writing ROM......</translation>
    </message>
    <message>
        <source>正在写入SN......</source>
        <translation>Writing SN......</translation>
    </message>
    <message>
        <source>正在写入信息，请稍候……</source>
        <translation>Writing the ID, please wait……</translation>
    </message>
    <message>
        <source>正在写入数据......</source>
        <translation>Writing data......</translation>
    </message>
    <message>
        <source>正在写入缓冲区......</source>
        <translation>Writing buffer......</translation>
    </message>
    <message>
        <source>正在加载APP.........</source>
        <translation>Loading APP.........</translation>
    </message>
    <message>
        <source>正在加载ATA0........</source>
        <translation>Loading ATA0........</translation>
    </message>
    <message>
        <source>正在加载ATA1........</source>
        <translation>Loading ATA1........</translation>
    </message>
    <message>
        <source>正在加载CERT........</source>
        <translation>Loading CERT........</translation>
    </message>
    <message>
        <source>正在加载TABLE.......</source>
        <translation>Loading TABLE.......</translation>
    </message>
    <message>
        <source>正在发送文件......</source>
        <translation>Sending file......</translation>
    </message>
    <message>
        <source>正在备份APP.............</source>
        <translation>Backing up APP.............</translation>
    </message>
    <message>
        <source>正在备份ATA.............</source>
        <translation>Backing up ATA.............</translation>
    </message>
    <message>
        <source>正在备份Cert Table......</source>
        <translation>Backing up Cert Table......</translation>
    </message>
    <message>
        <source>正在备份Cert............</source>
        <translation>Backing up Cert............</translation>
    </message>
    <message>
        <source>正在备份Vendor..........</source>
        <translation>Backing up Vendor..........</translation>
    </message>
    <message>
        <source>正在执行命令：</source>
        <translation>Running:</translation>
    </message>
    <message>
        <source>正在砍段......</source>
        <translation>Cutting zones......</translation>
    </message>
    <message>
        <source>正在获取保留区地址......</source>
        <translation>Getting the reserve area address......</translation>
    </message>
    <message>
        <source>正在获取模块地址........</source>
        <translation>Getting the module addresses........</translation>
    </message>
    <message>
        <source>正在获取缓冲区地址......</source>
        <translation>Getting the buffer address......</translation>
    </message>
    <message>
        <source>正在读取ROM.........</source>
        <translation>Reading ROM.........</translation>
    </message>
    <message>
        <source>正在读取数据.........</source>
        <translation>Reading data.........</translation>
    </message>
    <message>
        <source>正在读取缓冲区......</source>
        <translation>Reading buffer......</translation>
    </message>
    <message>
        <source>正在调整速率，请稍候........</source>
        <translation>Changing the speed, please wait........</translation>
    </message>
    <message>
        <source>段</source>
        <translation>Zone</translation>
    </message>
    <message>
        <source>段位信息</source>
        <translation>Zone table</translation>
    </message>
    <message>
        <source>段位信息保存完成！</source>
        <translation>Zone table saved!</translation>
    </message>
    <message>
        <source>段位信息加载完成！</source>
        <translation>Zone table loaded!</translation>
    </message>
    <message>
        <source>段位信息未加载！</source>
        <translation>The zone table is not loaded!</translation>
    </message>
    <message>
        <source>段号</source>
        <translation>Zone</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>波特率设定有误<byte value="xd"/> 请重新输入</source>
        <translation>Wrong baud rate<byte value="xd"/> Please enter it again</translation>
    </message>
    <message>
        <source>清SMART</source>
        <translation>Clear SMART</translation>
    </message>
    <message>
        <source>清健康值</source>
        <translation>Clear health</translation>
    </message>
    <message>
        <source>清空(&amp;D)</source>
        <translation>C&amp;lear</translation>
    </message>
    <message>
        <source>清空G表</source>
        <translation>Clear G-list</translation>
    </message>
    <message>
        <source>清空P表</source>
        <translation>Clear P-list</translation>
    </message>
    <message>
        <source>清空地址</source>
        <translation>Clear addresses</translation>
    </message>
    <message>
        <source>清空所有地址栏</source>
        <translation>Empties every address field</translation>
    </message>
    <message>
        <source>清空接收区</source>
        <translation>Clear console</translation>
    </message>
    <message>
        <source>清空接收区 (F8)</source>
        <translation>Clear the console (F8)</translation>
    </message>
    <message>
        <source>清空脚本</source>
        <translation>Clear script</translation>
    </message>
    <message>
        <source>源文件%1:</source>
        <translation>Source file %1:</translation>
    </message>
    <message>
        <source>源文件%1不存在！</source>
        <translation>Source file %1 does not exist!</translation>
    </message>
    <message>
        <source>源文件%1的截取范围超出源文件%1长度！</source>
        <translation>The range of source file %1 goes past the end of source file %1!</translation>
    </message>
    <message>
        <source>源文件1</source>
        <translation>Source file 1</translation>
    </message>
    <message>
        <source>源文件2</source>
        <translation>Source file 2</translation>
    </message>
    <message>
        <source>生成文件</source>
        <translation>Build file</translation>
    </message>
    <message>
        <source>生成文件%1失败！</source>
        <translation>Creating file %1 failed!</translation>
    </message>
    <message>
        <source>生成文件失败！</source>
        <translation>Building the file failed!</translation>
    </message>
    <message>
        <source>生成文件完成！</source>
        <translation>File built!</translation>
    </message>
    <message>
        <source>用户中止！</source>
        <translation>Aborted by the user!</translation>
    </message>
    <message>
        <source>电机停转</source>
        <translation>Spin down</translation>
    </message>
    <message>
        <source>电机启动</source>
        <translation>Spin up</translation>
    </message>
    <message>
        <source>监控与维修</source>
        <translation>Monitor and repair</translation>
    </message>
    <message>
        <source>监控命令</source>
        <translation>Monitor commands</translation>
    </message>
    <message>
        <source>目标文件</source>
        <translation>Target file</translation>
    </message>
    <message>
        <source>目标文件:</source>
        <translation>Target file:</translation>
    </message>
    <message>
        <source>砍指定段</source>
        <translation>Cut the given zone</translation>
    </message>
    <message>
        <source>砍段</source>
        <translation>Cut zone</translation>
    </message>
    <message>
        <source>硬盘ID</source>
        <translation>Drive ID</translation>
    </message>
    <message>
        <source>硬盘ID信息</source>
        <translation>Drive ID info</translation>
    </message>
    <message>
        <source>硬盘容量不能大于2048G或小于10G！</source>
        <translation>The drive capacity must be from 10G to 2048G!</translation>
    </message>
    <message>
        <source>硬盘容量共减少%1扇区(约%2G)，请保存段位信息并调整硬盘LBA！</source>
        <translation>The drive capacity is %1 sectors (about %2G) smaller; save the zone table and adjust the drive&apos;s LBA!</translation>
    </message>
    <message>
        <source>确认清空P表吗?</source>
        <translation>Clear the P-list?</translation>
    </message>
    <message>
        <source>磁头:</source>
        <translation>Head:</translation>
    </message>
    <message>
        <source>磁头号</source>
        <translation>Head</translation>
    </message>
    <message>
        <source>磁头号和段号不能同时为FF！</source>
        <translation>Head and zone cannot both be FF!</translation>
    </message>
    <message>
        <source>磁头序列号表</source>
        <translation>Head S/N table</translation>
    </message>
    <message>
        <source>磁道:</source>
        <translation>Track:</translation>
    </message>
    <message>
        <source>程序文件夹不可写，机型表使用：%1</source>
        <translation>The program folder is not writable; family table used: %1</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>等待提示符超时：%1</source>
        <translation>No prompt after: %1</translation>
    </message>
    <message>
        <source>等待硬盘应答时一收到应答就继续（命令与超时不变）</source>
        <translation>Go on as soon as the drive&apos;s answer is in (same commands and timeouts)</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>级别与维修</source>
        <translation>Levels and repair</translation>
    </message>
    <message>
        <source>缓冲区</source>
        <translation>Buffer</translation>
    </message>
    <message>
        <source>缓冲区:</source>
        <translation>Buffer:</translation>
    </message>
    <message>
        <source>缓冲区与磁道</source>
        <translation>Buffer and tracks</translation>
    </message>
    <message>
        <source>缓冲区写入</source>
        <translation>Write via buffer</translation>
    </message>
    <message>
        <source>缓冲区地址</source>
        <translation>Buffer address</translation>
    </message>
    <message>
        <source>缓冲区读写</source>
        <translation>Buffer read/write</translation>
    </message>
    <message>
        <source>缓冲区读取</source>
        <translation>Read via buffer</translation>
    </message>
    <message>
        <source>缺少参数</source>
        <translation>Missing argument</translation>
    </message>
    <message>
        <source>缺陷表管理</source>
        <translation>Defect lists</translation>
    </message>
    <message>
        <source>网址：</source>
        <translation>Website: </translation>
    </message>
    <message>
        <source>联系方式：</source>
        <translation>Contact:</translation>
    </message>
    <message>
        <source>脚本中有无法以GBK保存的字符，未保存：%1</source>
        <translation>The script has characters that GBK cannot hold, not saved: %1</translation>
    </message>
    <message>
        <source>脚本文件太大（不能超过1MB）：%1</source>
        <translation>Script file too large (at most 1MB): %1</translation>
    </message>
    <message>
        <source>自动清空</source>
        <translation>Auto clear</translation>
    </message>
    <message>
        <source>自校准与电机</source>
        <translation>Self-calibration and motor</translation>
    </message>
    <message>
        <source>被用户中止！</source>
        <translation>Aborted by the user!</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>计数清零</source>
        <translation>Reset counters</translation>
    </message>
    <message>
        <source>认盘</source>
        <translation>Identify</translation>
    </message>
    <message>
        <source>设置读写磁道数据的速率</source>
        <translation>Sets the speed for reading and writing track data</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>请先加载CERT模块！</source>
        <translation>Please load the CERT module first!</translation>
    </message>
    <message>
        <source>请先加载Cert模块！(按^R加载Cert)</source>
        <translation>Please load the Cert module first! (^R loads Cert)</translation>
    </message>
    <message>
        <source>请先加载段位信息</source>
        <translation>Load the zone table first</translation>
    </message>
    <message>
        <source>请先输入SN！</source>
        <translation>Please enter the SN first!</translation>
    </message>
    <message>
        <source>请指定%1模块文件！</source>
        <translation>Please choose the %1 module file!</translation>
    </message>
    <message>
        <source>请指定LBA值！</source>
        <translation>Please enter an LBA value!</translation>
    </message>
    <message>
        <source>请指定数据块大小！</source>
        <translation>Please choose the block size!</translation>
    </message>
    <message>
        <source>请指定文件！</source>
        <translation>Please choose a file!</translation>
    </message>
    <message>
        <source>请指定磁头号和段号！</source>
        <translation>Please enter the head and zone numbers!</translation>
    </message>
    <message>
        <source>请指定要写入的磁道、起始扇区和扇区数(十六进制数据)！</source>
        <translation>Please enter the track, start sector and sector count to write (hexadecimal)!</translation>
    </message>
    <message>
        <source>请指定要写入的缓冲区开始位置及长度！</source>
        <translation>Please enter the buffer start and length to write!</translation>
    </message>
    <message>
        <source>请指定要加载的模块！</source>
        <translation>Please choose the modules to load!</translation>
    </message>
    <message>
        <source>请指定要读取的磁道、磁头、起始扇区和扇区数(十六进制数据)！</source>
        <translation>Please enter the track, head, start sector and sector count to read (hexadecimal)!</translation>
    </message>
    <message>
        <source>请指定要读取的缓冲区开始位置及长度！</source>
        <translation>Please enter the buffer start and length to read!</translation>
    </message>
    <message>
        <source>请指定读取后保存的文件！</source>
        <translation>Please choose the file to save the ROM to!</translation>
    </message>
    <message>
        <source>请设置源文件%1的截取范围！</source>
        <translation>Please set the range of source file %1!</translation>
    </message>
    <message>
        <source>请设置目标文件！</source>
        <translation>Please set the target file!</translation>
    </message>
    <message>
        <source>请输入有效的数字！</source>
        <translation>Please enter a valid number!</translation>
    </message>
    <message>
        <source>请输入硬盘型号！</source>
        <translation>Please enter the drive model!</translation>
    </message>
    <message>
        <source>请输入硬盘容量！</source>
        <translation>Please enter the drive capacity!</translation>
    </message>
    <message>
        <source>请输入要执行的命令脚本！</source>
        <translation>Please enter the command script to run!</translation>
    </message>
    <message>
        <source>请选择保存位置！</source>
        <translation>Please choose where to save!</translation>
    </message>
    <message>
        <source>请选择固件类型！</source>
        <translation>Please choose the firmware type!</translation>
    </message>
    <message>
        <source>请选择要写入的ROM文件！</source>
        <translation>Please choose the ROM file to write!</translation>
    </message>
    <message>
        <source>请选择需要写入的信息！</source>
        <translation>Please choose what to write!</translation>
    </message>
    <message>
        <source>请选择需要备份的固件模块！</source>
        <translation>Please choose the firmware modules to back up!</translation>
    </message>
    <message>
        <source>读</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>读Buffer</source>
        <translation>Read buffer</translation>
    </message>
    <message>
        <source>读串行ROM</source>
        <translation>Read serial ROM</translation>
    </message>
    <message>
        <source>读入ROM文件出错，文个无法打开！</source>
        <translation>Error reading the ROM file: it cannot be opened!</translation>
    </message>
    <message>
        <source>读入ROM文件出错，文件太小！</source>
        <translation>Error reading the ROM file: the file is too small!</translation>
    </message>
    <message>
        <source>读写</source>
        <translation>Read/write</translation>
    </message>
    <message>
        <source>读写串行ROM</source>
        <translation>Serial ROM</translation>
    </message>
    <message>
        <source>读写速率:</source>
        <translation>R/W speed:</translation>
    </message>
    <message>
        <source>读出缓冲区并存为文件</source>
        <translation>Reads the buffer into a file</translation>
    </message>
    <message>
        <source>读取%1并存为文件</source>
        <translation>Reads %1 into a file</translation>
    </message>
    <message>
        <source>读取:</source>
        <translation>Read:</translation>
    </message>
    <message>
        <source>读取ROM数据有误，是否使用指令方法读取?</source>
        <translation>The ROM data read is wrong. Read it by commands instead?</translation>
    </message>
    <message>
        <source>读取指定磁道的扇区并存为文件</source>
        <translation>Reads sectors of the given track into a file</translation>
    </message>
    <message>
        <source>读取数据错误，请调低一档速率后再试!</source>
        <translation>Data read error, lower the speed one step and try again!</translation>
    </message>
    <message>
        <source>读取段位参数失败！</source>
        <translation>Reading the zone parameters failed!</translation>
    </message>
    <message>
        <source>读取脚本文件失败：%1</source>
        <translation>Reading the script file failed: %1</translation>
    </message>
    <message>
        <source>读指定磁道</source>
        <translation>Read track</translation>
    </message>
    <message>
        <source>读表面</source>
        <translation>Read surface</translation>
    </message>
    <message>
        <source>起始扇区:</source>
        <translation>Start sector:</translation>
    </message>
    <message>
        <source>转F级</source>
        <translation>To F level</translation>
    </message>
    <message>
        <source>转换</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>转换至F级...........</source>
        <translation>Going to F level...........</translation>
    </message>
    <message>
        <source>转换至F级...........失败！</source>
        <translation>Switching to F level...........Failed!</translation>
    </message>
    <message>
        <source>转换至F级失败！</source>
        <translation>Switch to F level failed!</translation>
    </message>
    <message>
        <source>转至1级失败！</source>
        <translation>Going to level 1 failed!</translation>
    </message>
    <message>
        <source>输入LBA值</source>
        <translation>Enter an LBA value</translation>
    </message>
    <message>
        <source>运行脚本</source>
        <translation>Run script</translation>
    </message>
    <message>
        <source>还有 %1 行未发送</source>
        <translation>%1 more lines not sent</translation>
    </message>
    <message>
        <source>选择%1模块文件</source>
        <translation>Choose the %1 module file</translation>
    </message>
    <message>
        <source>选择写入文件（HDD ID扇区）</source>
        <translation>Choose the file to write (HDD ID sector)</translation>
    </message>
    <message>
        <source>选择发送文件</source>
        <translation>Choose the file to send</translation>
    </message>
    <message>
        <source>选择固件保存位置</source>
        <translation>Choose where to save the firmware</translation>
    </message>
    <message>
        <source>选择固件文件夹</source>
        <translation>Choose the firmware folder</translation>
    </message>
    <message>
        <source>选择的端口正在被使用或不存在！</source>
        <translation>The chosen port is in use or does not exist!</translation>
    </message>
    <message>
        <source>选择目标文件夹</source>
        <translation>Choose the target folder</translation>
    </message>
    <message>
        <source>选择要发送的文件</source>
        <translation>Chooses the file to send</translation>
    </message>
    <message>
        <source>逐行发送（每行等待提示符）</source>
        <translation>Send line by line (wait for the prompt)</translation>
    </message>
    <message>
        <source>重新加载段位信息</source>
        <translation>Reload the zone table</translation>
    </message>
    <message>
        <source>重置</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>重载</source>
        <translation>Reload</translation>
    </message>
    <message>
        <source>错误: %1，此行未执行：%2</source>
        <translation>Error: %1, line not run: %2</translation>
    </message>
    <message>
        <source>错误: 串口连接已断开！</source>
        <translation>Error: the serial connection is lost!</translation>
    </message>
    <message>
        <source>错误: 第%1行 %2：%3</source>
        <translation>Error: line %1 %2: %3</translation>
    </message>
    <message>
        <source>错误: 第%1行 %2：执行失败</source>
        <translation>Error: line %1 %2: failed</translation>
    </message>
    <message>
        <source>错误: 请先切换至T级！</source>
        <translation>Error: switch to T level first!</translation>
    </message>
    <message>
        <source>错误: 请先转至T级！</source>
        <translation>Error: go to T level first!</translation>
    </message>
    <message>
        <source>长度:</source>
        <translation>Length:</translation>
    </message>
    <message>
        <source>需T级</source>
        <translation>Needs T level</translation>
    </message>
    <message>
        <source>需T级；在1级清除SMART</source>
        <translation>Needs T level; clears SMART at level 1</translation>
    </message>
    <message>
        <source>需备份固件：</source>
        <translation>Firmware to back up:</translation>
    </message>
</context>
</TS>
