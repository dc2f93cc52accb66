<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>KVRGBMemoryControl</name>
    <message>
        <source>Launch VELTRIMA</source>
        <translation>啟動 VELTRIMA</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>開啟</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>Run VELTRIMA RGB Program when Windows starts</source>
        <translation>系統啟動後最小化</translation>
    </message>
    <message>
        <source>VELTRIMA RGB cannot reach the lighting state of VELTRIMA RGB Control, so changes made in the window will not reach the lights. The lights keep the saved profile. Restart VELTRIMA RGB Control to try again.</source>
        <translation>VELTRIMA RGB 無法存取 VELTRIMA RGB Control 的燈光狀態，因此在視窗中所做的變更不會套用到燈光。燈光會維持已儲存的設定檔。請重新啟動 VELTRIMA RGB Control 後再試一次。</translation>
    </message>
</context>
<context>
    <name>Widget_Shutdown</name>
    <message>
        <source>Memory_Shutdown_Content</source>
        <translation>注意：
記憶體溫度過高，系統將在 30 秒後自動關機，請儲存您的資料以免資料遺失。</translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_1</source>
        <translation>注意：
記憶體溫度過高，系統將在 </translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_2</source>
        <translation> 秒後自動關機，請儲存您的資料以免資料遺失。</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content</source>
        <translation>注意：
CPU 溫度過高，系統將在 30 秒後自動關機，請儲存您的資料以免資料遺失。</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_1</source>
        <translation>注意：
CPU 溫度過高，系統將在 </translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_2</source>
        <translation> 秒後自動關機，請儲存您的資料以免資料遺失。</translation>
    </message>
    <message>
        <source>Shutdown_Now</source>
        <translation>立即關機</translation>
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
        <translation>更新說明：</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>關閉</translation>
    </message>
</context>
<context>
    <name>NotificationGuard</name>
    <message>
        <source>Shutdown Failure</source>
        <translation>關機失敗</translation>
    </message>
    <message>
        <source>The system did not shut down (%1). Please save your data and shut the computer down yourself.</source>
        <translation>系統未能關機（%1）。請儲存您的資料，並自行將電腦關機。</translation>
    </message>
</context>
</TS>
