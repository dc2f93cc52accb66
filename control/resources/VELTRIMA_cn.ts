<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>KVRGBMemoryControl</name>
    <message>
        <source>Launch VELTRIMA</source>
        <translation>启动 VELTRIMA</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Run VELTRIMA RGB Program when Windows starts</source>
        <translation>系统启动后最小化</translation>
    </message>
    <message>
        <source>VELTRIMA RGB cannot reach the lighting state of VELTRIMA RGB Control, so changes made in the window will not reach the lights. The lights keep the saved profile. Restart VELTRIMA RGB Control to try again.</source>
        <translation>VELTRIMA RGB 无法访问 VELTRIMA RGB Control 的灯光状态，因此在窗口中所做的更改不会应用到灯光。灯光将保持已保存的配置。请重新启动 VELTRIMA RGB Control 后重试。</translation>
    </message>
</context>
<context>
    <name>Widget_Shutdown</name>
    <message>
        <source>Memory_Shutdown_Content</source>
        <translation>注意：
内存温度过高，系统将在 30 秒后自动关机，请保存您的数据以免数据丢失。</translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_1</source>
        <translation>注意：
内存温度过高，系统将在 </translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_2</source>
        <translation> 秒后自动关机，请保存您的数据以免数据丢失。</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content</source>
        <translation>注意：
CPU 温度过高，系统将在 30 秒后自动关机，请保存您的数据以免数据丢失。</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_1</source>
        <translation>注意：
CPU 温度过高，系统将在 </translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_2</source>
        <translation> 秒后自动关机，请保存您的数据以免数据丢失。</translation>
    </message>
    <message>
        <source>Shutdown_Now</source>
        <translation>立即关机</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>UpdateNoteWindow</name>
    <message>
        <source>Update Note:</source>
        <translation>更新说明：</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>NotificationGuard</name>
    <message>
        <source>Shutdown Failure</source>
        <translation>关机失败</translation>
    </message>
    <message>
        <source>The system did not shut down (%1). Please save your data and shut the computer down yourself.</source>
        <translation>系统未能关机（%1）。请保存您的数据，并手动关闭计算机。</translation>
    </message>
</context>
</TS>
