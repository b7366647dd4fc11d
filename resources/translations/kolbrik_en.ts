<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>Localizable</name>
    <message>
        <source>CAPTION</source>
        <translation>%1 – Kolbrik Viewer</translation>
    </message>
    <message>
        <source>SHEETWAITOPENMODEL</source>
        <translation>Opening the model…</translation>
    </message>
    <message>
        <source>ORIGINAL</source>
        <translation>Original model: %1</translation>
    </message>
    <message>
        <source>ERSTELLTVON</source>
        <translation>Built by: %1</translation>
    </message>
    <message>
        <source>SHEETWAITEXPORTVRML</source>
        <translation>Exporting the scene as VRML…</translation>
    </message>
    <message>
        <source>VRMLTITLE</source>
        <translation>VRML export</translation>
    </message>
    <message>
        <source>VRMLFINISH</source>
        <translation>The scene has been written as a VRML file.</translation>
    </message>
</context>
</TS>
