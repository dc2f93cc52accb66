<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>Main_View</name>
    <message>
        <source>Information</source>
        <translation>Información</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>Iluminación</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>Notificaciones</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
</context>
<context>
    <name>Loading_View</name>
    <message>
        <source>Can not Find KV VELTRIMA</source>
        <translation>No se encuentra KV VELTRIMA</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
</context>
<context>
    <name>Information_View</name>
    <message>
        <source>Channel:</source>
        <translation>Canal: </translation>
    </message>
    <message>
        <source>CAS# Latency (CL):</source>
        <translation>Latencia CAS# (CL): </translation>
    </message>
    <message>
        <source>RAS# to CAS# Delay (tRCD):</source>
        <translation>Retardo de RAS# a CAS# (tRCD): </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Frecuencia: </translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Carga</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Baja</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Alta</translation>
    </message>
</context>
<context>
    <name>Information_Slots_View</name>
    <message>
        <source>Type:</source>
        <translation>Tipo: </translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Tamaño: </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Frecuencia: </translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>Temperatura: </translation>
    </message>
</context>
<context>
    <name>Lighting_View</name>
    <message>
        <source>Lighting</source>
        <translation>Iluminación</translation>
    </message>
</context>
<context>
    <name>Noti_View</name>
    <message>
        <source>Setting Notification</source>
        <translation>Configurar notificaciones</translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>Carga</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>Memoria</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>Trigger all LED </source>
        <translation>cambia todos los LED a</translation>
    </message>
    <message>
        <source>Shutdown PC</source>
        <translation>pide apagar el PC para evitar daños</translation>
    </message>
    <message>
        <source>Set all fans to 100%</source>
        <translation>pone todos los ventiladores a máxima velocidad</translation>
    </message>
</context>
<context>
    <name>ControlProgramWatch</name>
    <message>
        <source>Waiting for VELTRIMA RGB Control…</source>
        <translation>Esperando a VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>Starting VELTRIMA RGB Control…</source>
        <translation>Iniciando VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control cannot be started: %1. Trying again every %2 seconds.</source>
        <translation>No se puede iniciar VELTRIMA RGB Control: %1. Se volverá a intentar cada %2 segundos.</translation>
    </message>
    <message>
        <source>The shared lighting state cannot be read. Trying again every %1 seconds.</source>
        <translation>No se puede leer el estado de iluminación compartido. Se volverá a intentar cada %1 segundos.</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control runs but does not answer. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control está en ejecución pero no responde. Se volverá a intentar cada %1 segundos.</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control stops soon after it starts. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control se detiene poco después de iniciarse. Se volverá a intentar cada %1 segundos.</translation>
    </message>
</context>
<context>
    <name>ControlProgramLauncher</name>
    <message>
        <source>%1 was not found</source>
        <translation>no se encuentra %1</translation>
    </message>
    <message>
        <source>%1 cannot be run</source>
        <translation>no se puede ejecutar %1</translation>
    </message>
</context>
<context>
    <name>KVRGBMemory</name>
    <message>
        <source>Your change was not applied: VELTRIMA RGB Control does not answer.</source>
        <translation>El cambio no se ha aplicado: VELTRIMA RGB Control no responde.</translation>
    </message>
    <message>
        <source>Your change was not applied: the shared lighting state could not be reached. Please try again.</source>
        <translation>El cambio no se ha aplicado: no se pudo acceder al estado de iluminación compartido. Inténtelo de nuevo.</translation>
    </message>
</context>
</TS>
