<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en_US">
<context>
    <name>AboutForm</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Orvane Hotel Front Desk</source>
        <translation>Orvane 酒店前台系统</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>版本</translation>
    </message>
    <message>
        <source>Not connect!</source>
        <translation>未连接！</translation>
    </message>
    <message>
        <source>Encoder no. </source>
        <translation>发卡器编号 </translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>Backup</name>
    <message>
        <source>The open database is not a database file.</source>
        <translation>打开的数据库不是数据库文件。</translation>
    </message>
    <message>
        <source>%1: the %2 could not be given this name</source>
        <translation>%1：无法为%2设置此文件名</translation>
    </message>
    <message>
        <source>the copy did not pass its check (%1)</source>
        <translation>副本未通过检查（%1）</translation>
    </message>
    <message>
        <source>the copy could not be closed</source>
        <translation>副本无法关闭</translation>
    </message>
    <message>
        <source>copy</source>
        <translation>副本</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a database file of the older workstations; this program keeps its data in another kind of database and cannot restore from it.</source>
        <translation>“%1”是旧版工作站的数据库文件；本程序使用另一种数据库保存数据，无法从该文件恢复。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a database.</source>
        <translation>“%1”不是数据库。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a damaged database (%2).</source>
        <translation>“%1”是已损坏的数据库（%2）。</translation>
    </message>
    <message>
        <source>the tables </source>
        <translation>数据表 </translation>
    </message>
    <message>
        <source>the columns </source>
        <translation>字段 </translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a hotel database this program can work on; it lacks %2.</source>
        <translation>“%1”不是本程序可用的酒店数据库；缺少%2。</translation>
    </message>
    <message>
        <source> and </source>
        <translation> 和 </translation>
    </message>
    <message>
        <source>the copy of the working data could not be kept: %1 already exists.</source>
        <translation>无法保留当前数据的副本：%1 已存在。</translation>
    </message>
    <message>
        <source>the copy of the working data could not be kept: %1</source>
        <translation>无法保留当前数据的副本：%1</translation>
    </message>
    <message>
        <source>pg_dump was not found.</source>
        <translation>未找到 pg_dump。</translation>
    </message>
    <message>
        <source>dump</source>
        <translation>转储</translation>
    </message>
</context>
<context>
    <name>CardCommand</name>
    <message>
        <source>The card command could not store its records.</source>
        <translation>卡操作的记录无法保存。</translation>
    </message>
    <message>
        <source>Another workstation is issuing a card with the same serial counter. No card was written; try again in a moment.</source>
        <translation>另一台工作站正在使用同一序号计数器发卡。未写卡，请稍后再试。</translation>
    </message>
    <message>
        <source>The database cannot store the card&apos;s records: %1. No card was written.</source>
        <translation>数据库无法保存该卡的记录：%1。未写卡。</translation>
    </message>
    <message>
        <source>The card was written but it was not recorded: </source>
        <translation>卡已写入，但未能记录：</translation>
    </message>
    <message>
        <source>. Take the card back and issue it again.</source>
        <translation>。请收回此卡并重新发卡。</translation>
    </message>
</context>
<context>
    <name>CardReading</name>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
</context>
<context>
    <name>CardResult</name>
    <message>
        <source>Success!</source>
        <translation>成功！</translation>
    </message>
    <message>
        <source>No Card!</source>
        <translation>无卡！</translation>
    </message>
    <message>
        <source>No encoder</source>
        <translation>无发卡器</translation>
    </message>
    <message>
        <source>Failure!</source>
        <translation>失败！</translation>
    </message>
</context>
<context>
    <name>CardType</name>
    <message>
        <source>Data-clear card</source>
        <translation>清除卡</translation>
    </message>
    <message>
        <source>Time card</source>
        <translation>时间卡</translation>
    </message>
    <message>
        <source>Emergency / passage setting card</source>
        <translation>应急/通道设置卡</translation>
    </message>
    <message>
        <source>Guest card</source>
        <translation>客人卡</translation>
    </message>
    <message>
        <source>Floor card</source>
        <translation>楼层卡</translation>
    </message>
    <message>
        <source>Group card</source>
        <translation>区域卡</translation>
    </message>
    <message>
        <source>Building card</source>
        <translation>楼栋卡</translation>
    </message>
    <message>
        <source>Master card</source>
        <translation>总卡</translation>
    </message>
    <message>
        <source>Loss-report card</source>
        <translation>挂失卡</translation>
    </message>
    <message>
        <source>Data startup card</source>
        <translation>数据启动卡</translation>
    </message>
</context>
<context>
    <name>CdForm</name>
    <message>
        <source>Database connecting</source>
        <translation>数据库连接</translation>
    </message>
    <message>
        <source>Access</source>
        <translation>Access</translation>
    </message>
    <message>
        <source>Database path:</source>
        <translation>数据库路径：</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>浏览...</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>测试</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>ChangePassword_Form</name>
    <message>
        <source>Change password</source>
        <translation>修改密码</translation>
    </message>
    <message>
        <source>Enter current password</source>
        <translation>输入当前密码</translation>
    </message>
    <message>
        <source>Enter new code</source>
        <translation>输入新密码</translation>
    </message>
    <message>
        <source>Confirm new code</source>
        <translation>确认新密码</translation>
    </message>
    <message>
        <source>Ok(&amp;O)</source>
        <translation>确定(&amp;O)</translation>
    </message>
</context>
<context>
    <name>CheckCardForm</name>
    <message>
        <source>Read Card</source>
        <translation>读卡</translation>
    </message>
    <message>
        <source>Card Type:</source>
        <translation>卡类型：</translation>
    </message>
    <message>
        <source>Begin Time:</source>
        <translation>开始时间：</translation>
    </message>
    <message>
        <source>End Time:</source>
        <translation>结束时间：</translation>
    </message>
    <message>
        <source>GuestName.</source>
        <translation>客人姓名</translation>
    </message>
    <message>
        <source>Guest ID.</source>
        <translation>证件号码</translation>
    </message>
    <message>
        <source>Room no.</source>
        <translation>房号</translation>
    </message>
    <message>
        <source>Group No.</source>
        <translation>区域号</translation>
    </message>
    <message>
        <source>Building no.</source>
        <translation>楼栋号</translation>
    </message>
    <message>
        <source>Floor No.</source>
        <translation>楼层号</translation>
    </message>
    <message>
        <source>Read Card(&amp;R)</source>
        <translation>读卡(&amp;R)</translation>
    </message>
    <message>
        <source>Revoke Card(&amp;G)</source>
        <translation>注销卡(&amp;G)</translation>
    </message>
    <message>
        <source>Close(&amp;C)</source>
        <translation>关闭(&amp;C)</translation>
    </message>
</context>
<context>
    <name>ClockRoom_Form</name>
    <message>
        <source>book the room by hours-issue guest card</source>
        <translation>钟点房-发客人卡</translation>
    </message>
    <message>
        <source>booking infomation</source>
        <translation>入住信息</translation>
    </message>
    <message>
        <source>Enter room no.</source>
        <translation>输入房号</translation>
    </message>
    <message>
        <source>Stay hours</source>
        <translation>入住小时数</translation>
    </message>
    <message>
        <source>Check-in time:</source>
        <translation>入住时间：</translation>
    </message>
    <message>
        <source>Check-out time:</source>
        <translation>退房时间：</translation>
    </message>
    <message>
        <source>Guest name:</source>
        <translation>客人姓名：</translation>
    </message>
    <message>
        <source>Passport no.:</source>
        <translation>证件号码：</translation>
    </message>
    <message>
        <source>Select room</source>
        <translation>选择房间</translation>
    </message>
    <message>
        <source>press F2 to show room list</source>
        <translation>按 F2 显示房间列表</translation>
    </message>
    <message>
        <source>Issue(&amp;Y)</source>
        <translation>发卡(&amp;Y)</translation>
    </message>
    <message>
        <source>Close&amp;C)</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>小时</translation>
    </message>
</context>
<context>
    <name>CopyGuestCard_Form</name>
    <message>
        <source>Copy guest card</source>
        <translation>复制客人卡</translation>
    </message>
    <message>
        <source>Room no.</source>
        <translation>房号</translation>
    </message>
    <message>
        <source>Stay days</source>
        <translation>入住天数</translation>
    </message>
    <message>
        <source>Check-in time</source>
        <translation>入住时间</translation>
    </message>
    <message>
        <source>Check-out time</source>
        <translation>退房时间</translation>
    </message>
    <message>
        <source>Guest name</source>
        <translation>客人姓名</translation>
    </message>
    <message>
        <source>Passport no.</source>
        <translation>证件号码</translation>
    </message>
    <message>
        <source>Select Rooms</source>
        <translation>选择房间</translation>
    </message>
    <message>
        <source>Copy guest card(&amp;Y)</source>
        <translation>复制客人卡(&amp;Y)</translation>
    </message>
    <message>
        <source>Close(&amp;C)</source>
        <translation>关闭(&amp;C)</translation>
    </message>
</context>
<context>
    <name>Database</name>
    <message>
        <source>The connection to the database server was lost; the command was abandoned and nothing of it was stored.</source>
        <translation>与数据库服务器的连接已断开；操作已放弃，未保存任何内容。</translation>
    </message>
    <message>
        <source>The database kind &quot;%1&quot; is not available on this workstation.</source>
        <translation>本工作站不支持数据库类型“%1”。</translation>
    </message>
    <message>
        <source>Could not find file &apos;%1&apos;.</source>
        <translation>找不到文件“%1”。</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; is not a database this program can open (%2).</source>
        <translation>文件“%1”不是本程序能打开的数据库（%2）。</translation>
    </message>
    <message>
        <source>The database server driver is not installed on this workstation.</source>
        <translation>本工作站未安装数据库服务器驱动程序。</translation>
    </message>
    <message>
        <source>The database connection is not open.</source>
        <translation>数据库连接未打开。</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid date and time</source>
        <translation>“%1”不是有效的日期时间</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>“%1”不是有效的整数</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>“%1”不是有效的数值</translation>
    </message>
    <message>
        <source>Could not create the file &apos;%1&apos;: %2</source>
        <translation>无法创建文件“%1”：%2</translation>
    </message>
    <message>
        <source>The database %1 on the server already holds a hotel; it is left as it is.</source>
        <translation>服务器上的数据库 %1 已有酒店数据；未作任何改动。</translation>
    </message>
</context>
<context>
    <name>DistrictSetting_Form</name>
    <message>
        <source>Group Setting</source>
        <translation>区域设置</translation>
    </message>
    <message>
        <source>Group no.</source>
        <translation>区域号</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>说明</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>Districts</name>
    <message>
        <source>Group no. must be a whole number from %1 to %2</source>
        <translation>区域号必须是 %1 到 %2 之间的整数</translation>
    </message>
</context>
<context>
    <name>DoorRecords</name>
    <message>
        <source>Record %1 has no valid opening time (year %2, month %3, day %4, hour %5, minute %6). It is stored without an opening time.</source>
        <translation>第 %1 条记录的开门时间无效（%2 年 %3 月 %4 日 %5 时 %6 分），已按无开门时间保存。</translation>
    </message>
    <message>
        <source>The data card holds openings of the lock in building %1, floor %2, room %3, which is no room of this hotel. Nothing was changed.</source>
        <translation>数据卡中的开门记录来自 %1 栋 %2 层 %3 号房的门锁，本酒店没有该房间。未作任何改动。</translation>
    </message>
</context>
<context>
    <name>Encoder</name>
    <message>
        <source>The encoder system code &quot;%1&quot; in Quenmar.ini is not eight hexadecimal characters; it was not handed to the encoder.</source>
        <translation>Quenmar.ini 中的发卡器系统码“%1”不是 8 位十六进制字符，未传给发卡器。</translation>
    </message>
    <message>
        <source>Connecting warning</source>
        <translation>连接警告</translation>
    </message>
    <message>
        <source>No tool encoder connected!</source>
        <translation>未连接发卡器！</translation>
    </message>
</context>
<context>
    <name>GuestCardForm</name>
    <message>
        <source>Select Rooms</source>
        <translation>选择房间</translation>
    </message>
    <message>
        <source>Read card</source>
        <translation>读卡</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>小时</translation>
    </message>
    <message>
        <source>dddd, MMMM d, yyyy</source>
        <translation>yyyy年M月d日 dddd</translation>
    </message>
    <message>
        <source>HH:mm:ss</source>
        <translation>HH:mm:ss</translation>
    </message>
    <message>
        <source>Issue(&amp;Y)</source>
        <translation>发卡(&amp;Y)</translation>
    </message>
    <message>
        <source>Copy guest card</source>
        <translation>复制客人卡</translation>
    </message>
</context>
<context>
    <name>GuestLeave_Form</name>
    <message>
        <source>Check -out</source>
        <translation>退房</translation>
    </message>
    <message>
        <source>Check-out(&amp;U)</source>
        <translation>退房(&amp;U)</translation>
    </message>
    <message>
        <source>Close(&amp;C)</source>
        <translation>关闭(&amp;C)</translation>
    </message>
</context>
<context>
    <name>GuestQuickIn_Form</name>
    <message>
        <source>Check-in/Issue guest card</source>
        <translation>入住/发客人卡</translation>
    </message>
    <message>
        <source>Enter room no.:</source>
        <translation>输入房号：</translation>
    </message>
    <message>
        <source>Stay days:</source>
        <translation>入住天数：</translation>
    </message>
    <message>
        <source>Check-in time:</source>
        <translation>入住时间：</translation>
    </message>
    <message>
        <source>Check-out time:</source>
        <translation>退房时间：</translation>
    </message>
    <message>
        <source>Guest name:</source>
        <translation>客人姓名：</translation>
    </message>
    <message>
        <source>Passport no.:</source>
        <translation>证件号码：</translation>
    </message>
    <message>
        <source>Select Rooms</source>
        <translation>选择房间</translation>
    </message>
    <message>
        <source>Press F2 to show room list</source>
        <translation>按 F2 显示房间列表</translation>
    </message>
    <message>
        <source>Issue(&amp;Y)</source>
        <translation>发卡(&amp;Y)</translation>
    </message>
    <message>
        <source>Copy guest card</source>
        <translation>复制客人卡</translation>
    </message>
    <message>
        <source>Close&amp;C)</source>
        <translation>关闭(&amp;C)</translation>
    </message>
</context>
<context>
    <name>InputPasswordBox</name>
    <message>
        <source>MyInputBox</source>
        <translation>输入</translation>
    </message>
    <message>
        <source>Input password again:</source>
        <translation>再次输入密码：</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>LogonForm</name>
    <message>
        <source>Login</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>Orvane V16.0</source>
        <translation>Orvane V16.0</translation>
    </message>
    <message>
        <source>enter the system administrator name(USER) and password for the  first time use</source>
        <translation>首次使用，请输入系统管理员的用户名和密码</translation>
    </message>
    <message>
        <source>User Name:</source>
        <translation>用户名：</translation>
    </message>
    <message>
        <source>User Password:</source>
        <translation>密码：</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>MC_R_From</name>
    <message>
        <source>Checking card issue log</source>
        <translation>查询发卡记录</translation>
    </message>
    <message>
        <source>Card type:</source>
        <translation>卡类型：</translation>
    </message>
    <message>
        <source>Check from</source>
        <translation>查询日期</translation>
    </message>
    <message>
        <source>to</source>
        <translation>至</translation>
    </message>
    <message>
        <source>Check(&amp;R)</source>
        <translation>查询(&amp;R)</translation>
    </message>
    <message>
        <source>Delete issue records 1 year ago</source>
        <translation>删除一年前的发卡记录</translation>
    </message>
    <message>
        <source>Print(&amp;P)</source>
        <translation>打印(&amp;P)</translation>
    </message>
    <message>
        <source>Close(&amp;C)</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>Record: </source>
        <translation>记录：</translation>
    </message>
    <message>
        <source>All card types</source>
        <translation>全部卡类型</translation>
    </message>
    <message>
        <source>The file does not exist. Please choose another one!</source>
        <translation>文件不存在，请重新选择！</translation>
    </message>
    <message>
        <source>Verification code:</source>
        <translation>验证码：</translation>
    </message>
</context>
<context>
    <name>MainForm</name>
    <message>
        <source>Orvane V18.0</source>
        <translation>Orvane V18.0</translation>
    </message>
    <message>
        <source>Check-in[F1]</source>
        <translation>入住[F1]</translation>
    </message>
    <message>
        <source>Stay Extend[F2]</source>
        <translation>续住[F2]</translation>
    </message>
    <message>
        <source>Check-out[F3]</source>
        <translation>退房[F3]</translation>
    </message>
    <message>
        <source>Read Card[F4]</source>
        <translation>读卡[F4]</translation>
    </message>
    <message>
        <source>Revoke Card[F5]</source>
        <translation>注销卡[F5]</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Card Operation</source>
        <translation>卡操作</translation>
    </message>
    <message>
        <source>Log Checking</source>
        <translation>记录查询</translation>
    </message>
    <message>
        <source>User Management</source>
        <translation>操作员管理</translation>
    </message>
    <message>
        <source>System Setting</source>
        <translation>系统设置</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Issue Card</source>
        <translation>发卡</translation>
    </message>
    <message>
        <source>Read Card</source>
        <translation>读卡</translation>
    </message>
    <message>
        <source>F4</source>
        <translation>F4</translation>
    </message>
    <message>
        <source>Revoke Card</source>
        <translation>注销卡</translation>
    </message>
    <message>
        <source>F5</source>
        <translation>F5</translation>
    </message>
    <message>
        <source>Read data card</source>
        <translation>读数据卡</translation>
    </message>
    <message>
        <source>Check-in</source>
        <translation>入住</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>Copy guest card</source>
        <translation>复制客人卡</translation>
    </message>
    <message>
        <source>Hour stay booking</source>
        <translation>钟点房</translation>
    </message>
    <message>
        <source>Stay extend</source>
        <translation>续住</translation>
    </message>
    <message>
        <source>F2</source>
        <translation>F2</translation>
    </message>
    <message>
        <source>Check-out</source>
        <translation>退房</translation>
    </message>
    <message>
        <source>F3</source>
        <translation>F3</translation>
    </message>
    <message>
        <source>Opening records</source>
        <translation>开门记录</translation>
    </message>
    <message>
        <source>Operation log</source>
        <translation>操作日志</translation>
    </message>
    <message>
        <source>Issuing Records</source>
        <translation>发卡记录</translation>
    </message>
    <message>
        <source>Room Status</source>
        <translation>房态</translation>
    </message>
    <message>
        <source>Entitle users</source>
        <translation>操作员权限</translation>
    </message>
    <message>
        <source>Change password</source>
        <translation>修改密码</translation>
    </message>
    <message>
        <source>Parameter setting</source>
        <translation>参数设置</translation>
    </message>
    <message>
        <source>Room type setting</source>
        <translation>房型设置</translation>
    </message>
    <message>
        <source>Room No. setting</source>
        <translation>房号设置</translation>
    </message>
    <message>
        <source>Group setting</source>
        <translation>区域设置</translation>
    </message>
    <message>
        <source>Data backup</source>
        <translation>数据备份</translation>
    </message>
    <message>
        <source>Data recovery</source>
        <translation>数据恢复</translation>
    </message>
    <message>
        <source>Database connecting</source>
        <translation>数据库连接</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Operating instruction</source>
        <translation>操作说明</translation>
    </message>
    <message>
        <source>Trouble shooting</source>
        <translation>故障排除</translation>
    </message>
    <message>
        <source>Data backup and recovery</source>
        <translation>数据备份与恢复</translation>
    </message>
    <message>
        <source>The backup is done.</source>
        <translation>备份完成。</translation>
    </message>
    <message>
        <source>A file of this name already exists; it was left as it is. Choose another name.</source>
        <translation>同名文件已存在，未作改动。请另选文件名。</translation>
    </message>
    <message>
        <source>The data is restored. The data it replaced is kept in this file:</source>
        <translation>数据已恢复。被替换的数据保存在以下文件中：</translation>
    </message>
    <message>
        <source>The file to restore from does not exist.</source>
        <translation>要恢复的文件不存在。</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>All buildings</source>
        <translation>全部楼栋</translation>
    </message>
    <message>
        <source>All floors</source>
        <translation>全部楼层</translation>
    </message>
    <message>
        <source>The data was not restored; the working data is unchanged.</source>
        <translation>数据未恢复，当前数据未作改动。</translation>
    </message>
    <message>
        <source>The backup failed; no backup file was written.</source>
        <translation>备份失败，未写入备份文件。</translation>
    </message>
    <message>
        <source>The database server is backed up with pg_dump, which is not installed on this workstation. Install the database server&apos;s client programs and try again.</source>
        <translation>数据库服务器需用 pg_dump 备份，本工作站未安装该程序。请安装数据库服务器的客户端程序后重试。</translation>
    </message>
    <message>
        <source>This workstation uses the shared database server. The server&apos;s database is restored by its administrator with pg_restore, not from a workstation.</source>
        <translation>本工作站使用共享的数据库服务器。服务器数据库由其管理员用 pg_restore 恢复，不能在工作站上恢复。</translation>
    </message>
    <message>
        <source>This file is the database the program is working on; nothing was restored. Choose a backup file to restore from.</source>
        <translation>该文件是程序正在使用的数据库，未恢复任何数据。请选择一个备份文件进行恢复。</translation>
    </message>
    <message>
        <source>The file has no operator account. After the restore, the next start will create the first administrator. Restore from this file?</source>
        <translation>该文件中没有操作员账号。恢复后，下次启动时将创建第一个管理员。确定从该文件恢复吗？</translation>
    </message>
    <message>
        <source>No operator of the file can manage operators and log on (none with that right has a password). After the restore, nobody can manage operator accounts. Restore from this file?</source>
        <translation>该文件中没有可以管理操作员并能登录的操作员（有此权限者均未设密码）。恢复后将无人能管理操作员账号。确定从该文件恢复吗？</translation>
    </message>
</context>
<context>
    <name>MakeCard_Form</name>
    <message>
        <source>Issue card</source>
        <translation>发卡</translation>
    </message>
    <message>
        <source>Time card</source>
        <translation>时间卡</translation>
    </message>
    <message>
        <source>Card holder:</source>
        <translation>持卡人：</translation>
    </message>
    <message>
        <source>End date/time:</source>
        <translation>结束时间：</translation>
    </message>
    <message>
        <source>dddd, MMMM d, yyyy</source>
        <translation>yyyy年M月d日 dddd</translation>
    </message>
    <message>
        <source>HH:mm:ss</source>
        <translation>HH:mm:ss</translation>
    </message>
    <message>
        <source>Data startup card</source>
        <translation>数据启动卡</translation>
    </message>
    <message>
        <source>Start date/time:</source>
        <translation>开始时间：</translation>
    </message>
    <message>
        <source>Master card</source>
        <translation>总卡</translation>
    </message>
    <message>
        <source>Group card</source>
        <translation>区域卡</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>区域</translation>
    </message>
    <message>
        <source>Building card</source>
        <translation>楼栋卡</translation>
    </message>
    <message>
        <source>Building</source>
        <translation>楼栋</translation>
    </message>
    <message>
        <source>Floor card</source>
        <translation>楼层卡</translation>
    </message>
    <message>
        <source>Floor</source>
        <translation>楼层</translation>
    </message>
    <message>
        <source>Data-clear card</source>
        <translation>清除卡</translation>
    </message>
    <message>
        <source>Emergency card</source>
        <translation>应急卡</translation>
    </message>
    <message>
        <source>Loss-report card</source>
        <translation>挂失卡</translation>
    </message>
    <message>
        <source>Loss-report date/time:</source>
        <translation>挂失时间：</translation>
    </message>
    <message>
        <source>Select card type</source>
        <translation>选择卡类型</translation>
    </message>
    <message>
        <source>Time Card</source>
        <translation>时间卡</translation>
    </message>
    <message>
        <source>Loss-report</source>
        <translation>挂失</translation>
    </message>
    <message>
        <source>Guest card</source>
        <translation>客人卡</translation>
    </message>
    <message>
        <source>Passage card</source>
        <translation>通道卡</translation>
    </message>
    <message>
        <source>Passage setting card</source>
        <translation>通道设置卡</translation>
    </message>
    <message>
        <source>Issue card(&amp;W)</source>
        <translation>发卡(&amp;W)</translation>
    </message>
    <message>
        <source>Close(&amp;C)</source>
        <translation>关闭(&amp;C)</translation>
    </message>
</context>
<context>
    <name>ModifyGuestCard_Form</name>
    <message>
        <source>Stay extend</source>
        <translation>续住</translation>
    </message>
    <message>
        <source>Room no.</source>
        <translation>房号</translation>
    </message>
    <message>
        <source>Stay days</source>
        <translation>入住天数</translation>
    </message>
    <message>
        <source>Check-in time</source>
        <translation>入住时间</translation>
    </message>
    <message>
        <source>Check-out time</source>
        <translation>退房时间</translation>
    </message>
    <message>
        <source>Guest name</source>
        <translation>客人姓名</translation>
    </message>
    <message>
        <source>Passport no.</source>
        <translation>证件号码</translation>
    </message>
    <message>
        <source>Read card</source>
        <translation>读卡</translation>
    </message>
    <message>
        <source>Issue(&amp;Y)</source>
        <translation>发卡(&amp;Y)</translation>
    </message>
    <message>
        <source>Close(&amp;C)</source>
        <translation>关闭(&amp;C)</translation>
    </message>
</context>
<context>
    <name>OpenDoorRecord_Form</name>
    <message>
        <source>Audit trail unlock records</source>
        <translation>开门记录查询</translation>
    </message>
    <message>
        <source>Room no.</source>
        <translation>房号</translation>
    </message>
    <message>
        <source>Select room</source>
        <translation>选择房间</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Delete(&amp;D)</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>Print(&amp;P)</source>
        <translation>打印(&amp;P)</translation>
    </message>
    <message>
        <source>Close(&amp;C)</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>The file does not exist. Please choose another one!</source>
        <translation>文件不存在，请重新选择！</translation>
    </message>
    <message>
        <source>Verification code:</source>
        <translation>验证码：</translation>
    </message>
</context>
<context>
    <name>OperationLog</name>
    <message>
        <source>Log intact</source>
        <translation>日志完整</translation>
    </message>
    <message>
        <source>The log is broken at row %1: it was changed or rows before it were removed.</source>
        <translation>日志在第 %1 行处断开：该行被改动过，或其前面的行被删除。</translation>
    </message>
</context>
<context>
    <name>OperationLog_Form</name>
    <message>
        <source>Operation log</source>
        <translation>操作日志</translation>
    </message>
    <message>
        <source>Check from</source>
        <translation>查询日期</translation>
    </message>
    <message>
        <source>to</source>
        <translation>至</translation>
    </message>
    <message>
        <source>Operator:</source>
        <translation>操作员：</translation>
    </message>
    <message>
        <source>Action:</source>
        <translation>操作：</translation>
    </message>
    <message>
        <source>Check(&amp;R)</source>
        <translation>查询(&amp;R)</translation>
    </message>
    <message>
        <source>Check the chain(&amp;V)</source>
        <translation>校验日志(&amp;V)</translation>
    </message>
    <message>
        <source>Rows older than (years):</source>
        <translation>早于（年）的记录：</translation>
    </message>
    <message>
        <source>Delete(&amp;D)</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>Print(&amp;P)</source>
        <translation>打印(&amp;P)</translation>
    </message>
    <message>
        <source>Close(&amp;C)</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>Record: </source>
        <translation>记录：</translation>
    </message>
    <message>
        <source>All operators</source>
        <translation>全部操作员</translation>
    </message>
    <message>
        <source>All actions</source>
        <translation>全部操作</translation>
    </message>
    <message>
        <source>Are you sure to delete all operation log rows before %1?</source>
        <translation>确定删除 %1 之前的全部操作日志吗？</translation>
    </message>
    <message>
        <source>The file does not exist. Please choose another one!</source>
        <translation>文件不存在，请重新选择！</translation>
    </message>
    <message>
        <source>Verification code:</source>
        <translation>验证码：</translation>
    </message>
</context>
<context>
    <name>Operator_Form</name>
    <message>
        <source>Users entitling management</source>
        <translation>操作员权限管理</translation>
    </message>
    <message>
        <source>true name</source>
        <translation>姓名</translation>
    </message>
    <message>
        <source>longin name</source>
        <translation>登录名</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Rights</source>
        <translation>权限</translation>
    </message>
    <message>
        <source>All</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>set password</source>
        <translation>设置密码</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>Operators</name>
    <message>
        <source>Password too long! At most %1 characters.</source>
        <translation>密码太长！最多 %1 个字符。</translation>
    </message>
</context>
<context>
    <name>Print</name>
    <message>
        <source>Door opening records</source>
        <translation>开门记录</translation>
    </message>
    <message>
        <source>Room no.: %1</source>
        <translation>房号：%1</translation>
    </message>
    <message>
        <source>Operation log</source>
        <translation>操作日志</translation>
    </message>
    <message>
        <source>Days: %1</source>
        <translation>日期：%1</translation>
    </message>
    <message>
        <source>Card issue records</source>
        <translation>发卡记录</translation>
    </message>
    <message>
        <source>Issue days: %1</source>
        <translation>发卡日期：%1</translation>
    </message>
    <message>
        <source>Card type: %1</source>
        <translation>卡类型：%1</translation>
    </message>
    <message>
        <source>Printed: %1</source>
        <translation>打印：%1</translation>
    </message>
    <message>
        <source>No records.</source>
        <translation>无记录。</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>第%1/%2页</translation>
    </message>
    <message>
        <source>Print preview - </source>
        <translation>打印预览 - </translation>
    </message>
    <message>
        <source>Save PDF...</source>
        <translation>保存PDF...</translation>
    </message>
    <message>
        <source>Save the report as a PDF file</source>
        <translation>将报表保存为PDF文件</translation>
    </message>
    <message>
        <source>Save the report as PDF</source>
        <translation>将报表保存为PDF</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF文件 (*.pdf)</translation>
    </message>
    <message>
        <source>The file %1 could not be written.</source>
        <translation>无法写入文件 %1。</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>打印</translation>
    </message>
    <message>
        <source>The report library %1 could not be loaded, so nothing can be printed.
%2</source>
        <translation>无法加载报表库 %1，因此无法打印。
%2</translation>
    </message>
    <message>
        <source>The report library %1 has no entry PrintForm_Show, so nothing can be printed.</source>
        <translation>报表库 %1 中没有 PrintForm_Show 入口，因此无法打印。</translation>
    </message>
</context>
<context>
    <name>ReadDataCard_Form</name>
    <message>
        <source>Read data-acquisition card</source>
        <translation>读数据卡</translation>
    </message>
    <message>
        <source>Click to read</source>
        <translation>点击读卡</translation>
    </message>
</context>
<context>
    <name>Rights</name>
    <message>
        <source>Check-in</source>
        <translation>入住</translation>
    </message>
    <message>
        <source>Check-out</source>
        <translation>退房</translation>
    </message>
    <message>
        <source>Passage card</source>
        <translation>通道卡</translation>
    </message>
    <message>
        <source>Data-clear card</source>
        <translation>清除卡</translation>
    </message>
    <message>
        <source>Time card</source>
        <translation>时间卡</translation>
    </message>
    <message>
        <source>Terminate card</source>
        <translation>挂失卡</translation>
    </message>
    <message>
        <source>Emergence card</source>
        <translation>应急卡</translation>
    </message>
    <message>
        <source>Master card</source>
        <translation>总卡</translation>
    </message>
    <message>
        <source>Building card</source>
        <translation>楼栋卡</translation>
    </message>
    <message>
        <source>Floor card</source>
        <translation>楼层卡</translation>
    </message>
    <message>
        <source>Group card</source>
        <translation>区域卡</translation>
    </message>
    <message>
        <source>Parameter setting</source>
        <translation>参数设置</translation>
    </message>
    <message>
        <source>User entitling</source>
        <translation>操作员权限</translation>
    </message>
    <message>
        <source>Data startup card</source>
        <translation>数据启动卡</translation>
    </message>
    <message>
        <source>Room type</source>
        <translation>房型</translation>
    </message>
    <message>
        <source>Room no. setting</source>
        <translation>房号设置</translation>
    </message>
    <message>
        <source>Group setting</source>
        <translation>区域设置</translation>
    </message>
</context>
<context>
    <name>RoomBoard</name>
    <message>
        <source>The room board needs an SQLite database connection.</source>
        <translation>房态图需要 SQLite 数据库连接。</translation>
    </message>
</context>
<context>
    <name>RoomGrid</name>
    <message>
        <source>Room No.</source>
        <translation>房号</translation>
    </message>
</context>
<context>
    <name>RoomInfo_Form</name>
    <message>
        <source>Room number setting</source>
        <translation>房号设置</translation>
    </message>
    <message>
        <source>Building No.</source>
        <translation>楼栋号</translation>
    </message>
    <message>
        <source>Floor No.</source>
        <translation>楼层号</translation>
    </message>
    <message>
        <source>Generate Room Number</source>
        <translation>生成房号</translation>
    </message>
    <message>
        <source>Confirm(&amp;E)</source>
        <translation>确定(&amp;E)</translation>
    </message>
    <message>
        <source>Delete(&amp;D)</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>Close(&amp;C)</source>
        <translation>关闭(&amp;C)</translation>
    </message>
</context>
<context>
    <name>RoomList_Form</name>
    <message>
        <source>Guest room traffic report</source>
        <translation>房态表</translation>
    </message>
    <message>
        <source>Building no.</source>
        <translation>楼栋号</translation>
    </message>
    <message>
        <source>Floor no.</source>
        <translation>楼层号</translation>
    </message>
    <message>
        <source>Room status</source>
        <translation>房态</translation>
    </message>
    <message>
        <source>No booked Rms</source>
        <translation>空房</translation>
    </message>
    <message>
        <source>All guest Rms</source>
        <translation>全部房间</translation>
    </message>
    <message>
        <source>Booked Rms</source>
        <translation>在住房</translation>
    </message>
    <message>
        <source>Check(&amp;Q)</source>
        <translation>查询(&amp;Q)</translation>
    </message>
    <message>
        <source> Guest room information</source>
        <translation> 房间信息</translation>
    </message>
    <message>
        <source>Room no.</source>
        <translation>房号</translation>
    </message>
    <message>
        <source>Confirm(&amp;Y)</source>
        <translation>确定(&amp;Y)</translation>
    </message>
    <message>
        <source>Cancel(&amp;C)</source>
        <translation>取消(&amp;C)</translation>
    </message>
</context>
<context>
    <name>RoomType_Form</name>
    <message>
        <source>Room type</source>
        <translation>房型</translation>
    </message>
    <message>
        <source>Room Type :</source>
        <translation>房型：</translation>
    </message>
    <message>
        <source>Total room number</source>
        <translation>房间数</translation>
    </message>
    <message>
        <source>Room rate</source>
        <translation>房价</translation>
    </message>
    <message>
        <source>元</source>
        <translation>元</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>修改</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>RoomTypes</name>
    <message>
        <source>The room type &quot;%1&quot; already exists.</source>
        <translation>房型“%1”已存在。</translation>
    </message>
    <message>
        <source>Guest count must be a whole number from 0 to %1</source>
        <translation>人数必须是 0 到 %1 之间的整数</translation>
    </message>
    <message>
        <source>Rate must be an amount from 0 to 999,999.99 with at most two decimals</source>
        <translation>房价必须是 0 到 999,999.99 之间、最多两位小数的金额</translation>
    </message>
    <message>
        <source>The room type is no longer there.</source>
        <translation>该房型已不存在。</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>The settings could not be saved to &quot;%1&quot;: %2.</source>
        <translation>设置无法保存到“%1”：%2。</translation>
    </message>
</context>
<context>
    <name>StaffCards</name>
    <message>
        <source>Time must be less than 1 hour</source>
        <translation>时间必须在 1 小时以内</translation>
    </message>
    <message>
        <source>Time must be less than 1 day</source>
        <translation>时间必须在 1 天以内</translation>
    </message>
    <message>
        <source>Please Select Building!</source>
        <translation>请选择楼号!</translation>
    </message>
    <message>
        <source>Please select floor!</source>
        <translation>请选择楼层!</translation>
    </message>
</context>
<context>
    <name>SystemInfo_Form</name>
    <message>
        <source>Parameter setting</source>
        <translation>参数设置</translation>
    </message>
    <message>
        <source>Hotel name:</source>
        <translation>酒店名称：</translation>
    </message>
    <message>
        <source>Default stay days:</source>
        <translation>默认入住天数：</translation>
    </message>
    <message>
        <source>Check-out time:</source>
        <translation>退房时间：</translation>
    </message>
    <message>
        <source>Encoder port</source>
        <translation>发卡器端口</translation>
    </message>
    <message>
        <source>COM1</source>
        <translation>COM1</translation>
    </message>
    <message>
        <source>COM2</source>
        <translation>COM2</translation>
    </message>
    <message>
        <source>COM3</source>
        <translation>COM3</translation>
    </message>
    <message>
        <source>COM4</source>
        <translation>COM4</translation>
    </message>
    <message>
        <source>TM卡门锁</source>
        <translation>TM卡门锁</translation>
    </message>
    <message>
        <source>IC卡门锁</source>
        <translation>IC卡门锁</translation>
    </message>
    <message>
        <source>AT感应卡</source>
        <translation>AT感应卡</translation>
    </message>
    <message>
        <source>TI感应卡</source>
        <translation>TI感应卡</translation>
    </message>
    <message>
        <source>Mifare卡</source>
        <translation>Mifare卡</translation>
    </message>
    <message>
        <source>Room code</source>
        <translation>房间编码</translation>
    </message>
    <message>
        <source>Save(&amp;S)</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>Close(&amp;C)</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>语言：</translation>
    </message>
</context>
<context>
    <name>TAboutForm</name>
    <message>
        <source>USB Data Pick Device</source>
        <translation>USB 数据采集器</translation>
    </message>
    <message>
        <source>Lock type :Magnetic card lock system</source>
        <translation>门锁类型：磁卡门锁系统</translation>
    </message>
    <message>
        <source>Lock type :IC CARD lock system</source>
        <translation>门锁类型：IC 卡门锁系统</translation>
    </message>
    <message>
        <source>Lock type :TM card lock system</source>
        <translation>门锁类型：TM 卡门锁系统</translation>
    </message>
    <message>
        <source>Lock type :TEMIC RF lock system</source>
        <translation>门锁类型：TEMIC 感应卡门锁系统</translation>
    </message>
    <message>
        <source>Lock type :Mifare card lock system</source>
        <translation>门锁类型：Mifare 卡门锁系统</translation>
    </message>
    <message>
        <source>Lock type :Magnetic2 card lock system</source>
        <translation>门锁类型：磁卡2门锁系统</translation>
    </message>
    <message>
        <source>Not connect!</source>
        <translation>未连接！</translation>
    </message>
    <message>
        <source>Encoder no. </source>
        <translation>发卡器编号 </translation>
    </message>
</context>
<context>
    <name>TBaseForm</name>
    <message>
        <source>The language catalogue %1 could not be read, so the forms show their built-in texts. The hotel&apos;s data are not concerned.
%2</source>
        <translation>无法读取语言库 %1，窗口将显示内置文字。酒店数据不受影响。
%2</translation>
    </message>
    <message>
        <source>Language catalogue</source>
        <translation>语言库</translation>
    </message>
    <message>
        <source>Language exist,rebuild?</source>
        <translation>语言已存在，是否重建？</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>提示</translation>
    </message>
</context>
<context>
    <name>TCdForm</name>
    <message>
        <source>File not found!</source>
        <translation>文件未找到！</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Test Ok!</source>
        <translation>测试成功！</translation>
    </message>
    <message>
        <source>Test failure!</source>
        <translation>测试失败！</translation>
    </message>
    <message>
        <source>Save failure</source>
        <translation>保存失败</translation>
    </message>
    <message>
        <source>Save Ok!</source>
        <translation>保存成功！</translation>
    </message>
</context>
<context>
    <name>TChangePassword_Form</name>
    <message>
        <source>Old password not correct!</source>
        <translation>原密码不正确！</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>new code not match!</source>
        <translation>新密码不一致！</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Password changed ok!</source>
        <translation>密码修改成功！</translation>
    </message>
</context>
<context>
    <name>TCheckCardForm</name>
    <message>
        <source>Revoke Card</source>
        <translation>注销卡</translation>
    </message>
    <message>
        <source>New Card!</source>
        <translation>空白卡！</translation>
    </message>
</context>
<context>
    <name>TClockRoom_Form</name>
    <message>
        <source>Ok!</source>
        <translation>成功！</translation>
    </message>
    <message>
        <source>No this room no.</source>
        <translation>没有该房号。</translation>
    </message>
</context>
<context>
    <name>TDistrictSetting_Form</name>
    <message>
        <source>Group no.</source>
        <translation>区域号</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>说明</translation>
    </message>
    <message>
        <source>this group no. has exist</source>
        <translation>该区域号已存在</translation>
    </message>
</context>
<context>
    <name>TGuestCardForm</name>
    <message>
        <source>Invalid room no.</source>
        <translation>无效的房号。</translation>
    </message>
</context>
<context>
    <name>TGuestLeave_Form</name>
    <message>
        <source>Doorplate No.</source>
        <translation>门牌号</translation>
    </message>
    <message>
        <source>This stay had already ended.</source>
        <translation>该住店记录已结束。</translation>
    </message>
</context>
<context>
    <name>TGuestQuickIn_Form</name>
    <message>
        <source>No this Room no.</source>
        <translation>没有该房号。</translation>
    </message>
</context>
<context>
    <name>TLogonForm</name>
    <message>
        <source>Confirm</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Too many wrong attempts: the next one may be made at %1.</source>
        <translation>错误次数过多，请在 %1 之后再试。</translation>
    </message>
    <message>
        <source>Password not same!</source>
        <translation>两次密码不一致！</translation>
    </message>
</context>
<context>
    <name>TMC_R_From</name>
    <message>
        <source>Card type</source>
        <translation>卡类型</translation>
    </message>
    <message>
        <source>Card holder</source>
        <translation>持卡人</translation>
    </message>
    <message>
        <source>User</source>
        <translation>操作员</translation>
    </message>
    <message>
        <source>Room no.</source>
        <translation>房号</translation>
    </message>
    <message>
        <source>Issue time</source>
        <translation>发卡时间</translation>
    </message>
    <message>
        <source>End time</source>
        <translation>结束时间</translation>
    </message>
    <message>
        <source>Are you sure to delete all issuing records before%1?</source>
        <translation>确定删除 %1 之前的全部发卡记录吗？</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>Access Data(*.mdb)</source>
        <translation>Access 数据(*.mdb)</translation>
    </message>
    <message>
        <source>No encoder found,demo only</source>
        <translation>未找到发卡器，仅供演示</translation>
    </message>
    <message>
        <source>Connecting warning</source>
        <translation>连接警告</translation>
    </message>
    <message>
        <source>No open stay of room %1 was found; nothing was checked out there. The room board now shows what is stored.</source>
        <translation>未找到房间 %1 的在住记录，未办理退房。房态图现显示已保存的状态。</translation>
    </message>
</context>
<context>
    <name>TModifyGuestCard_Form</name>
    <message>
        <source>No guest is staying in this room.</source>
        <translation>该房间没有在住客人。</translation>
    </message>
</context>
<context>
    <name>TOpenDoorRecord_Form</name>
    <message>
        <source>Card type</source>
        <translation>卡类型</translation>
    </message>
    <message>
        <source>Card no.</source>
        <translation>卡号</translation>
    </message>
    <message>
        <source>Card holder</source>
        <translation>持卡人</translation>
    </message>
    <message>
        <source>Opening time</source>
        <translation>开门时间</translation>
    </message>
    <message>
        <source>user</source>
        <translation>操作员</translation>
    </message>
</context>
<context>
    <name>TOperationLog_Form</name>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>操作员</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>姓名</translation>
    </message>
    <message>
        <source>Workstation</source>
        <translation>工作站</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>操作</translation>
    </message>
    <message>
        <source>Room no.</source>
        <translation>房号</translation>
    </message>
    <message>
        <source>Detail</source>
        <translation>详情</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
</context>
<context>
    <name>TOperator_Form</name>
    <message>
        <source>True Name</source>
        <translation>姓名</translation>
    </message>
    <message>
        <source>User Name</source>
        <translation>登录名</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>This user has exist!</source>
        <translation>该用户已存在！</translation>
    </message>
    <message>
        <source>You must input user name!</source>
        <translation>必须输入登录名！</translation>
    </message>
    <message>
        <source>You must input password!</source>
        <translation>必须输入密码！</translation>
    </message>
    <message>
        <source>Two passwords not same!</source>
        <translation>两次密码不一致！</translation>
    </message>
    <message>
        <source>You can not delete the last administrator!</source>
        <translation>不能删除最后一个管理员！</translation>
    </message>
    <message>
        <source>You can not delete the account you are logged on with!</source>
        <translation>不能删除当前登录的账号！</translation>
    </message>
</context>
<context>
    <name>TReadDataCard_Form</name>
    <message>
        <source>Ok!</source>
        <translation>成功！</translation>
    </message>
    <message>
        <source>Operating failed or no opening records!</source>
        <translation>操作失败或没有开门记录！</translation>
    </message>
</context>
<context>
    <name>TRoomInfo_Form</name>
    <message>
        <source>Room %1 has a guest staying. Check the guest out first; nothing was changed.</source>
        <translation>房间 %1 有客人在住。请先办理退房；未作任何改动。</translation>
    </message>
    <message>
        <source>System Room No.</source>
        <translation>系统房号</translation>
    </message>
    <message>
        <source>Doorplate No.</source>
        <translation>门牌号</translation>
    </message>
    <message>
        <source>Room Type</source>
        <translation>房型</translation>
    </message>
    <message>
        <source>Please input Integer!</source>
        <translation>请输入整数！</translation>
    </message>
    <message>
        <source>Building no. or floor no. can not be 0!</source>
        <translation>楼栋号或楼层号不能为 0！</translation>
    </message>
    <message>
        <source>you must enter doorplate no.</source>
        <translation>必须输入门牌号。</translation>
    </message>
    <message>
        <source>Doorplate %1has exist!</source>
        <translation>门牌号 %1 已存在！</translation>
    </message>
    <message>
        <source>Lock code %1 is already used by doorplate %2!</source>
        <translation>门锁编码 %1 已被门牌号 %2 使用！</translation>
    </message>
</context>
<context>
    <name>TRoomList_Form</name>
    <message>
        <source>All Building</source>
        <translation>全部楼栋</translation>
    </message>
    <message>
        <source>Ad  Floor</source>
        <translation>全部楼层</translation>
    </message>
    <message>
        <source>Record:%1 / %2</source>
        <translation>记录：%1 / %2</translation>
    </message>
</context>
<context>
    <name>TRoomType_Form</name>
    <message>
        <source>Room Type</source>
        <translation>房型</translation>
    </message>
    <message>
        <source>Qty</source>
        <translation>人数</translation>
    </message>
    <message>
        <source>Rate</source>
        <translation>房价</translation>
    </message>
</context>
<context>
    <name>TSystemInfo_Form</name>
    <message>
        <source>warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid time</source>
        <translation>“%1”不是有效的时间</translation>
    </message>
    <message>
        <source>Save succesful!</source>
        <translation>保存成功！</translation>
    </message>
    <message>
        <source>Please restart the software!</source>
        <translation>请重新启动软件！</translation>
    </message>
</context>
<context>
    <name>pms::Client</name>
    <message>
        <source>PMS: connecting</source>
        <translation>PMS：正在连接</translation>
    </message>
    <message>
        <source>PMS: linked</source>
        <translation>PMS：已连接</translation>
    </message>
    <message>
        <source>PMS: down</source>
        <translation>PMS：断开</translation>
    </message>
    <message>
        <source>PMS: no port</source>
        <translation>PMS：无端口</translation>
    </message>
    <message>
        <source>PMS: bad AuthKey</source>
        <translation>PMS：AuthKey 无效</translation>
    </message>
    <message>
        <source>PMS: no TLS</source>
        <translation>PMS：无 TLS</translation>
    </message>
    <message>
        <source>PMS: bad PeerCertificate</source>
        <translation>PMS：证书无效</translation>
    </message>
</context>
</TS>
