<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- A stand-in Russian catalogue for the tests, used only where the build ships none. -->
<TS version="2.1" language="ru_RU">
<context>
    <name>Main_View</name>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
</context>
<context>
    <name>Loading_View</name>
    <message>
        <source>Can not Find KV VELTRIMA</source>
        <translation>Модули KV VELTRIMA не найдены</translation>
    </message>
</context>
<context>
    <name>Setting_View</name>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>Run VELTRIMA RGB Program when Windows starts.</source>
        <translation>Сворачивать после запуска системы</translation>
    </message>
    <message>
        <source>ru</source>
        <translation>Русский</translation>
    </message>
</context>
<context>
    <name>Widget_LocationPolicy</name>
    <message>
        <source>Location_Warning_Title</source>
        <translation>Политика конфиденциальности</translation>
    </message>
</context>
<context>
    <name>Widget_Shutdown</name>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_1</source>
        <translation>Внимание:
Температура памяти слишком высока, система выключится через </translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_2</source>
        <translation> с. Сохраните данные.</translation>
    </message>
</context>
</TS>
