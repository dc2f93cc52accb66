<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Main_View</name>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>Lighting</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>Notification</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
</context>
<context>
    <name>Loading_View</name>
    <message>
        <source>Can not Find KV VELTRIMA</source>
        <translation>Can not Find KV VELTRIMA</translation>
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
        <translation>Channel: </translation>
    </message>
    <message>
        <source>CAS# Latency (CL):</source>
        <translation>CAS# Latency (CL): </translation>
    </message>
    <message>
        <source>RAS# to CAS# Delay (tRCD):</source>
        <translation>RAS# to CAS# Delay (tRCD): </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Frequency: </translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>High</source>
        <translation>High</translation>
    </message>
</context>
<context>
    <name>Information_Slots_View</name>
    <message>
        <source>Type:</source>
        <translation>Type: </translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Size: </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Frequency: </translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>TEMP: </translation>
    </message>
</context>
<context>
    <name>Lighting_View</name>
    <message>
        <source>Lighting</source>
        <translation>Lighting</translation>
    </message>
</context>
<context>
    <name>Noti_View</name>
    <message>
        <source>Setting Notification</source>
        <translation>Set Notifications</translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>Memory</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>Trigger all LED </source>
        <translation>switches all LEDs to</translation>
    </message>
    <message>
        <source>Shutdown PC</source>
        <translation>prompts the user to shut down the PC to avoid damage</translation>
    </message>
    <message>
        <source>Set all fans to 100%</source>
        <translation>sets all fans to full speed</translation>
    </message>
</context>
<context>
    <name>ControlProgramWatch</name>
    <message>
        <source>Waiting for VELTRIMA RGB Control…</source>
        <translation>Waiting for VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>Starting VELTRIMA RGB Control…</source>
        <translation>Starting VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control cannot be started: %1. Trying again every %2 seconds.</source>
        <translation>VELTRIMA RGB Control cannot be started: %1. Trying again every %2 seconds.</translation>
    </message>
    <message>
        <source>The shared lighting state cannot be read. Trying again every %1 seconds.</source>
        <translation>The shared lighting state cannot be read. Trying again every %1 seconds.</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control runs but does not answer. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control runs but does not answer. Trying again every %1 seconds.</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control stops soon after it starts. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control stops soon after it starts. Trying again every %1 seconds.</translation>
    </message>
</context>
<context>
    <name>ControlProgramLauncher</name>
    <message>
        <source>%1 was not found</source>
        <translation>%1 was not found</translation>
    </message>
    <message>
        <source>%1 cannot be run</source>
        <translation>%1 cannot be run</translation>
    </message>
</context>
<context>
    <name>KVRGBMemory</name>
    <message>
        <source>Your change was not applied: VELTRIMA RGB Control does not answer.</source>
        <translation>Your change was not applied: VELTRIMA RGB Control does not answer.</translation>
    </message>
    <message>
        <source>Your change was not applied: the shared lighting state could not be reached. Please try again.</source>
        <translation>Your change was not applied: the shared lighting state could not be reached. Please try again.</translation>
    </message>
</context>
</TS>
