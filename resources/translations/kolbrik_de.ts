<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Localizable</name>
    <message>
        <source>CAPTION</source>
        <translation>%1 – Kolbrik Viewer</translation>
    </message>
    <message>
        <source>SHEETWAITOPENMODEL</source>
        <translation>Das Modell wird geöffnet …</translation>
    </message>
    <message>
        <source>ORIGINAL</source>
        <translation>Originalmodell: %1</translation>
    </message>
    <message>
        <source>ERSTELLTVON</source>
        <translation>Gebaut von: %1</translation>
    </message>
    <message>
        <source>SHEETWAITEXPORTVRML</source>
        <translation>Die Szene wird als VRML exportiert …</translation>
    </message>
    <message>
        <source>VRMLTITLE</source>
        <translation>VRML-Export</translation>
    </message>
    <message>
        <source>VRMLFINISH</source>
        <translation>Die Szene wurde als VRML-Datei geschrieben.</translation>
    </message>
</context>
<context>
    <name>MainWindowController</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Phase</source>
        <translation>&amp;Bauphase</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Open…</source>
        <translation>Ö&amp;ffnen …</translation>
    </message>
    <message>
        <source>&amp;Library…</source>
        <translation>&amp;Bibliothek …</translation>
    </message>
    <message>
        <source>&amp;Export as VRML…</source>
        <translation>Als VRML &amp;exportieren …</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>&amp;Drucken …</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Grid</source>
        <translation>&amp;Raster</translation>
    </message>
    <message>
        <source>&amp;Deselect all</source>
        <translation>Auswahl &amp;aufheben</translation>
    </message>
    <message>
        <source>&amp;Centre on selected part</source>
        <translation>Auf gewähltes Bauteil &amp;zentrieren</translation>
    </message>
    <message>
        <source>&amp;Part information</source>
        <translation>Bauteil-&amp;Info</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Aktualisieren</translation>
    </message>
    <message>
        <source>&amp;Settings…</source>
        <translation>&amp;Einstellungen …</translation>
    </message>
    <message>
        <source>&amp;Choose phase…</source>
        <translation>Bauphase &amp;wählen …</translation>
    </message>
    <message>
        <source>&amp;About Kolbrik Viewer</source>
        <translation>Ü&amp;ber Kolbrik Viewer</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Werkzeuge</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Wählen</translation>
    </message>
    <message>
        <source>Navigate</source>
        <translation>Bewegen</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Ausblenden</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Raster</translation>
    </message>
    <message>
        <source>A click selects the part under the pointer</source>
        <translation>Ein Klick wählt das Bauteil unter dem Zeiger</translation>
    </message>
    <message>
        <source>Drag to orbit; double-click a part to look at it</source>
        <translation>Ziehen dreht die Ansicht; Doppelklick auf ein Bauteil richtet die Kamera darauf</translation>
    </message>
    <message>
        <source>A click hides the part under the pointer</source>
        <translation>Ein Klick blendet das Bauteil unter dem Zeiger aus</translation>
    </message>
    <message>
        <source>Previous building phase</source>
        <translation>Vorige Bauphase</translation>
    </message>
    <message>
        <source>Building phase shown</source>
        <translation>Gezeigte Bauphase</translation>
    </message>
    <message>
        <source>Next building phase</source>
        <translation>Nächste Bauphase</translation>
    </message>
    <message>
        <source>Open model</source>
        <translation>Modell öffnen</translation>
    </message>
    <message>
        <source>Kolbrik models (*.kmf)</source>
        <translation>Kolbrik-Modelle (*.kmf)</translation>
    </message>
    <message>
        <source>Print model</source>
        <translation>Modell drucken</translation>
    </message>
    <message>
        <source>Export as VRML</source>
        <translation>Als VRML exportieren</translation>
    </message>
    <message>
        <source>VRML files (*.wrl)</source>
        <translation>VRML-Dateien (*.wrl)</translation>
    </message>
    <message>
        <source>The model could not be opened</source>
        <translation>Das Modell konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>The export failed</source>
        <translation>Der Export ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>No models to show. The library folder %1 is missing or holds no kit folders.</source>
        <translation>Keine Modelle vorhanden. Der Bibliotheksordner %1 fehlt oder enthält keine Baukasten-Ordner.</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>vxSheetWait</name>
    <message>
        <source>Please wait</source>
        <translation>Bitte warten</translation>
    </message>
</context>
<context>
    <name>vxSheetParameter</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Paint parts of earlier building phases white</source>
        <translation>Bauteile früherer Bauphasen weiß zeichnen</translation>
    </message>
</context>
<context>
    <name>vxSheetAbout</name>
    <message>
        <source>About Kolbrik Viewer</source>
        <translation>Über Kolbrik Viewer</translation>
    </message>
    <message>
        <source>Look at models built from the Kolbrik construction kit: orbit, zoom, follow the building phases, identify parts and export the geometry as VRML.</source>
        <translation>Modelle aus dem Kolbrik-Baukasten ansehen: drehen, zoomen, den Bauphasen folgen, Bauteile bestimmen und die Geometrie als VRML exportieren.</translation>
    </message>
</context>
<context>
    <name>vxSheetBuildingPhase</name>
    <message>
        <source>Choose building phase</source>
        <translation>Bauphase wählen</translation>
    </message>
</context>
<context>
    <name>vxSheetLibrary</name>
    <message>
        <source>Model library</source>
        <translation>Modellbibliothek</translation>
    </message>
    <message>
        <source>Kits</source>
        <translation>Baukästen</translation>
    </message>
    <message>
        <source>Models (click one to open it)</source>
        <translation>Modelle (Klick öffnet das Modell)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>vxPartPanelController</name>
    <message>
        <source>Part information</source>
        <translation>Bauteil-Info</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Article no.:</source>
        <translation>Artikelnr.:</translation>
    </message>
</context>
</TS>
