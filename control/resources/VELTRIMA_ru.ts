<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>KVRGBMemoryControl</name>
    <message>
        <source>Launch VELTRIMA</source>
        <translation>Открыть VELTRIMA</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>Run VELTRIMA RGB Program when Windows starts</source>
        <translation>Сворачивать после запуска системы</translation>
    </message>
    <message>
        <source>VELTRIMA RGB cannot reach the lighting state of VELTRIMA RGB Control, so changes made in the window will not reach the lights. The lights keep the saved profile. Restart VELTRIMA RGB Control to try again.</source>
        <translation>VELTRIMA RGB не может получить доступ к состоянию подсветки VELTRIMA RGB Control, поэтому изменения, сделанные в окне, не будут применены к подсветке. Подсветка продолжит работать по сохранённому профилю. Перезапустите VELTRIMA RGB Control, чтобы повторить попытку.</translation>
    </message>
</context>
<context>
    <name>Widget_Shutdown</name>
    <message>
        <source>Memory_Shutdown_Content</source>
        <translation>Внимание!
Температура памяти слишком высокая. Система автоматически выключится через 30 секунд. Сохраните данные, чтобы не потерять их.</translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_1</source>
        <translation>Внимание!
Температура памяти слишком высокая. Система автоматически выключится через </translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_2</source>
        <translation> с. Сохраните данные, чтобы не потерять их.</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content</source>
        <translation>Внимание!
Температура процессора слишком высокая. Система автоматически выключится через 30 секунд. Сохраните данные, чтобы не потерять их.</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_1</source>
        <translation>Внимание!
Температура процессора слишком высокая. Система автоматически выключится через </translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_2</source>
        <translation> с. Сохраните данные, чтобы не потерять их.</translation>
    </message>
    <message>
        <source>Shutdown_Now</source>
        <translation>Выключить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>UpdateNoteWindow</name>
    <message>
        <source>Update Note:</source>
        <translation>Примечания к обновлению:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
<context>
    <name>NotificationGuard</name>
    <message>
        <source>Shutdown Failure</source>
        <translation>Не удалось выключить компьютер</translation>
    </message>
    <message>
        <source>The system did not shut down (%1). Please save your data and shut the computer down yourself.</source>
        <translation>Система не выключилась (%1). Сохраните данные и выключите компьютер вручную.</translation>
    </message>
</context>
</TS>
