<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>KVRGBMemoryControl</name>
    <message>
        <source>Launch VELTRIMA</source>
        <translation>VELTRIMA を起動</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Run VELTRIMA RGB Program when Windows starts</source>
        <translation>システム起動後に最小化</translation>
    </message>
    <message>
        <source>VELTRIMA RGB cannot reach the lighting state of VELTRIMA RGB Control, so changes made in the window will not reach the lights. The lights keep the saved profile. Restart VELTRIMA RGB Control to try again.</source>
        <translation>VELTRIMA RGB は VELTRIMA RGB Control のライティング状態にアクセスできないため、ウィンドウで行った変更はライトに反映されません。ライトは保存済みのプロファイルのままです。VELTRIMA RGB Control を再起動してもう一度お試しください。</translation>
    </message>
</context>
<context>
    <name>Widget_Shutdown</name>
    <message>
        <source>Memory_Shutdown_Content</source>
        <translation>注意：
メモリの温度が高すぎます。システムは 30 秒後に自動的にシャットダウンします。データが失われないよう保存してください。</translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_1</source>
        <translation>注意：
メモリの温度が高すぎます。システムは </translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_2</source>
        <translation> 秒後に自動的にシャットダウンします。データが失われないよう保存してください。</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content</source>
        <translation>注意：
CPUの温度が高すぎます。システムは 30 秒後に自動的にシャットダウンします。データが失われないよう保存してください。</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_1</source>
        <translation>注意：
CPUの温度が高すぎます。システムは </translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_2</source>
        <translation> 秒後に自動的にシャットダウンします。データが失われないよう保存してください。</translation>
    </message>
    <message>
        <source>Shutdown_Now</source>
        <translation>シャットダウン</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>UpdateNoteWindow</name>
    <message>
        <source>Update Note:</source>
        <translation>更新内容：</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
</context>
<context>
    <name>NotificationGuard</name>
    <message>
        <source>Shutdown Failure</source>
        <translation>シャットダウン失敗</translation>
    </message>
    <message>
        <source>The system did not shut down (%1). Please save your data and shut the computer down yourself.</source>
        <translation>システムがシャットダウンしませんでした（%1）。データを保存して、手動でコンピューターをシャットダウンしてください。</translation>
    </message>
</context>
</TS>
