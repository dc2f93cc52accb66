<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Main_View</name>
    <message>
        <source>Information</source>
        <translation>Informations</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>Éclairage</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>Notifications</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
</context>
<context>
    <name>Loading_View</name>
    <message>
        <source>Can not Find KV VELTRIMA</source>
        <translation>KV VELTRIMA introuvable</translation>
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
        <translation>Canal : </translation>
    </message>
    <message>
        <source>CAS# Latency (CL):</source>
        <translation>Latence CAS# (CL) : </translation>
    </message>
    <message>
        <source>RAS# to CAS# Delay (tRCD):</source>
        <translation>Délai RAS# vers CAS# (tRCD) : </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Fréquence : </translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Charge</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Faible</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Forte</translation>
    </message>
</context>
<context>
    <name>Information_Slots_View</name>
    <message>
        <source>Type:</source>
        <translation>Type : </translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Taille : </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Fréquence : </translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>Température : </translation>
    </message>
</context>
<context>
    <name>Lighting_View</name>
    <message>
        <source>Lighting</source>
        <translation>Éclairage</translation>
    </message>
</context>
<context>
    <name>Noti_View</name>
    <message>
        <source>Setting Notification</source>
        <translation>Configurer les notifications</translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>Charge</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>Mémoire</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>Trigger all LED </source>
        <translation>allume toutes les LED en</translation>
    </message>
    <message>
        <source>Shutdown PC</source>
        <translation>invite à éteindre le PC pour éviter tout dommage</translation>
    </message>
    <message>
        <source>Set all fans to 100%</source>
        <translation>règle tous les ventilateurs à pleine vitesse</translation>
    </message>
</context>
<context>
    <name>ControlProgramWatch</name>
    <message>
        <source>Waiting for VELTRIMA RGB Control…</source>
        <translation>En attente de VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>Starting VELTRIMA RGB Control…</source>
        <translation>Démarrage de VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control cannot be started: %1. Trying again every %2 seconds.</source>
        <translation>Impossible de démarrer VELTRIMA RGB Control : %1. Nouvel essai toutes les %2 secondes.</translation>
    </message>
    <message>
        <source>The shared lighting state cannot be read. Trying again every %1 seconds.</source>
        <translation>Impossible de lire l'état d'éclairage partagé. Nouvel essai toutes les %1 secondes.</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control runs but does not answer. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control est lancé mais ne répond pas. Nouvel essai toutes les %1 secondes.</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control stops soon after it starts. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control s'arrête peu après son démarrage. Nouvel essai toutes les %1 secondes.</translation>
    </message>
</context>
<context>
    <name>ControlProgramLauncher</name>
    <message>
        <source>%1 was not found</source>
        <translation>%1 est introuvable</translation>
    </message>
    <message>
        <source>%1 cannot be run</source>
        <translation>%1 ne peut pas être exécuté</translation>
    </message>
</context>
<context>
    <name>KVRGBMemory</name>
    <message>
        <source>Your change was not applied: VELTRIMA RGB Control does not answer.</source>
        <translation>Votre modification n'a pas été appliquée : VELTRIMA RGB Control ne répond pas.</translation>
    </message>
    <message>
        <source>Your change was not applied: the shared lighting state could not be reached. Please try again.</source>
        <translation>Votre modification n'a pas été appliquée : l'état d'éclairage partagé est inaccessible. Veuillez réessayer.</translation>
    </message>
</context>
</TS>
