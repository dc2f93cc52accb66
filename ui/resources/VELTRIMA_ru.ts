<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Main_View</name>
    <message>
        <source>Information</source>
        <translation>Информация</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>Подсветка</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>Уведомления</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
</context>
<context>
    <name>Loading_View</name>
    <message>
        <source>Can not Find KV VELTRIMA</source>
        <translation>KV VELTRIMA не найден</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
</context>
<context>
    <name>Information_View</name>
    <message>
        <source>Channel:</source>
        <translation>Канал: </translation>
    </message>
    <message>
        <source>CAS# Latency (CL):</source>
        <translation>Задержка CAS# (CL): </translation>
    </message>
    <message>
        <source>RAS# to CAS# Delay (tRCD):</source>
        <translation>Задержка RAS# до CAS# (tRCD): </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Частота: </translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Нагрузка</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Мин.</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Макс.</translation>
    </message>
</context>
<context>
    <name>Information_Slots_View</name>
    <message>
        <source>Type:</source>
        <translation>Тип: </translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Объём: </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Частота: </translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>Температура: </translation>
    </message>
</context>
<context>
    <name>Lighting_View</name>
    <message>
        <source>Lighting</source>
        <translation>Подсветка</translation>
    </message>
</context>
<context>
    <name>Noti_View</name>
    <message>
        <source>Setting Notification</source>
        <translation>Настройка уведомлений</translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>Нагрузка</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>Память</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>ЦП</translation>
    </message>
    <message>
        <source>Trigger all LED </source>
        <translation>переключает все светодиоды на</translation>
    </message>
    <message>
        <source>Shutdown PC</source>
        <translation>предлагает выключить ПК во избежание повреждений</translation>
    </message>
    <message>
        <source>Set all fans to 100%</source>
        <translation>переводит все вентиляторы на полную скорость</translation>
    </message>
</context>
<context>
    <name>ControlProgramWatch</name>
    <message>
        <source>Waiting for VELTRIMA RGB Control…</source>
        <translation>Ожидание VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>Starting VELTRIMA RGB Control…</source>
        <translation>Запуск VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control cannot be started: %1. Trying again every %2 seconds.</source>
        <translation>Не удаётся запустить VELTRIMA RGB Control: %1. Повторная попытка каждые %2 с.</translation>
    </message>
    <message>
        <source>The shared lighting state cannot be read. Trying again every %1 seconds.</source>
        <translation>Не удаётся прочитать общее состояние подсветки. Повторная попытка каждые %1 с.</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control runs but does not answer. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control запущен, но не отвечает. Повторная попытка каждые %1 с.</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control stops soon after it starts. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control завершается вскоре после запуска. Повторная попытка каждые %1 с.</translation>
    </message>
</context>
<context>
    <name>ControlProgramLauncher</name>
    <message>
        <source>%1 was not found</source>
        <translation>файл %1 не найден</translation>
    </message>
    <message>
        <source>%1 cannot be run</source>
        <translation>не удаётся запустить файл %1</translation>
    </message>
</context>
<context>
    <name>KVRGBMemory</name>
    <message>
        <source>Your change was not applied: VELTRIMA RGB Control does not answer.</source>
        <translation>Изменение не применено: VELTRIMA RGB Control не отвечает.</translation>
    </message>
    <message>
        <source>Your change was not applied: the shared lighting state could not be reached. Please try again.</source>
        <translation>Изменение не применено: общее состояние подсветки недоступно. Повторите попытку.</translation>
    </message>
</context>
</TS>
