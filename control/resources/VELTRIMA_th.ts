<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="th_TH">
<context>
    <name>KVRGBMemoryControl</name>
    <message>
        <source>Launch VELTRIMA</source>
        <translation>เปิด VELTRIMA</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>เปิด</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>ออก</translation>
    </message>
    <message>
        <source>Run VELTRIMA RGB Program when Windows starts</source>
        <translation>ย่อหน้าต่างหลังเริ่มระบบ</translation>
    </message>
    <message>
        <source>VELTRIMA RGB cannot reach the lighting state of VELTRIMA RGB Control, so changes made in the window will not reach the lights. The lights keep the saved profile. Restart VELTRIMA RGB Control to try again.</source>
        <translation>VELTRIMA RGB ไม่สามารถเข้าถึงสถานะแสงไฟของ VELTRIMA RGB Control ได้ การเปลี่ยนแปลงในหน้าต่างจึงจะไม่มีผลกับไฟ ไฟจะคงตามโปรไฟล์ที่บันทึกไว้ โปรดรีสตาร์ต VELTRIMA RGB Control แล้วลองอีกครั้ง</translation>
    </message>
</context>
<context>
    <name>Widget_Shutdown</name>
    <message>
        <source>Memory_Shutdown_Content</source>
        <translation>คำเตือน:
อุณหภูมิของหน่วยความจำสูงเกินไป ระบบจะปิดเครื่องโดยอัตโนมัติใน 30 วินาที โปรดบันทึกข้อมูลของคุณเพื่อป้องกันข้อมูลสูญหาย</translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_1</source>
        <translation>คำเตือน:
อุณหภูมิของหน่วยความจำสูงเกินไป ระบบจะปิดเครื่องโดยอัตโนมัติใน </translation>
    </message>
    <message>
        <source>Memory_Shutdown_Content_2</source>
        <translation> วินาที โปรดบันทึกข้อมูลของคุณเพื่อป้องกันข้อมูลสูญหาย</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content</source>
        <translation>คำเตือน:
อุณหภูมิของ CPU สูงเกินไป ระบบจะปิดเครื่องโดยอัตโนมัติใน 30 วินาที โปรดบันทึกข้อมูลของคุณเพื่อป้องกันข้อมูลสูญหาย</translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_1</source>
        <translation>คำเตือน:
อุณหภูมิของ CPU สูงเกินไป ระบบจะปิดเครื่องโดยอัตโนมัติใน </translation>
    </message>
    <message>
        <source>CPU_Shutdown_Content_2</source>
        <translation> วินาที โปรดบันทึกข้อมูลของคุณเพื่อป้องกันข้อมูลสูญหาย</translation>
    </message>
    <message>
        <source>Shutdown_Now</source>
        <translation>ปิดเครื่องทันที</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>ยกเลิก</translation>
    </message>
</context>
<context>
    <name>UpdateNoteWindow</name>
    <message>
        <source>Update Note:</source>
        <translation>รายละเอียดการอัปเดต:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>ปิด</translation>
    </message>
</context>
<context>
    <name>NotificationGuard</name>
    <message>
        <source>Shutdown Failure</source>
        <translation>ปิดเครื่องไม่สำเร็จ</translation>
    </message>
    <message>
        <source>The system did not shut down (%1). Please save your data and shut the computer down yourself.</source>
        <translation>ระบบไม่ได้ปิดเครื่อง (%1) โปรดบันทึกข้อมูลของคุณและปิดคอมพิวเตอร์ด้วยตนเอง</translation>
    </message>
</context>
</TS>
