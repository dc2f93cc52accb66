<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>Main_View</name>
    <message>
        <source>Information</source>
        <translation>資訊</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>燈光</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>通知</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
</context>
<context>
    <name>Loading_View</name>
    <message>
        <source>Can not Find KV VELTRIMA</source>
        <translation>找不到 KV VELTRIMA</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
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
        <translation>CAS# 延遲 (CL)：</translation>
    </message>
    <message>
        <source>RAS# to CAS# Delay (tRCD):</source>
        <translation>RAS# 至 CAS# 延遲 (tRCD)：</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>頻率：</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>負載</translation>
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
        <translation>類型：</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>容量：</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>頻率：</translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>溫度：</translation>
    </message>
</context>
<context>
    <name>Lighting_View</name>
    <message>
        <source>Lighting</source>
        <translation>燈光</translation>
    </message>
</context>
<context>
    <name>Noti_View</name>
    <message>
        <source>Setting Notification</source>
        <translation>通知設定</translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>負載</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>記憶體</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>Trigger all LED </source>
        <translation>將所有 LED 切換為</translation>
    </message>
    <message>
        <source>Shutdown PC</source>
        <translation>提示使用者關機以免損壞</translation>
    </message>
    <message>
        <source>Set all fans to 100%</source>
        <translation>將所有風扇設為全速</translation>
    </message>
</context>
<context>
    <name>ControlProgramWatch</name>
    <message>
        <source>Waiting for VELTRIMA RGB Control…</source>
        <translation>正在等候 VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>Starting VELTRIMA RGB Control…</source>
        <translation>正在啟動 VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control cannot be started: %1. Trying again every %2 seconds.</source>
        <translation>無法啟動 VELTRIMA RGB Control：%1。每 %2 秒重試一次。</translation>
    </message>
    <message>
        <source>The shared lighting state cannot be read. Trying again every %1 seconds.</source>
        <translation>無法讀取共用的燈光狀態。每 %1 秒重試一次。</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control runs but does not answer. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control 正在執行但沒有回應。每 %1 秒重試一次。</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control stops soon after it starts. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control 啟動後不久便停止。每 %1 秒重試一次。</translation>
    </message>
</context>
<context>
    <name>ControlProgramLauncher</name>
    <message>
        <source>%1 was not found</source>
        <translation>找不到 %1</translation>
    </message>
    <message>
        <source>%1 cannot be run</source>
        <translation>無法執行 %1</translation>
    </message>
</context>
<context>
    <name>KVRGBMemory</name>
    <message>
        <source>Your change was not applied: VELTRIMA RGB Control does not answer.</source>
        <translation>您的變更未套用：VELTRIMA RGB Control 沒有回應。</translation>
    </message>
    <message>
        <source>Your change was not applied: the shared lighting state could not be reached. Please try again.</source>
        <translation>您的變更未套用：無法存取共用的燈光狀態。請再試一次。</translation>
    </message>
</context>
</TS>
