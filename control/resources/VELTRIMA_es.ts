<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>KVRGBMemoryControl</name>
    <message>
        <source>Launch VELTRIMA</source>
        <translation>Abrir VELTRIMA</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>Run VELTRIMA RGB Program when Windows starts</source>
        <translation>Minimizar tras el inicio del sistema</translation>
    </message>
    <message>
        <source>VELTRIMA RGB cannot reach the lighting state of VELTRIMA RGB Control, so changes made in the window will not reach the lights. The lights keep the saved profile. Restart VELTRIMA RGB Control to try again.</source>
        <translation>VELTRIMA RGB no puede acceder al estado de iluminación de VELTRIMA RGB Control, por lo que los cambios realizados en la ventana no llegarán a las luces. Las luces mantienen el perfil guardado. Reinicie VELTRIMA RGB Control para volver a intentarlo.</translation>
    </message>
</context>
<context>
    <name>Widget_Shutdown</name>
    <message>
        <source>Memory_Shutdown_Content</source>
        <translation>Precaución:
La temperatura de la memoria es demasiado alta. El sistema se apagará automáticamente en 30 segundos. Guarde sus datos para evitar perderlos.</translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_1</source>
        <translation>Precaución:
La temperatura de la memoria es demasiado alta. El sistema se apagará automáticamente en </translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_2</source>
        <translation> segundos. Guarde sus datos para evitar perderlos.</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content</source>
        <translation>Precaución:
La temperatura de la CPU es demasiado alta. Su sistema se apagará automáticamente en 30 segundos. Guarde sus datos para evitar perderlos.</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_1</source>
        <translation>Precaución:
La temperatura de la CPU es demasiado alta. Su sistema se apagará automáticamente en </translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_2</source>
        <translation> segundos. Guarde sus datos para evitar perderlos.</translation>
    </message>
    <message>
        <source>Shutdown_Now</source>
        <translation>Apagar ahora</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>UpdateNoteWindow</name>
    <message>
        <source>Update Note:</source>
        <translation>Notas de la actualización:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>NotificationGuard</name>
    <message>
        <source>Shutdown Failure</source>
        <translation>Error al apagar</translation>
    </message>
    <message>
        <source>The system did not shut down (%1). Please save your data and shut the computer down yourself.</source>
        <translation>El sistema no se ha apagado (%1). Guarde sus datos y apague el equipo usted mismo.</translation>
    </message>
</context>
</TS>
