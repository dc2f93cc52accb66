<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="th_TH">
<context>
    <name>Main_View</name>
    <message>
        <source>Information</source>
        <translation>ข้อมูล</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>แสงไฟ</translation>
    </message>
    <message>
        <source>Notification</source>
        <translation>การแจ้งเตือน</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>การตั้งค่า</translation>
    </message>
</context>
<context>
    <name>Loading_View</name>
    <message>
        <source>Can not Find KV VELTRIMA</source>
        <translation>ไม่พบ KV VELTRIMA</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ตกลง</translation>
    </message>
</context>
<context>
    <name>Information_View</name>
    <message>
        <source>Channel:</source>
        <translation>แชนเนล: </translation>
    </message>
    <message>
        <source>CAS# Latency (CL):</source>
        <translation>ค่าหน่วง CAS# (CL): </translation>
    </message>
    <message>
        <source>RAS# to CAS# Delay (tRCD):</source>
        <translation>ค่าหน่วง RAS# ถึง CAS# (tRCD): </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>ความถี่: </translation>
    </message>
    <message>
        <source>Load</source>
        <translation>โหลด</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>ต่ำ</translation>
    </message>
    <message>
        <source>High</source>
        <translation>สูง</translation>
    </message>
</context>
<context>
    <name>Information_Slots_View</name>
    <message>
        <source>Type:</source>
        <translation>ประเภท: </translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>ความจุ: </translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>ความถี่: </translation>
    </message>
    <message>
        <source>Temperature:</source>
        <translation>อุณหภูมิ: </translation>
    </message>
</context>
<context>
    <name>Lighting_View</name>
    <message>
        <source>Lighting</source>
        <translation>แสงไฟ</translation>
    </message>
</context>
<context>
    <name>Noti_View</name>
    <message>
        <source>Setting Notification</source>
        <translation>ตั้งค่าการแจ้งเตือน</translation>
    </message>
    <message>
        <source>Loading</source>
        <translation>โหลด</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>แรม</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>Trigger all LED </source>
        <translation>เปลี่ยน LED ทั้งหมดเป็นสี</translation>
    </message>
    <message>
        <source>Shutdown PC</source>
        <translation>แจ้งให้ผู้ใช้ปิดเครื่องเพื่อป้องกันความเสียหาย</translation>
    </message>
    <message>
        <source>Set all fans to 100%</source>
        <translation>ตั้งพัดลมทั้งหมดเป็นความเร็วสูงสุด</translation>
    </message>
</context>
<context>
    <name>ControlProgramWatch</name>
    <message>
        <source>Waiting for VELTRIMA RGB Control…</source>
        <translation>กำลังรอ VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>Starting VELTRIMA RGB Control…</source>
        <translation>กำลังเริ่ม VELTRIMA RGB Control…</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control cannot be started: %1. Trying again every %2 seconds.</source>
        <translation>ไม่สามารถเริ่ม VELTRIMA RGB Control ได้: %1 จะลองใหม่ทุก %2 วินาที</translation>
    </message>
    <message>
        <source>The shared lighting state cannot be read. Trying again every %1 seconds.</source>
        <translation>ไม่สามารถอ่านสถานะแสงไฟที่ใช้ร่วมกันได้ จะลองใหม่ทุก %1 วินาที</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control runs but does not answer. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control กำลังทำงานแต่ไม่ตอบสนอง จะลองใหม่ทุก %1 วินาที</translation>
    </message>
    <message>
        <source>VELTRIMA RGB Control stops soon after it starts. Trying again every %1 seconds.</source>
        <translation>VELTRIMA RGB Control หยุดทำงานไม่นานหลังจากเริ่ม จะลองใหม่ทุก %1 วินาที</translation>
    </message>
</context>
<context>
    <name>ControlProgramLauncher</name>
    <message>
        <source>%1 was not found</source>
        <translation>ไม่พบ %1</translation>
    </message>
    <message>
        <source>%1 cannot be run</source>
        <translation>ไม่สามารถเรียกใช้ %1 ได้</translation>
    </message>
</context>
<context>
    <name>KVRGBMemory</name>
    <message>
        <source>Your change was not applied: VELTRIMA RGB Control does not answer.</source>
        <translation>การเปลี่ยนแปลงของคุณไม่มีผล: VELTRIMA RGB Control ไม่ตอบสนอง</translation>
    </message>
    <message>
        <source>Your change was not applied: the shared lighting state could not be reached. Please try again.</source>
        <translation>การเปลี่ยนแปลงของคุณไม่มีผล: ไม่สามารถเข้าถึงสถานะแสงไฟที่ใช้ร่วมกันได้ โปรดลองอีกครั้ง</translation>
    </message>
</context>
</TS>
