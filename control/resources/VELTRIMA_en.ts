<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>KVRGBMemoryControl</name>
    <message>
        <source>Launch VELTRIMA</source>
        <translation>Launch VELTRIMA</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Run VELTRIMA RGB Program when Windows starts</source>
        <translation>Minimize after system startup</translation>
    </message>
    <message>
        <source>VELTRIMA RGB cannot reach the lighting state of VELTRIMA RGB Control, so changes made in the window will not reach the lights. The lights keep the saved profile. Restart VELTRIMA RGB Control to try again.</source>
        <translation>VELTRIMA RGB cannot reach the lighting state of VELTRIMA RGB Control, so changes made in the window will not reach the lights. The lights keep the saved profile. Restart VELTRIMA RGB Control to try again.</translation>
    </message>
</context>
<context>
    <name>Widget_Shutdown</name>
    <message>
        <source>Memory_Shutdown_Content</source>
        <translation>Caution:
The Memory temperature is too high, system will automatically shutdown in 30 seconds, please save your data to prevent data loss.</translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_1</source>
        <translation>Caution:
The Memory temperature is too high, system will automatically shutdown in </translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_2</source>
        <translation> seconds, please save your data to prevent data loss.</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content</source>
        <translation>Caution:
The CPU temperature is too high, your system will automatically shutdown in 30 seconds, please save your data to prevent data loss</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_1</source>
        <translation>Caution:
The CPU temperature is too high, your system will automatically shutdown in </translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_2</source>
        <translation> seconds, please save your data to prevent data loss</translation>
    </message>
    <message>
        <source>Shutdown_Now</source>
        <translation>Shutdown now</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>UpdateNoteWindow</name>
    <message>
        <source>Update Note:</source>
        <translation>Update Note:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>NotificationGuard</name>
    <message>
        <source>Shutdown Failure</source>
        <translation>Shutdown Failure</translation>
    </message>
    <message>
        <source>The system did not shut down (%1). Please save your data and shut the computer down yourself.</source>
        <translation>The system did not shut down (%1). Please save your data and shut the computer down yourself.</translation>
    </message>
</context>
</TS>
