<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko_KR">
<context>
    <name>KVRGBMemoryControl</name>
    <message>
        <source>Launch VELTRIMA</source>
        <translation>VELTRIMA 실행</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>열기</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>종료</translation>
    </message>
    <message>
        <source>Run VELTRIMA RGB Program when Windows starts</source>
        <translation>시스템 시작 후 최소화</translation>
    </message>
    <message>
        <source>VELTRIMA RGB cannot reach the lighting state of VELTRIMA RGB Control, so changes made in the window will not reach the lights. The lights keep the saved profile. Restart VELTRIMA RGB Control to try again.</source>
        <translation>VELTRIMA RGB가 VELTRIMA RGB Control의 조명 상태에 접근할 수 없어 창에서 변경한 내용이 조명에 반영되지 않습니다. 조명은 저장된 프로필을 유지합니다. 다시 시도하려면 VELTRIMA RGB Control을 다시 시작하세요.</translation>
    </message>
</context>
<context>
    <name>Widget_Shutdown</name>
    <message>
        <source>Memory_Shutdown_Content</source>
        <translation>주의:
메모리 온도가 너무 높습니다. 시스템이 30초 후에 자동으로 종료됩니다. 데이터 손실을 막으려면 데이터를 저장하세요.</translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_1</source>
        <translation>주의:
메모리 온도가 너무 높습니다. 시스템이 </translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_2</source>
        <translation>초 후에 자동으로 종료됩니다. 데이터 손실을 막으려면 데이터를 저장하세요.</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content</source>
        <translation>주의:
CPU 온도가 너무 높습니다. 시스템이 30초 후에 자동으로 종료됩니다. 데이터 손실을 막으려면 데이터를 저장하세요.</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_1</source>
        <translation>주의:
CPU 온도가 너무 높습니다. 시스템이 </translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_2</source>
        <translation>초 후에 자동으로 종료됩니다. 데이터 손실을 막으려면 데이터를 저장하세요.</translation>
    </message>
    <message>
        <source>Shutdown_Now</source>
        <translation>지금 종료</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
</context>
<context>
    <name>UpdateNoteWindow</name>
    <message>
        <source>Update Note:</source>
        <translation>업데이트 내용:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>닫기</translation>
    </message>
</context>
<context>
    <name>NotificationGuard</name>
    <message>
        <source>Shutdown Failure</source>
        <translation>종료 실패</translation>
    </message>
    <message>
        <source>The system did not shut down (%1). Please save your data and shut the computer down yourself.</source>
        <translation>시스템이 종료되지 않았습니다(%1). 데이터를 저장한 후 직접 컴퓨터를 종료하세요.</translation>
    </message>
</context>
</TS>
