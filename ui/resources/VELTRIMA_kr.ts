<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko_KR">
<context>
    <name>Main_View</name>
    <message>
        <source>Information</source>
        <translation>정보</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>조명</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>알림</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>설정</translation>
    </message>
</context>
<context>
    <name>Loading_View</name>
    <message>
        <source>Can not Find KV VELTRIMA</source>
        <translation>KV VELTRIMA를 찾을 수 없습니다</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
</context>
<context>
    <name>Information_View</name>
    <message>
        <source>Channel:</source>
        <translation>채널: </translation>
    </message>
    <message>
        <source>CAS# Latency (CL):</source>
        <translation>CAS# 레이턴시 (CL): </translation>
    </message>
    <message>
        <source>RAS# to CAS# Delay (tRCD):</source>
        <translation>RAS#-CAS# 지연 (tRCD): </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>주파수: </translation>
    </message>
    <message>
        <source>Load</source>
        <translation>부하</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>낮음</translation>
    </message>
    <message>
        <source>High</source>
        <translation>높음</translation>
    </message>
</context>
<context>
    <name>Information_Slots_View</name>
    <message>
        <source>Type:</source>
        <translation>유형: </translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>용량: </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>주파수: </translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>온도: </translation>
    </message>
</context>
<context>
    <name>Lighting_View</name>
    <message>
        <source>Lighting</source>
        <translation>조명</translation>
    </message>
</context>
<context>
    <name>Noti_View</name>
    <message>
        <source>Setting Notification</source>
        <translation>알림 설정</translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>부하</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>메모리</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>Trigger all LED </source>
        <translation>모든 LED를 다음 색으로 전환</translation>
    </message>
    <message>
        <source>Shutdown PC</source>
        <translation>손상을 막기 위해 PC 종료를 안내</translation>
    </message>
    <message>
        <source>Set all fans to 100%</source>
        <translation>모든 팬을 최고 속도로 설정</translation>
    </message>
</context>
<context>
    <name>ControlProgramWatch</name>
    <message>
        <source>Waiting for VELTRIMA RGB Control…</source>
        <translation>VELTRIMA RGB Control을 기다리는 중…</translation>
    </message>
    <message>
        <source>Starting VELTRIMA RGB Control…</source>
        <translation>VELTRIMA RGB Control을 시작하는 중…</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control cannot be started: %1. Trying again every %2 seconds.</source>
        <translation>VELTRIMA RGB Control을 시작할 수 없습니다: %1. %2초마다 다시 시도합니다.</translation>
    </message>
    <message>
        <source>The shared lighting state cannot be read. Trying again every %1 seconds.</source>
        <translation>공유 조명 상태를 읽을 수 없습니다. %1초마다 다시 시도합니다.</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control runs but does not answer. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control이 실행 중이지만 응답하지 않습니다. %1초마다 다시 시도합니다.</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control stops soon after it starts. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control이 시작 직후 멈춥니다. %1초마다 다시 시도합니다.</translation>
    </message>
</context>
<context>
    <name>ControlProgramLauncher</name>
    <message>
        <source>%1 was not found</source>
        <translation>%1을(를) 찾을 수 없습니다</translation>
    </message>
    <message>
        <source>%1 cannot be run</source>
        <translation>%1을(를) 실행할 수 없습니다</translation>
    </message>
</context>
<context>
    <name>KVRGBMemory</name>
    <message>
        <source>Your change was not applied: VELTRIMA RGB Control does not answer.</source>
        <translation>변경 사항이 적용되지 않았습니다: VELTRIMA RGB Control이 응답하지 않습니다.</translation>
    </message>
    <message>
        <source>Your change was not applied: the shared lighting state could not be reached. Please try again.</source>
        <translation>변경 사항이 적용되지 않았습니다: 공유 조명 상태에 접근할 수 없습니다. 다시 시도해 주세요.</translation>
    </message>
</context>
</TS>
