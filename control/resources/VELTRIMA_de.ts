<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>KVRGBMemoryControl</name>
    <message>
        <source>Launch VELTRIMA</source>
        <translation>VELTRIMA öffnen</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Run VELTRIMA RGB Program when Windows starts</source>
        <translation>Nach dem Systemstart minimieren</translation>
    </message>
    <message>
        <source>VELTRIMA RGB cannot reach the lighting state of VELTRIMA RGB Control, so changes made in the window will not reach the lights. The lights keep the saved profile. Restart VELTRIMA RGB Control to try again.</source>
        <translation>VELTRIMA RGB kann den Beleuchtungszustand von VELTRIMA RGB Control nicht erreichen, daher kommen Änderungen im Fenster nicht bei der Beleuchtung an. Die Beleuchtung behält das gespeicherte Profil. Starten Sie VELTRIMA RGB Control neu, um es erneut zu versuchen.</translation>
    </message>
</context>
<context>
    <name>Widget_Shutdown</name>
    <message>
        <source>Memory_Shutdown_Content</source>
        <translation>Achtung:
Die Speichertemperatur ist zu hoch. Das System wird in 30 Sekunden automatisch heruntergefahren. Speichern Sie Ihre Daten, um Datenverlust zu vermeiden.</translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_1</source>
        <translation>Achtung:
Die Speichertemperatur ist zu hoch. Das System wird in </translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_2</source>
        <translation> Sekunden automatisch heruntergefahren. Speichern Sie Ihre Daten, um Datenverlust zu vermeiden.</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content</source>
        <translation>Achtung:
Die CPU-Temperatur ist zu hoch. Ihr System wird in 30 Sekunden automatisch heruntergefahren. Speichern Sie Ihre Daten, um Datenverlust zu vermeiden.</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_1</source>
        <translation>Achtung:
Die CPU-Temperatur ist zu hoch. Ihr System wird in </translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_2</source>
        <translation> Sekunden automatisch heruntergefahren. Speichern Sie Ihre Daten, um Datenverlust zu vermeiden.</translation>
    </message>
    <message>
        <source>Shutdown_Now</source>
        <translation>Ausschalten</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>UpdateNoteWindow</name>
    <message>
        <source>Update Note:</source>
        <translation>Hinweise zum Update:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>NotificationGuard</name>
    <message>
        <source>Shutdown Failure</source>
        <translation>Herunterfahren fehlgeschlagen</translation>
    </message>
    <message>
        <source>The system did not shut down (%1). Please save your data and shut the computer down yourself.</source>
        <translation>Das System wurde nicht heruntergefahren (%1). Bitte speichern Sie Ihre Daten und fahren Sie den Computer selbst herunter.</translation>
    </message>
</context>
</TS>
