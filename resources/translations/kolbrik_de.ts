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
        <source>Tools</source>
        <translation>Werkzeuge</translation>
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
        <source>Version %1</source>
        <translation>Version %1</translation>
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
        <source>Grid</source>
        <translation>Raster</translation>
    </message>
    <message>
        <source>The model could not be opened</source>
        <translation>Das Modell konnte nicht geöffnet werden</translation>
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
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Nothing to export</source>
        <translation>Nichts zu exportieren</translation>
    </message>
    <message>
        <source>Open a model first; there is nothing to export yet.</source>
        <translation>Öffnen Sie zuerst ein Modell; noch gibt es nichts zu exportieren.</translation>
    </message>
    <message>
        <source>The export failed</source>
        <translation>Der Export ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>No models to show. The library folder %1 is missing or holds no kit folders.</source>
        <translation>Keine Modelle vorhanden. Der Bibliotheksordner %1 fehlt oder enthält keine Baukasten-Ordner.</translation>
    </message>
    <message numerus="yes">
        <source>%n part(s)</source>
        <translation>
            <numerusform>%n Teil</numerusform>
            <numerusform>%n Teile</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n phase(s)</source>
        <translation>
            <numerusform>%n Bauphase</numerusform>
            <numerusform>%n Bauphasen</numerusform>
        </translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>Only model files (.kmf) can be opened here.</source>
        <translation>Hier lassen sich nur Modelldateien (.kmf) öffnen.</translation>
    </message>
    <message>
        <source>%1 is not a model file; only model files (.kmf) can be opened.</source>
        <translation>%1 ist keine Modelldatei; nur Modelldateien (.kmf) lassen sich öffnen.</translation>
    </message>
    <message>
        <source>%1 no longer exists; it was removed from the recent models.</source>
        <translation>%1 gibt es nicht mehr; die Datei wurde aus den zuletzt geöffneten Modellen entfernt.</translation>
    </message>
    <message numerus="yes">
        <source>%n recent model(s) no longer exist and were removed from the list.</source>
        <translation>
            <numerusform>%n zuletzt geöffnetes Modell gibt es nicht mehr; es wurde aus der Liste entfernt.</numerusform>
            <numerusform>%n zuletzt geöffnete Modelle gibt es nicht mehr; sie wurden aus der Liste entfernt.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>vxMessageBar</name>
    <message>
        <source>Details…</source>
        <translation>Details …</translation>
    </message>
    <message>
        <source>Close this message</source>
        <translation>Diese Meldung schließen</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>Die Datei ist leer.</translation>
    </message>
    <message>
        <source>The file does not hold text; it is not a model file.</source>
        <translation>Die Datei enthält keinen Text; sie ist keine Modelldatei.</translation>
    </message>
    <message>
        <source>The file&apos;s lines end in %1 alone instead of CR LF, so nothing could be read.</source>
        <translation>Die Zeilen der Datei enden nur mit %1 statt mit CR LF, daher ließ sich nichts lesen.</translation>
    </message>
    <message>
        <source>The file holds no model sections ([CAMERA], [COMMON], [PART…]); it is not a model file.</source>
        <translation>Die Datei enthält keine Modellabschnitte ([CAMERA], [COMMON], [PART…]); sie ist keine Modelldatei.</translation>
    </message>
    <message numerus="yes">
        <source>%n part(s) have no [PART] section with a name; the file may be cut short</source>
        <translation>
            <numerusform>%n Teil hat keinen [PART]-Abschnitt mit Namen; die Datei ist vielleicht unvollständig</numerusform>
            <numerusform>%n Teile haben keinen [PART]-Abschnitt mit Namen; die Datei ist vielleicht unvollständig</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 is not in the part catalogue (%2×)</source>
        <translation>%1 fehlt im Teilekatalog (%2×)</translation>
    </message>
    <message>
        <source>The shape of %1 is missing or unreadable (%2×)</source>
        <translation>Die Form von %1 fehlt oder ist nicht lesbar (%2×)</translation>
    </message>
    <message>
        <source>The shape of %1 holds no triangle (%2×)</source>
        <translation>Die Form von %1 enthält kein Dreieck (%2×)</translation>
    </message>
    <message>
        <source>Line %1: %2=%3 is not a number; read as %4</source>
        <translation>Zeile %1: %2=%3 ist keine Zahl; gelesen als %4</translation>
    </message>
    <message>
        <source>Line %1: %2=%3 in %4 is not a number; read as %5</source>
        <translation>Zeile %1: %2=%3 in %4 ist keine Zahl; gelesen als %5</translation>
    </message>
    <message numerus="yes">
        <source>%n more value(s) are not numbers</source>
        <translation>
            <numerusform>%n weiterer Wert ist keine Zahl</numerusform>
            <numerusform>%n weitere Werte sind keine Zahlen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n part(s) could not be shown: %1</source>
        <translation>
            <numerusform>%n Teil konnte nicht angezeigt werden: %1</numerusform>
            <numerusform>%n Teile konnten nicht angezeigt werden: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n value(s) could not be read as numbers: %1</source>
        <translation>
            <numerusform>%n Wert ließ sich nicht als Zahl lesen: %1</numerusform>
            <numerusform>%n Werte ließen sich nicht als Zahlen lesen: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Details: %1</source>
        <translation>Details: %1</translation>
    </message>
</context>
<context>
    <name>vxModelStatus</name>
    <message>
        <source>%1 of %2 parts shown</source>
        <translation>%1 von %2 Teilen angezeigt</translation>
    </message>
    <message>
        <source>Phase %1 of %2</source>
        <translation>Bauphase %1 von %2</translation>
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
<context>
    <name>vxRecentFiles</name>
    <message>
        <source>No recent models</source>
        <translation>Keine zuletzt geöffneten Modelle</translation>
    </message>
    <message>
        <source>Clear list</source>
        <translation>Liste leeren</translation>
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
        <source>Filter by name</source>
        <translation>Nach Namen filtern</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
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
    <name>vxSheetWait</name>
    <message>
        <source>Please wait</source>
        <translation>Bitte warten</translation>
    </message>
</context>
<context>
    <name>vxStartPage</name>
    <message>
        <source>Open a model to look at it from all sides, follow how it is built phase by phase and find out about every part.</source>
        <translation>Öffnen Sie ein Modell, um es von allen Seiten anzusehen, seinem Aufbau Bauphase für Bauphase zu folgen und jedes Teil kennenzulernen.</translation>
    </message>
    <message>
        <source>Open a model…</source>
        <translation>Modell öffnen …</translation>
    </message>
    <message>
        <source>Browse the library…</source>
        <translation>Bibliothek durchsuchen …</translation>
    </message>
    <message>
        <source>Recent models</source>
        <translation>Zuletzt geöffnete Modelle</translation>
    </message>
    <message>
        <source>No models opened yet.</source>
        <translation>Noch keine Modelle geöffnet.</translation>
    </message>
    <message>
        <source>You can also drop a model file (.kmf) onto this window.</source>
        <translation>Sie können eine Modelldatei (.kmf) auch auf dieses Fenster ziehen.</translation>
    </message>
    <message>
        <source>%1 — in %2</source>
        <translation>%1 — in %2</translation>
    </message>
</context>
</TS>
