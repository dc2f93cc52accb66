<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Lighting_View</name>
    <message>
        <source>Flow</source>
        <translation>Поток</translation>
    </message>
    <message>
        <source>RGB Spectrum</source>
        <translation>Спектр RGB</translation>
    </message>
    <message>
        <source>Ripple</source>
        <translation>Радар</translation>
    </message>
    <message>
        <source>Blink</source>
        <translation>Мигание</translation>
    </message>
    <message>
        <source>Pulse</source>
        <translation>Пульсация</translation>
    </message>
    <message>
        <source>Wave</source>
        <translation>Волна</translation>
    </message>
    <message>
        <source>Static</source>
        <translation>Статичный</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать цвет</translation>
    </message>
    <message>
        <source>Movie</source>
        <translation>Кино</translation>
    </message>
    <message>
        <source>Gaming</source>
        <translation>Игры</translation>
    </message>
    <message>
        <source>Party</source>
        <translation>Вечеринка</translation>
    </message>
    <message>
        <source>Mobile_Movie</source>
        <translation>Кино (моб.)</translation>
    </message>
    <message>
        <source>Mobile_Gaming</source>
        <translation>Игры (моб.)</translation>
    </message>
    <message>
        <source>Mobile_Party</source>
        <translation>Вечеринка (моб.)</translation>
    </message>
    <message>
        <source>Temp.</source>
        <translation>Температура</translation>
    </message>
    <message>
        <source>Cross</source>
        <translation>Пересечение</translation>
    </message>
    <message>
        <source>Hello</source>
        <translation>KV</translation>
    </message>
    <message>
        <source>Shooting Star</source>
        <translation>Падающая звезда</translation>
    </message>
    <message>
        <source>Black Hole</source>
        <translation>Чёрная дыра</translation>
    </message>
    <message>
        <source>Aurora</source>
        <translation>Северное сияние</translation>
    </message>
    <message>
        <source>RGB Sync</source>
        <translation>Синхр. RGB</translation>
    </message>
    <message>
        <source>Twinkle</source>
        <translation>Мерцание</translation>
    </message>
    <message>
        <source>Script</source>
        <translation>Сценарий</translation>
    </message>
    <message>
        <source>Weather</source>
        <translation>Погода</translation>
    </message>
    <message>
        <source>Raindrop</source>
        <translation>Капля дождя</translation>
    </message>
    <message>
        <source>Heartbeat</source>
        <translation>Сердцебиение</translation>
    </message>
    <message>
        <source>Stack</source>
        <translation>Стопка</translation>
    </message>
    <message>
        <source>Scan</source>
        <translation>Сканер</translation>
    </message>
    <message>
        <source>Swirl</source>
        <translation>Вихрь</translation>
    </message>
    <message>
        <source>Screen Gaming</source>
        <translation>Плеер</translation>
    </message>
    <message>
        <source>Screen Movie</source>
        <translation>Плеер</translation>
    </message>
    <message>
        <source>Clock</source>
        <translation>Часы</translation>
    </message>
    <message>
        <source>Rain</source>
        <translation>Дождь</translation>
    </message>
    <message>
        <source>Fireworks</source>
        <translation>Фейерверк</translation>
    </message>
    <message>
        <source>Explosion</source>
        <translation>Взрыв</translation>
    </message>
    <message>
        <source>MB Sync</source>
        <translation>Синхр. с МП</translation>
    </message>
    <message>
        <source>RGB</source>
        <translation>RGB</translation>
    </message>
    <message>
        <source>Single</source>
        <translation>Один цвет</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>Выкл.</translation>
    </message>
    <message>
        <source>Random</source>
        <translation>Случайный</translation>
    </message>
    <message>
        <source>Extreme</source>
        <translation>Экстрим</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>Быстро</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Средне</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>Медленно</translation>
    </message>
    <message>
        <source>Color Mode</source>
        <translation>Режим цвета</translation>
    </message>
    <message>
        <source>Light Speed</source>
        <translation>Скорость</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>Вкл.</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Сброс</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Применить</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Правка</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Предпросмотр</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Проф.</translation>
    </message>
</context>
</TS>
