<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Main_View</name>
    <message>
        <source>Information</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>灯光</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>通知</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
</context>
<context>
    <name>Loading_View</name>
    <message>
        <source>Can not Find KV VELTRIMA</source>
        <translation>未找到 KV VELTRIMA</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>Information_View</name>
    <message>
        <source>Channel:</source>
        <translation>通道：</translation>
    </message>
    <message>
        <source>CAS# Latency (CL):</source>
        <translation>CAS# 延迟 (CL)：</translation>
    </message>
    <message>
        <source>RAS# to CAS# Delay (tRCD):</source>
        <translation>RAS# 到 CAS# 延迟 (tRCD)：</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>频率：</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>负载</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>低</translation>
    </message>
    <message>
        <source>High</source>
        <translation>高</translation>
    </message>
</context>
<context>
    <name>Information_Slots_View</name>
    <message>
        <source>Type:</source>
        <translation>类型：</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>容量：</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>频率：</translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>温度：</translation>
    </message>
</context>
<context>
    <name>Lighting_View</name>
    <message>
        <source>Lighting</source>
        <translation>灯光</translation>
    </message>
</context>
<context>
    <name>Noti_View</name>
    <message>
        <source>Setting Notification</source>
        <translation>通知设置</translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>负载</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>内存</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>Trigger all LED </source>
        <translation>将所有 LED 切换为</translation>
    </message>
    <message>
        <source>Shutdown PC</source>
        <translation>提示用户关机以免损坏</translation>
    </message>
    <message>
        <source>Set all fans to 100%</source>
        <translation>将所有风扇设为全速</translation>
    </message>
</context>
<context>
    <name>ControlProgramWatch</name>
    <message>
        <source>Waiting for VELTRIMA RGB Control…</source>
        <translation>正在等待 VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>Starting VELTRIMA RGB Control…</source>
        <translation>正在启动 VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control cannot be started: %1. Trying again every %2 seconds.</source>
        <translation>无法启动 VELTRIMA RGB Control：%1。每 %2 秒重试一次。</translation>
    </message>
    <message>
        <source>The shared lighting state cannot be read. Trying again every %1 seconds.</source>
        <translation>无法读取共享的灯光状态。每 %1 秒重试一次。</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control runs but does not answer. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control 正在运行但没有响应。每 %1 秒重试一次。</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control stops soon after it starts. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control 启动后不久便停止。每 %1 秒重试一次。</translation>
    </message>
</context>
<context>
    <name>ControlProgramLauncher</name>
    <message>
        <source>%1 was not found</source>
        <translation>未找到 %1</translation>
    </message>
    <message>
        <source>%1 cannot be run</source>
        <translation>无法运行 %1</translation>
    </message>
</context>
<context>
    <name>KVRGBMemory</name>
    <message>
        <source>Your change was not applied: VELTRIMA RGB Control does not answer.</source>
        <translation>您的更改未生效：VELTRIMA RGB Control 没有响应。</translation>
    </message>
    <message>
        <source>Your change was not applied: the shared lighting state could not be reached. Please try again.</source>
        <translation>您的更改未生效：无法访问共享的灯光状态。请重试。</translation>
    </message>
</context>
</TS>
