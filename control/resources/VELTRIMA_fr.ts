<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>KVRGBMemoryControl</name>
    <message>
        <source>Launch VELTRIMA</source>
        <translation>Ouvrir VELTRIMA</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Run VELTRIMA RGB Program when Windows starts</source>
        <translation>Réduire après le démarrage du système</translation>
    </message>
    <message>
        <source>VELTRIMA RGB cannot reach the lighting state of VELTRIMA RGB Control, so changes made in the window will not reach the lights. The lights keep the saved profile. Restart VELTRIMA RGB Control to try again.</source>
        <translation>VELTRIMA RGB ne peut pas accéder à l'état d'éclairage de VELTRIMA RGB Control : les modifications faites dans la fenêtre ne seront pas appliquées à l'éclairage. L'éclairage conserve le profil enregistré. Redémarrez VELTRIMA RGB Control pour réessayer.</translation>
    </message>
</context>
<context>
    <name>Widget_Shutdown</name>
    <message>
        <source>Memory_Shutdown_Content</source>
        <translation>Attention :
La température de la mémoire est trop élevée. Le système s'arrêtera automatiquement dans 30 secondes. Enregistrez vos données pour ne pas les perdre.</translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_1</source>
        <translation>Attention :
La température de la mémoire est trop élevée. Le système s'arrêtera automatiquement dans </translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_2</source>
        <translation> secondes. Enregistrez vos données pour ne pas les perdre.</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content</source>
        <translation>Attention :
La température du processeur est trop élevée. Votre système s'arrêtera automatiquement dans 30 secondes. Enregistrez vos données pour ne pas les perdre.</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_1</source>
        <translation>Attention :
La température du processeur est trop élevée. Votre système s'arrêtera automatiquement dans </translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_2</source>
        <translation> secondes. Enregistrez vos données pour ne pas les perdre.</translation>
    </message>
    <message>
        <source>Shutdown_Now</source>
        <translation>Éteindre</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>UpdateNoteWindow</name>
    <message>
        <source>Update Note:</source>
        <translation>Notes de mise à jour :</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>NotificationGuard</name>
    <message>
        <source>Shutdown Failure</source>
        <translation>Échec de l'arrêt</translation>
    </message>
    <message>
        <source>The system did not shut down (%1). Please save your data and shut the computer down yourself.</source>
        <translation>Le système ne s'est pas arrêté (%1). Veuillez enregistrer vos données et éteindre l'ordinateur vous-même.</translation>
    </message>
</context>
</TS>
