<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Main_View</name>
    <message>
        <source>Information</source>
        <translation>Informationen</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>Beleuchtung</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>Meldungen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>Loading_View</name>
    <message>
        <source>Can not Find KV VELTRIMA</source>
        <translation>KV VELTRIMA nicht gefunden</translation>
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
        <translation>Kanal: </translation>
    </message>
    <message>
        <source>CAS# Latency (CL):</source>
        <translation>CAS#-Latenz (CL): </translation>
    </message>
    <message>
        <source>RAS# to CAS# Delay (tRCD):</source>
        <translation>RAS#-zu-CAS#-Verzögerung (tRCD): </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Frequenz: </translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Auslastung</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Min.</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Max.</translation>
    </message>
</context>
<context>
    <name>Information_Slots_View</name>
    <message>
        <source>Type:</source>
        <translation>Typ: </translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Größe: </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Frequenz: </translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>Temperatur: </translation>
    </message>
</context>
<context>
    <name>Lighting_View</name>
    <message>
        <source>Lighting</source>
        <translation>Beleuchtung</translation>
    </message>
</context>
<context>
    <name>Noti_View</name>
    <message>
        <source>Setting Notification</source>
        <translation>Meldungen einrichten</translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>Auslastung</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>Speicher</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>Trigger all LED </source>
        <translation>schaltet alle LEDs auf</translation>
    </message>
    <message>
        <source>Shutdown PC</source>
        <translation>fordert zum Herunterfahren des PCs auf, um Schäden zu vermeiden</translation>
    </message>
    <message>
        <source>Set all fans to 100%</source>
        <translation>setzt alle Lüfter auf volle Drehzahl</translation>
    </message>
</context>
<context>
    <name>ControlProgramWatch</name>
    <message>
        <source>Waiting for VELTRIMA RGB Control…</source>
        <translation>Warten auf VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>Starting VELTRIMA RGB Control…</source>
        <translation>VELTRIMA RGB Control wird gestartet…</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control cannot be started: %1. Trying again every %2 seconds.</source>
        <translation>VELTRIMA RGB Control kann nicht gestartet werden: %1. Neuer Versuch alle %2 Sekunden.</translation>
    </message>
    <message>
        <source>The shared lighting state cannot be read. Trying again every %1 seconds.</source>
        <translation>Der gemeinsame Beleuchtungszustand kann nicht gelesen werden. Neuer Versuch alle %1 Sekunden.</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control runs but does not answer. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control läuft, antwortet aber nicht. Neuer Versuch alle %1 Sekunden.</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control stops soon after it starts. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control beendet sich kurz nach dem Start. Neuer Versuch alle %1 Sekunden.</translation>
    </message>
</context>
<context>
    <name>ControlProgramLauncher</name>
    <message>
        <source>%1 was not found</source>
        <translation>%1 wurde nicht gefunden</translation>
    </message>
    <message>
        <source>%1 cannot be run</source>
        <translation>%1 kann nicht ausgeführt werden</translation>
    </message>
</context>
<context>
    <name>KVRGBMemory</name>
    <message>
        <source>Your change was not applied: VELTRIMA RGB Control does not answer.</source>
        <translation>Ihre Änderung wurde nicht übernommen: VELTRIMA RGB Control antwortet nicht.</translation>
    </message>
    <message>
        <source>Your change was not applied: the shared lighting state could not be reached. Please try again.</source>
        <translation>Ihre Änderung wurde nicht übernommen: Der gemeinsame Beleuchtungszustand war nicht erreichbar. Bitte versuchen Sie es erneut.</translation>
    </message>
</context>
</TS>
