<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>Main_View</name>
    <message>
        <source>Information</source>
        <translation>情報</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>ライティング</translation>
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
        <translation>KV VELTRIMA が見つかりません</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>Information_View</name>
    <message>
        <source>Channel:</source>
        <translation>チャンネル：</translation>
    </message>
    <message>
        <source>CAS# Latency (CL):</source>
        <translation>CAS# レイテンシ (CL)：</translation>
    </message>
    <message>
        <source>RAS# to CAS# Delay (tRCD):</source>
        <translation>RAS#-CAS# 遅延 (tRCD)：</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>周波数：</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>負荷</translation>
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
        <translation>タイプ：</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>容量：</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>周波数：</translation>
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
        <translation>ライティング</translation>
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
        <translation>負荷</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>メモリ</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>Trigger all LED </source>
        <translation>すべての LED を次の色に変更</translation>
    </message>
    <message>
        <source>Shutdown PC</source>
        <translation>損傷を防ぐためシャットダウンを促す</translation>
    </message>
    <message>
        <source>Set all fans to 100%</source>
        <translation>すべてのファンを全速にする</translation>
    </message>
</context>
<context>
    <name>ControlProgramWatch</name>
    <message>
        <source>Waiting for VELTRIMA RGB Control…</source>
        <translation>VELTRIMA RGB Control を待っています…</translation>
    </message>
    <message>
        <source>Starting VELTRIMA RGB Control…</source>
        <translation>VELTRIMA RGB Control を起動しています…</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control cannot be started: %1. Trying again every %2 seconds.</source>
        <translation>VELTRIMA RGB Control を起動できません：%1。%2 秒ごとに再試行します。</translation>
    </message>
    <message>
        <source>The shared lighting state cannot be read. Trying again every %1 seconds.</source>
        <translation>共有のライティング状態を読み取れません。%1 秒ごとに再試行します。</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control runs but does not answer. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control は実行中ですが応答しません。%1 秒ごとに再試行します。</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control stops soon after it starts. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control が起動後すぐに停止します。%1 秒ごとに再試行します。</translation>
    </message>
</context>
<context>
    <name>ControlProgramLauncher</name>
    <message>
        <source>%1 was not found</source>
        <translation>%1 が見つかりません</translation>
    </message>
    <message>
        <source>%1 cannot be run</source>
        <translation>%1 を実行できません</translation>
    </message>
</context>
<context>
    <name>KVRGBMemory</name>
    <message>
        <source>Your change was not applied: VELTRIMA RGB Control does not answer.</source>
        <translation>変更は適用されませんでした：VELTRIMA RGB Control が応答しません。</translation>
    </message>
    <message>
        <source>Your change was not applied: the shared lighting state could not be reached. Please try again.</source>
        <translation>変更は適用されませんでした：共有のライティング状態にアクセスできませんでした。もう一度お試しください。</translation>
    </message>
</context>
</TS>
