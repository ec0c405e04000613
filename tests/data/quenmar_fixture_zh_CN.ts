<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en_US">
<context>
    <name>SystemInfo_Form</name>
    <message>
        <source>Parameter setting</source>
        <translation>参数设置</translation>
    </message>
    <message>
        <source>Hotel name:</source>
        <translation>酒店名称:</translation>
    </message>
    <message>
        <source>Save(&amp;S)</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>Close(&amp;C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encoder port</source>
        <translation type="vanished">旧端口</translation>
    </message>
</context>
<context>
    <name>MainForm</name>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>Open</source>
        <comment>door</comment>
        <translation>开门</translation>
    </message>
    <message>
        <source>Rooms &lt;all&gt; &amp; &quot;more&quot;
second line</source>
        <translation>全部&lt;房间&gt; &amp; “更多”
第二行</translation>
    </message>
</context>
</TS>
